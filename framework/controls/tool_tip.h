// CToolTipCtrl: a tooltip control owned by a window. The destructor
// destroys the control's window when it has one.
#pragma once

#include "framework/window.h"

namespace framework {

class CToolTipCtrl : public CWindow {
 public:
  ~CToolTipCtrl() override {
    if (HWND h = UnsubclassWindow()) ::DestroyWindow(h);
  }
  bool Create(HWND owner);
};

}  // namespace framework
