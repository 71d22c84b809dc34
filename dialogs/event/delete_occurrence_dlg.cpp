#include "dialogs/event/delete_occurrence_dlg.h"

#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

namespace {
constexpr DWORD kHelpContext = 156;
}

CDeleteOccurrenceDlg::CDeleteOccurrenceDlg(HWND parent) : CDialog(IDD_DELETE_OCCURRENCE, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CDeleteOccurrenceDlg, framework::CDialog)
  framework::OnCommand<&CDeleteOccurrenceDlg::OnHelp>(IDC_OCC_DELETE_HELP),
  framework::OnMessage<&CDeleteOccurrenceDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

void CDeleteOccurrenceDlg::OnHelp() { ShowHelpTopic(kHelpContext); }

LRESULT CDeleteOccurrenceDlg::OnHelpKey(WPARAM, LPARAM) {
  OnHelp();
  return TRUE;
}

void CDeleteOccurrenceDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_OCC_PROMPT, prompt);
  framework::ExchangeRadio(dx, IDC_OCC_DELETE_ONE, choice);
}

}  // namespace dialogs
