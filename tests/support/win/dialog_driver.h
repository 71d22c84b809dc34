// Drives a modal dialog as a person would: steps run one after another
// from a thread timer while DoModal's loop waits, each retried until it
// reports done.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/win/window_shot.h"

namespace wintest {

using Step = std::function<bool()>;

// Starts the steps; they run while the calling thread pumps (DoModal).
// With a limit, a step still waiting after that many milliseconds stops
// the steps and cancels every dialog of the thread (IDCANCEL, each tick),
// so a window that never came fails the test instead of hanging it.
void Drive(std::vector<Step> steps, DWORD limitMs = 0);
// True once every step ran.
bool Driven();

// The visible top-level dialog with this caption, or null.
HWND FindDialog(const char* caption);
// The visible property sheet of this thread (a wizard's caption is its
// current page's), or null.
HWND PropertySheet();
// The message box (or other pop-up) a dialog shows over itself, or null.
HWND PopupOf(HWND owner);
std::string ItemText(HWND dlg, int id);
// Presses a button the way a click does (BN_CLICKED from the control).
void Click(HWND dlg, int id);

}  // namespace wintest
