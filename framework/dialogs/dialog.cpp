#include "framework/dialogs/dialog.h"

#include "framework/application.h"
#include "framework/dialogs/data_exchange.h"

namespace framework {

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent) : template_(dialogTemplate), parent_(parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CDialog, CWindow)
  OnCommand<&CDialog::OnOKCommand>(IDOK),
  OnCommand<&CDialog::OnCancelCommand>(IDCANCEL),
FRAMEWORK_END_MESSAGE_MAP()

HINSTANCE CDialog::ResourceInstance() const {
  CApplication* app = TheApp();
  return app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
}

HWND CDialog::CreateFromTemplate(HWND owner) {
  LPARAM self = reinterpret_cast<LPARAM>(this);
  place_ = CFirstShowPlace();
  if (template_) return ::CreateDialogIndirectParamA(ResourceInstance(), template_, owner, &StaticDialogProc, self);
  return ::CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), owner, &StaticDialogProc, self);
}

int CDialog::DoModal() {
  HWND owner = parent_;
  CApplication* app = TheApp();
  if (!owner && app && app->GetMainWindow()) owner = ::GetLastActivePopup(app->GetMainWindow());
  modal_ = true;
  ended_ = false;
  HWND h = CreateFromTemplate(owner);
  if (!h) {
    modal_ = false;
    return -1;
  }
  disabledOwner_ = owner && ::IsWindowEnabled(owner) ? owner : nullptr;
  if (disabledOwner_) ::EnableWindow(owner, FALSE);
  int code = result_;
  if (!ended_) {
    ::ShowWindow(h, SW_SHOWNORMAL);
    code = RunModalLoop();
    if (ended_) code = result_;
  }
  EnableOwnerAgain();
  if (owner && ::GetActiveWindow() == h) ::SetActiveWindow(owner);
  if (::IsWindow(h)) ::DestroyWindow(h);
  modal_ = false;
  return code;
}

bool CDialog::Create(HWND owner) {
  modal_ = false;
  ended_ = false;
  return CreateFromTemplate(owner) != nullptr;
}

void CDialog::EndDialog(int code) {
  result_ = code;
  ended_ = true;
  if (!modal_) {
    DestroyWindow();
    return;
  }
  // The owner is enabled before the dialog hides: hiding the active window
  // activates the next enabled one, which must be the owner, or the
  // activation and the keyboard focus go to another program's window.
  EnableOwnerAgain();
  if (GetSafeHwnd()) ::ShowWindow(GetSafeHwnd(), SW_HIDE);
  if (IsInModalLoop()) EndModalLoop(code);
}

void CDialog::EnableOwnerAgain() {
  if (disabledOwner_) ::EnableWindow(disabledOwner_, TRUE);
  disabledOwner_ = nullptr;
}

bool CDialog::UpdateData(bool save) {
  CDataExchange dx(this, save);
  DoDataExchange(dx);
  return !dx.Failed();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::PreTranslateMessage(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  return ::IsDialogMessageA(GetSafeHwnd(), &msg) != FALSE;
}

void CDialog::ShowHelp() {
  CApplication* app = TheApp();
  if (helpContext_ != -1 && app) app->WinHelp(static_cast<DWORD>(helpContext_), HELP_CONTEXT);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  place_.Watch(GetSafeHwnd(), message, lParam);
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, &result)) return result;
  if (message == WM_INITDIALOG) return OnInitDialog();
  if (message == WM_HELP && helpContext_ != -1) {
    ShowHelp();
    return TRUE;
  }
  return Default(message, wParam, lParam);
}

INT_PTR CDialog::DialogMessage(CDialog* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  bool savedDispatch = self->dialogDispatch_;
  bool savedUnhandled = self->dialogUnhandled_;
  self->dialogDispatch_ = true;
  self->dialogUnhandled_ = false;
  LRESULT r = self->WindowProc(message, wParam, lParam);
  // A handler that destroyed the dialog may have deleted its object too.
  if (message != WM_NCDESTROY && FromHandle(hwnd) != self) return TRUE;
  bool unhandled = self->dialogUnhandled_;
  self->dialogDispatch_ = savedDispatch;
  self->dialogUnhandled_ = savedUnhandled;
  if (message == WM_NCDESTROY) {
    self->Detach();
    self->PostNcDestroy();
    return FALSE;
  }
  if (unhandled) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(r);
    default:
      ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, r);
      return TRUE;
  }
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    if (self) self->Attach(hwnd);
  } else {
    self = static_cast<CDialog*>(FromHandle(hwnd));
  }
  if (!self) return FALSE;
  return DialogMessage(self, hwnd, message, wParam, lParam);
}

}  // namespace framework
