#include "shell/app/about_dlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_ABOUT_EMAIL, kSalesAddress);
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_ABOUT_WEBSITE, kWebSite);
  email_.SetLinkTarget(std::string("mailto:") + kSalesAddress);
  webSite_.SetLinkTarget(kWebSite);
  for (shellcontrols::CHyperLink* link : {&email_, &webSite_}) {
    link->SubclassDlgItem(link == &email_ ? IDC_ABOUT_EMAIL : IDC_ABOUT_WEBSITE, GetSafeHwnd());
    link->Init();
    link->SetLinkStyle(0, shellcontrols::CHyperLink::kUseHover, true);
  }
  return TRUE;
}
