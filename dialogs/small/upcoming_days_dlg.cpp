#include "dialogs/small/upcoming_days_dlg.h"

#include <commctrl.h>

#include <climits>

#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

CUpcomingDaysDlg::CUpcomingDaysDlg(HWND parent) : CDialog(IDD_UPCOMING_DAYS, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CUpcomingDaysDlg, framework::CDialog)
  framework::OnCommand<&CUpcomingDaysDlg::OnHelpButton>(IDC_UPCOMING_HELP),
  framework::OnMessage<&CUpcomingDaysDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CUpcomingDaysDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_UPCOMING_SPIN, UDM_SETRANGE32, 0, 365);
  return TRUE;
}

void CUpcomingDaysDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_UPCOMING_DAYS, daysPrior);
  framework::ValidateRange(dx, daysPrior, 0u, static_cast<UINT>(INT_MAX));
}

void CUpcomingDaysDlg::OnHelpButton() { ShowHelpTopic(kHelpContext); }

LRESULT CUpcomingDaysDlg::OnHelpKey(WPARAM, LPARAM) {
  ShowHelpTopic(kHelpContext);
  return TRUE;
}

}  // namespace dialogs
