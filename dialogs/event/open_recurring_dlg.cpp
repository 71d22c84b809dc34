#include "dialogs/event/open_recurring_dlg.h"

#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

COpenRecurringDlg::COpenRecurringDlg(HWND parent) : CDialog(IDD_OPEN_RECURRING, parent) {}

void COpenRecurringDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_OCC_PROMPT, prompt);
  framework::ExchangeRadio(dx, IDC_OCC_OPEN_ONE, choice);
}

}  // namespace dialogs
