#include "storage/ui/cal_progress.h"

#include "res/resource.h"

CCalProgress::CCalProgress() : CDialog(IDD_CAL_PROGRESS) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalProgress, framework::CDialog)
  framework::OnMessage<&CCalProgress::OnSteps>(WM_CALPROGRESS_STEPS),
  framework::OnMessage<&CCalProgress::OnStep>(WM_CALPROGRESS_STEP),
  framework::OnMessage<&CCalProgress::OnEnd>(WM_CALPROGRESS_END),
  framework::OnMessage<&CCalProgress::OnCloseBox>(WM_CLOSE),
  framework::OnMessage<&CCalProgress::OnDestroyWindow>(WM_DESTROY),
  framework::OnWmActivate<&CCalProgress::OnActivate>(),
FRAMEWORK_END_MESSAGE_MAP()

CCalProgress* CCalProgress::Open(const std::string& title, HWND owner) {
  auto* window = new CCalProgress();
  if (!window->Create(owner)) {
    delete window;
    return nullptr;
  }
  HWND hwnd = window->GetSafeHwnd();
  window->cancel_ = std::make_unique<framework::CCancelScope>(hwnd);
  window->SetWindowText(title);
  if (owner && ::IsWindowEnabled(owner)) {
    window->disabledOwner_ = owner;
    ::EnableWindow(owner, FALSE);
  }
  window->Show(SW_SHOW);
  ::SetActiveWindow(hwnd);
  ::UpdateWindow(hwnd);
  return window;
}

void CCalProgress::EnableOwner() {
  if (disabledOwner_ == nullptr) return;
  ::EnableWindow(disabledOwner_, TRUE);
  disabledOwner_ = nullptr;
}

void CCalProgress::SetSteps(int steps) { CProgressSender(GetSafeHwnd()).SetSteps(steps); }
void CCalProgress::Step(int step, const std::string& text) { CProgressSender(GetSafeHwnd()).Step(step, text); }
void CCalProgress::ShowResult(const std::string& text) { CProgressSender(GetSafeHwnd()).ShowResult(text); }
void CCalProgress::SetTitle(const std::string& title) { SetWindowText(title); }

void CCalProgress::Done(bool closeNow) {
  cancel_.reset();
  SendMsg(WM_CALPROGRESS_END, 2, 0);
  // Before the hide: hiding the active window activates the next enabled
  // one, which must be the owner.
  EnableOwner();
  if (closeNow) {
    Show(SW_HIDE);
    DestroyWindow();  // deletes this
  }
}

void CCalProgress::OnActivate(UINT state, HWND, BOOL) {
  // While Close is disabled no control takes the focus, and it could stay
  // in a window the transfer takes no input from: the window keeps it, so
  // that Escape reaches it. Once Close is enabled it has it.
  if (state == WA_INACTIVE) return;
  HWND close = GetItem(IDOK);
  ::SetFocus(close && ::IsWindowEnabled(close) ? close : GetSafeHwnd());
}

LRESULT CCalProgress::OnDestroyWindow(WPARAM, LPARAM) {
  EnableOwner();
  return 0;
}

LRESULT CCalProgress::OnSteps(WPARAM wParam, LPARAM) {
  ApplyProgressSteps(GetSafeHwnd(), IDC_PROGRESS_BAR, wParam);
  return 0;
}

LRESULT CCalProgress::OnStep(WPARAM wParam, LPARAM lParam) {
  // The bar only: the line below is kept for the result.
  ApplyProgressStep(GetSafeHwnd(), IDC_PROGRESS_BAR, 0, wParam, lParam);
  return 0;
}

LRESULT CCalProgress::OnEnd(WPARAM wParam, LPARAM lParam) {
  if (wParam == 1 && lParam != 0) ::SetDlgItemTextA(GetSafeHwnd(), IDC_PROGRESS_TEXT, reinterpret_cast<const char*>(lParam));
  if (wParam == 2) {
    finished_ = true;
    ::EnableWindow(GetItem(IDOK), TRUE);
  }
  return 0;
}

LRESULT CCalProgress::OnCloseBox(WPARAM, LPARAM) {
  // Answered here: the system would post a Cancel that could arrive after
  // the work is over and close a window whose result the user has not seen.
  OnCancel();
  return 0;
}

void CCalProgress::OnOK() {
  if (finished_) DestroyWindow();
}

void CCalProgress::OnCancel() {
  if (finished_)
    DestroyWindow();
  else if (cancel_)
    cancel_->Cancel();
}
