#include "dialogs/wizard/wizard_page1.h"

#include <commctrl.h>
#include <prsht.h>

#include "dialogs/wizard/event_wizard.h"
#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"

namespace dialogs {

namespace {
constexpr DWORD kWizardHelp = 85;
}

CWizardPage1::CWizardPage1(CEventWizard* wizard) : CPropertyPage(IDD_WIZARD_KIND), wizard_(wizard) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CWizardPage1, framework::CPropertyPage)
  framework::OnCommand<&CWizardPage1::OnSelectCalendar>(IDC_WIZ_SELECT_CALENDAR),
  framework::OnMessage<&CWizardPage1::OnHelp>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CWizardPage1::OnInitDialog() {
  HWND list = ::GetDlgItem(GetSafeHwnd(), IDC_WIZ_KIND_LIST);
  ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Birthday"));
  ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Anniversary"));
  kind_ = wizard_->answers.kind;
  return CPropertyPage::OnInitDialog();
}

void CWizardPage1::DoDataExchange(framework::CDataExchange& dx) { framework::ExchangeListText(dx, IDC_WIZ_KIND_LIST, kind_); }

BOOL CWizardPage1::OnSetActive() {
  wizard_->SetWizardButtons(PSWIZB_NEXT);
  return TRUE;
}

BOOL CWizardPage1::OnKillActive() {
  if (!UpdateData(true)) return FALSE;
  wizard_->SetEventKind(kind_.empty() ? std::string("Birthday") : kind_);
  return TRUE;
}

void CWizardPage1::OnSelectCalendar() {
  CAlmacoraDoc* doc = wizard_->document();
  if (doc == nullptr || doc->calendars().CountSelectableCalendars() == 0) {
    framework::MessageBox("No Event Files Currently Open");
    return;
  }
  if (!wizard_->pickCalendar) return;
  const int id = wizard_->pickCalendar(GetSafeHwnd(), "Select which event file to add this event to.", "Continue");
  if (id != 0) wizard_->answers.targetCalendarId = id;
}

LRESULT CWizardPage1::OnHelp(WPARAM, LPARAM) {
  ShowHelpTopic(kWizardHelp);
  return TRUE;
}

}  // namespace dialogs
