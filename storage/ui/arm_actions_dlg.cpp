#include "storage/ui/arm_actions_dlg.h"

#include "res/resource.h"

CArmActionsDlg::CArmActionsDlg(HWND parent) : CDialog(IDD_ARM_ACTIONS, parent) {}

bool CArmActionsDlg::Ask(const std::string& text) {
  text_ = text;
  return DoModal() == IDOK;
}

BOOL CArmActionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_ARM_ACTIONS_TEXT, text_.c_str());
  ::SetFocus(::GetDlgItem(GetSafeHwnd(), IDCANCEL));
  return FALSE;
}
