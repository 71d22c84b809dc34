#include "storage/ui/cal_wiz_alarm.h"

#include <commctrl.h>
#include <prsht.h>

#include "framework/dialogs/data_exchange.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/ui/cal_wiz_sheet.h"

CCalWizAlarm::CCalWizAlarm(CCalWizSheet* sheet) : CCalWizPage(IDD_CALWIZ_ALARMS, sheet) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalWizAlarm, CCalWizPage)
  framework::OnCommand<&CCalWizAlarm::EnableLead>(IDC_CALWIZ_ALARM_ON),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CCalWizAlarm::OnInitDialog() {
  HWND hwnd = GetSafeHwnd();
  HWND units = ::GetDlgItem(hwnd, IDC_CALWIZ_UNITS);
  for (const char* u : {"Minutes", "Hours", "Days", "Weeks"})
    ::SendMessageA(units, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
  ::SendDlgItemMessageA(hwnd, IDC_CALWIZ_LEAD_SPIN, UDM_SETRANGE32, 0, 1000);
  const calwizard::AlarmChoice defaults = calwizard::DefaultAlarmChoice(g_Settings);
  alarmOn_ = defaults.enabled ? 1 : 0;
  leadTime_ = static_cast<UINT>(defaults.leadTime);
  units_ = defaults.units;
  const BOOL result = CCalWizPage::OnInitDialog();
  EnableLead();
  return result;
}

void CCalWizAlarm::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_CALWIZ_ALARM_ON, alarmOn_);
  framework::ExchangeText(dx, IDC_CALWIZ_LEAD, leadTime_);
  framework::ValidateRange(dx, leadTime_, 0u, 1000u);
  framework::ExchangeComboText(dx, IDC_CALWIZ_UNITS, units_);
}

BOOL CCalWizAlarm::OnSetActive() {
  wizard_->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  CAlmacoraDoc& doc = wizard_->doc();
  calendars_ = calwizard::ClosedTicked(doc.calendars(), wizard_->rows);
  HWND list = ::GetDlgItem(GetSafeHwnd(), IDC_CALWIZ_LIST);
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const calwizard::Row& row : calendars_) {
    const LRESULT at = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.name.c_str()));
    if (at >= 0) ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), row.calendarId);
  }
  if (wizard_->firstRun && !wizard_->refreshOverInternet) calwizard::UseAlternateAddresses(doc.calendars(), wizard_->rows);
  return TRUE;
}

LRESULT CCalWizAlarm::OnWizardNext() {
  if (!UpdateData(true)) return -1;
  HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  calwizard::AlarmChoice choice;
  choice.enabled = alarmOn_ != 0;
  choice.leadTime = static_cast<int>(leadTime_);
  choice.units = units_;
  calwizard::OpenWithAlarms(wizard_->doc(), &calendars_, choice, wizard_->firstRun);
  ::SetCursor(previous);
  return 0;
}

void CCalWizAlarm::EnableLead() {
  const bool on = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_CALWIZ_ALARM_ON) == BST_CHECKED;
  ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_CALWIZ_LEAD), on);
  ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_CALWIZ_UNITS), on);
}
