#include "dialogs/wizard/wizard_anniversary.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "dialogs/wizard/event_wizard.h"
#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "res/resource.h"

namespace dialogs {

CWizardAnniversary::CWizardAnniversary(CEventWizard* wizard) : CPropertyPage(IDD_WIZARD_DATE), wizard_(wizard) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CWizardAnniversary, framework::CPropertyPage)
  framework::OnMessage<&CWizardAnniversary::OnHelp>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CWizardAnniversary::OnInitDialog() {
  HWND months = ::GetDlgItem(GetSafeHwnd(), IDC_WIZ_MONTH);
  for (int m = 1; m <= 12; ++m) {
    SYSTEMTIME st{};
    st.wYear = 1996;
    st.wMonth = static_cast<WORD>(m);
    st.wDay = 1;
    char name[64] = "";
    ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "MMMM", name, sizeof name);
    ::SendMessageA(months, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  HWND days = ::GetDlgItem(GetSafeHwnd(), IDC_WIZ_DAY);
  for (int d = 1; d <= 31; ++d)
    ::SendMessageA(days, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(d).c_str()));
  return CPropertyPage::OnInitDialog();
}

void CWizardAnniversary::DoDataExchange(framework::CDataExchange& dx) {
  wizardcore::WizardAnswers& a = wizard_->answers;
  framework::ExchangeComboIndex(dx, IDC_WIZ_MONTH, a.monthIndex);
  framework::ExchangeComboIndex(dx, IDC_WIZ_DAY, a.dayIndex);
  framework::ExchangeText(dx, IDC_WIZ_NAME, a.name);
  framework::ExchangeText(dx, IDC_WIZ_TYPE, a.type);
  framework::ExchangeText(dx, IDC_WIZ_YEAR, a.yearText);
}

BOOL CWizardAnniversary::OnSetActive() {
  wizard_->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_WIZ_DATE_GROUP, wizard_->kindTexts.dateCaption.c_str());
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_WIZ_YEAR_LABEL, wizard_->kindTexts.yearLabel.c_str());
  // The first activation follows OnInitDialog, which has shown the values.
  if (activated_) UpdateData(false);
  activated_ = true;
  return TRUE;
}

LRESULT CWizardAnniversary::OnWizardNext() {
  if (!UpdateData(true)) return -1;
  const wizardcore::WizardAnswers& a = wizard_->answers;
  if (!wizardcore::IsDateValid(a.dayIndex, a.monthIndex, a.yearText)) {
    framework::MessageBox(wizardcore::kInvalidDateText, MB_OK | MB_ICONINFORMATION, "Almacora");
    return -1;
  }
  return 0;
}

LRESULT CWizardAnniversary::OnWizardBack() {
  // What was typed is kept for the return; the date is checked on Next.
  UpdateData(true);
  return 0;
}

LRESULT CWizardAnniversary::OnHelp(WPARAM, LPARAM) {
  ShowHelpTopic(85);
  return TRUE;
}

}  // namespace dialogs
