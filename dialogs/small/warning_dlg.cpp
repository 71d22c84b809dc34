#include "dialogs/small/warning_dlg.h"

#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

CWarningDlg::CWarningDlg(HWND parent) : CDialog(IDD_WARNING, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CWarningDlg, framework::CDialog)
  framework::OnCommand<&CWarningDlg::OnYes>(IDYES),
  framework::OnCommand<&CWarningDlg::OnNo>(IDNO),
  framework::OnCommand<&CWarningDlg::OnHelpButton>(IDC_WARNING_HELP),
  framework::OnMessage<&CWarningDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CWarningDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND h = GetSafeHwnd();
  if (helpContext == -1) {
    HWND help = ::GetDlgItem(h, IDC_WARNING_HELP);
    ::ShowWindow(help, SW_HIDE);
    ::EnableWindow(help, FALSE);
  }
  ::SetWindowTextA(h, caption.c_str());
  ::SetDlgItemTextA(h, IDC_WARNING_CHECK, checkText.c_str());
  if (buttons == 0) {
    HWND no = ::GetDlgItem(h, IDNO);
    ::ShowWindow(no, SW_HIDE);
    ::EnableWindow(no, FALSE);
    ::SetDlgItemTextA(h, IDYES, "OK");
  }
  return TRUE;
}

void CWarningDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_WARNING_CHECK, doNotShow);
  framework::ExchangeText(dx, IDC_WARNING_TEXT, message);
}

void CWarningDlg::OnYes() {
  if (UpdateData(true)) EndDialog(buttons != 0 ? IDYES : IDOK);
}

void CWarningDlg::OnNo() {
  if (UpdateData(true)) EndDialog(IDNO);
}

void CWarningDlg::OnHelpButton() {
  if (helpContext != -1) ShowHelpTopic(static_cast<DWORD>(helpContext));
}

LRESULT CWarningDlg::OnHelpKey(WPARAM wParam, LPARAM lParam) {
  if (helpContext != -1) {
    ShowHelpTopic(static_cast<DWORD>(helpContext));
    return TRUE;
  }
  return Default(WM_HELP, wParam, lParam);
}

}  // namespace dialogs
