#include "dialogs/event/open_recurring_dlg.h"

#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

namespace {
constexpr DWORD kHelpContext = 155;
}

COpenRecurringDlg::COpenRecurringDlg(HWND parent) : CDialog(IDD_OPEN_RECURRING, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(COpenRecurringDlg, framework::CDialog)
  framework::OnCommand<&COpenRecurringDlg::OnHelp>(IDC_OCC_OPEN_HELP),
  framework::OnMessage<&COpenRecurringDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

void COpenRecurringDlg::OnHelp() { ShowHelpTopic(kHelpContext); }

LRESULT COpenRecurringDlg::OnHelpKey(WPARAM, LPARAM) {
  OnHelp();
  return TRUE;
}

void COpenRecurringDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_OCC_PROMPT, prompt);
  framework::ExchangeRadio(dx, IDC_OCC_OPEN_ONE, choice);
}

}  // namespace dialogs
