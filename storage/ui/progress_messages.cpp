#include "storage/ui/progress_messages.h"

#include <commctrl.h>

void CProgressSender::SetSteps(int steps) {
  if (window_) ::SendMessageA(window_, WM_CALPROGRESS_STEPS, static_cast<WPARAM>(steps), 0);
}

void CProgressSender::Step(int step, const std::string& text) {
  if (window_)
    ::SendMessageA(window_, WM_CALPROGRESS_STEP, reinterpret_cast<WPARAM>(text.c_str()), static_cast<LPARAM>(step));
}

void CProgressSender::ShowResult(const std::string& text) {
  if (window_) ::SendMessageA(window_, WM_CALPROGRESS_END, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void ApplyProgressSteps(HWND dialog, int barId, WPARAM steps) {
  const int n = static_cast<int>(steps) < 1 ? 1 : static_cast<int>(steps);
  ::SendDlgItemMessageA(dialog, barId, PBM_SETRANGE32, 1, n);
}

void ApplyProgressStep(HWND dialog, int barId, int textId, WPARAM text, LPARAM step) {
  // Step 0 lies below the range: the bar shows empty.
  ::SendDlgItemMessageA(dialog, barId, PBM_SETPOS, static_cast<WPARAM>(step), 0);
  if (textId != 0) ::SetDlgItemTextA(dialog, textId, text ? reinterpret_cast<const char*>(text) : "");
}
