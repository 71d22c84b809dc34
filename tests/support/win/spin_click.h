// Clicks an up-down control's upper arrow as the mouse does, at a point
// computed from its size.
#pragma once

#include <windows.h>

namespace wintest {

inline void ClickSpinUp(HWND spin) {
  RECT rc;
  ::GetClientRect(spin, &rc);
  const LPARAM up = MAKELPARAM(rc.right / 2, rc.bottom / 4);
  ::SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, up);
  ::SendMessageA(spin, WM_LBUTTONUP, 0, up);
}

}  // namespace wintest
