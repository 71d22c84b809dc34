#include "shell/about_dlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_ABOUT_EMAIL, kSalesAddress);
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_ABOUT_WEBSITE, kWebSite);
  return TRUE;
}
