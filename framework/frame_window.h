// A top-level frame: the program's main window. Destroying it ends the
// message loop with exit code 0.
#pragma once

#include "framework/window.h"

namespace framework {

class CFrameWindow : public CWindow {
 protected:
  void OnDestroy() override { ::PostQuitMessage(0); }
};

}  // namespace framework
