#include "storage/ui/cal_login_dlg.h"

#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

CCalLoginDlg::CCalLoginDlg(HWND parent) : CDialog(IDD_CAL_LOGIN, parent) {}

BOOL CCalLoginDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!offerRemember) {
    ::EnableWindow(GetItem(IDC_LOGIN_REMEMBER), FALSE);
    ::ShowWindow(GetItem(IDC_LOGIN_REMEMBER), SW_HIDE);
  }
  return TRUE;
}

void CCalLoginDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_CAL_USER, userName);
  framework::ExchangeText(dx, IDC_CAL_PASSWORD, password);
  framework::ExchangeCheck(dx, IDC_LOGIN_REMEMBER, remember);
}
