// The list's modeless Find dialog as one of our windows, so that the
// message loop's pre-translation gives it dialog keys (Tab, Enter,
// Escape): the system dialog itself knows nothing of our loop.
#pragma once

#include "framework/window.h"

namespace eventlist {

class CFindDialogWindow : public framework::CWindow {
 public:
  bool PreTranslateMessage(MSG& msg) override {
    return IsWindow() && ::IsDialogMessageA(GetSafeHwnd(), &msg) != FALSE;
  }
};

}  // namespace eventlist
