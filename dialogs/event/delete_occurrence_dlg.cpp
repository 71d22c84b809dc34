#include "dialogs/event/delete_occurrence_dlg.h"

#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

CDeleteOccurrenceDlg::CDeleteOccurrenceDlg(HWND parent) : CDialog(IDD_DELETE_OCCURRENCE, parent) {}

void CDeleteOccurrenceDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_OCC_PROMPT, prompt);
  framework::ExchangeRadio(dx, IDC_OCC_DELETE_ONE, choice);
}

}  // namespace dialogs
