#include "storage/ui/ical_error_dlg.h"

#include "res/resource.h"

CICalErrorDlg::CICalErrorDlg(HWND parent) : CDialog(IDD_ICAL_ERROR, parent) {}

int CICalErrorDlg::Ask(const std::string& message) {
  message_ = message;
  const int result = DoModal();
  return result == 1 ? 1 : 2;
}

BOOL CICalErrorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_ICAL_ERROR_TEXT, message_.c_str());
  return TRUE;
}
