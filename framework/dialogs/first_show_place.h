// Where a top-level dialog or property sheet first appears: centred on its
// owner (for the program's own dialogs the main window or the dialog that
// opened them), or on the main window when the owner is hidden or
// minimized, or on the screen's work area when neither is in view; always
// inside that work area. Later shows leave the window where the user put
// it. A dialog that places itself before its first show (in OnInitDialog
// or later) keeps its own place.
#pragma once

#include <windows.h>

namespace framework {

class CFirstShowPlace {
 public:
  // Called with every message of the window before it is handled; moves
  // the window as it is first shown (WM_WINDOWPOSCHANGING that shows it).
  void Watch(HWND window, UINT message, LPARAM lParam);

 private:
  bool initialised_ = false;  // after WM_INITDIALOG a move is the window's own
  bool done_ = false;
};

}  // namespace framework
