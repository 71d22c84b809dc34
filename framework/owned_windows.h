// The Win32 owner rule kept by hand: a window stays above the window that
// owns it. Wine does not always keep it (a click that raises the owner, a
// pop-up of the owner shown), so the owner puts them back.
#pragma once

#include <windows.h>

namespace framework {

// When a visible top-level window owned by `owner` (directly or through
// another owned window) lies below it, puts every such window above it, in
// the order they had, activating none; otherwise changes nothing. Window
// thread of `owner` only.
void KeepOwnedAbove(HWND owner);

}  // namespace framework
