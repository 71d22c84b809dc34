// A call that blocks until a server answers (a WinINet call waits up to its
// time-out) runs on a worker thread while the window thread waits here in
// a message loop: the program's timers, painting and messages from other
// threads go on, and the user can cancel the wait.
//
// Of the user's input during a wait only what goes to the window of the
// current cancel scope is taken (its caption and close box, its Cancel
// button, Escape); everything else typed or clicked is dropped, as a modal
// dialog would: no command may start in the middle of a transfer.
#pragma once

#include <windows.h>

#include <functional>

namespace framework {

// The window whose Cancel ends the waits begun while the scope lives.
// Scopes nest; the innermost one counts. Window thread only.
class CCancelScope {
 public:
  explicit CCancelScope(HWND window);
  ~CCancelScope();
  CCancelScope(const CCancelScope&) = delete;
  CCancelScope& operator=(const CCancelScope&) = delete;

  // The wait running now ends within moments; every later wait of this
  // scope ends at once.
  void Cancel() { cancelled_ = true; }
  bool Cancelled() const { return cancelled_; }
  HWND Window() const { return window_; }
  static CCancelScope* Current();

 private:
  HWND window_;
  bool cancelled_ = false;
  CCancelScope* outer_;
};

// What a window's Cancel does while its own transfer runs: cancels the
// current scope when it is this window's (true), else nothing (false).
bool CancelTransferOf(HWND window);
// Whether the current scope is this window's: its transfer runs, and a box
// popped up by a timer meanwhile may let a click through to it.
bool TransferRunsIn(HWND window);

// Runs `call` on a worker thread and pumps this thread's messages until it
// returns: true. False when the current scope is (or was already)
// cancelled, or the program is told to quit, first: `abandon` has then run
// on this thread and `call` goes on alone, so it must own (share) all it
// touches. When no thread can start, `call` runs here, blocking. A
// `deadline` (GetTickCount64; 0 none) that passes first abandons the call
// in the same way: false, and TimedOut() is true.
bool WaitForCall(std::function<void()> call, const std::function<void()>& abandon, ULONGLONG deadline = 0);
// Whether the last WaitForCall gave up at its deadline.
bool TimedOut();

}  // namespace framework
