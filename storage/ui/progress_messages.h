// The progress of an Internet transfer as window messages: the transfers
// report through ITransferProgress, and CProgressSender turns each call
// into a blocking send to the window that shows it (the subscribe and
// publish dialogs, CCalProgress). Sends stay on the calling thread, so the
// step text pointer is valid for the length of the send.
#pragma once

#include <windows.h>

#include <string>

#include "storage/services/transfer_progress.h"

// wParam the step text (const char*), lParam the step number; step 0 with
// an empty text resets the bar.
constexpr UINT WM_CALPROGRESS_STEP = WM_USER + 3004;
// wParam the number of steps: the bar's range becomes 1..n.
constexpr UINT WM_CALPROGRESS_STEPS = WM_USER + 3005;
// wParam 1: lParam is a result text (const char*) to show; wParam 2: the
// work is over.
constexpr UINT WM_CALPROGRESS_END = WM_USER + 3006;

class CProgressSender : public ITransferProgress {
 public:
  explicit CProgressSender(HWND window) : window_(window) {}
  void SetSteps(int steps) override;
  void Step(int step, const std::string& text) override;
  void ShowResult(const std::string& text) override;

 private:
  HWND window_;
};

// What the windows do with the two step messages: the bar `barId` of
// `dialog` takes the range or position; a text control (`textId`, 0 for
// none) shows the step text.
void ApplyProgressSteps(HWND dialog, int barId, WPARAM steps);
void ApplyProgressStep(HWND dialog, int barId, int textId, WPARAM text, LPARAM step);
