#include "dialogs/options/options_warnings_page.h"

#include <commctrl.h>

#include "dialogs/core/options_rules.h"
#include "framework/dialogs/data_exchange.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace options {

COptionsWarnings::COptionsWarnings()
    : COptionsPage(IDD_OPTIONS_WARNINGS, kHelpContext), hours24(CProgramSettings::IsLocale24Hour() != 0) {}

BOOL COptionsWarnings::OnInitDialog() {
  const CProgramSettings& s = g_Settings;
  warnExit = s.WarnExit ? 1 : 0;
  warnAcknowledge = s.WarnAcknowledge ? 1 : 0;
  warnFilter = s.WarnFilter ? 1 : 0;
  warnConflict = s.WarnTimeConflict ? 1 : 0;
  warnAdvanced = s.WarnAdvanced ? 1 : 0;
  warnTime = s.WarnTime ? 1 : 0;
  autoBackup = s.AutoBackup ? 1 : 0;
  autoBackupDays = s.AutoBackupDays >= 0 ? static_cast<UINT>(s.AutoBackupDays) : 0;
  options_rules::ClockTime begin = options_rules::HourToClock(s.WarnTimeBegin, hours24);
  options_rules::ClockTime end = options_rules::HourToClock(s.WarnTimeEnd, hours24);
  beginHour = begin.hour;
  endHour = end.hour;

  const int low = hours24 ? 0 : 1, high = hours24 ? 23 : 12;
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_WARN_BEGIN_SPIN, UDM_SETRANGE32, low, high);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_WARN_END_SPIN, UDM_SETRANGE32, low, high);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_WARN_BACKUP_SPIN, UDM_SETRANGE32, 1, 365);
  for (int id : {IDC_OPT_WARN_BEGIN_AM, IDC_OPT_WARN_BEGIN_PM, IDC_OPT_WARN_END_AM, IDC_OPT_WARN_END_PM}) {
    ShowItem(id, !hours24);
    EnableItem(id, !hours24);
  }
  ShowItem(IDC_OPT_WARN_BEGIN_24, hours24);
  ShowItem(IDC_OPT_WARN_END_24, hours24);
  if (!hours24) {
    ::CheckRadioButton(GetSafeHwnd(), IDC_OPT_WARN_BEGIN_AM, IDC_OPT_WARN_BEGIN_PM,
                       begin.pm ? IDC_OPT_WARN_BEGIN_PM : IDC_OPT_WARN_BEGIN_AM);
    ::CheckRadioButton(GetSafeHwnd(), IDC_OPT_WARN_END_AM, IDC_OPT_WARN_END_PM,
                       end.pm ? IDC_OPT_WARN_END_PM : IDC_OPT_WARN_END_AM);
  }
  return COptionsPage::OnInitDialog();
}

void COptionsWarnings::DoDataExchange(framework::CDataExchange& dx) {
  const int low = hours24 ? 0 : 1, high = hours24 ? 23 : 12;
  framework::ExchangeCheck(dx, IDC_OPT_WARN_EXIT, warnExit);
  framework::ExchangeCheck(dx, IDC_OPT_WARN_ACKNOWLEDGE, warnAcknowledge);
  framework::ExchangeCheck(dx, IDC_OPT_WARN_FILTER, warnFilter);
  framework::ExchangeCheck(dx, IDC_OPT_WARN_CONFLICT, warnConflict);
  framework::ExchangeCheck(dx, IDC_OPT_WARN_ADVANCED, warnAdvanced);
  framework::ExchangeCheck(dx, IDC_OPT_WARN_TIME, warnTime);
  framework::ExchangeText(dx, IDC_OPT_WARN_BEGIN, beginHour);
  framework::ValidateRange(dx, beginHour, low, high);
  framework::ExchangeText(dx, IDC_OPT_WARN_END, endHour);
  framework::ValidateRange(dx, endHour, low, high);
  framework::ExchangeCheck(dx, IDC_OPT_WARN_BACKUP, autoBackup);
  framework::ExchangeText(dx, IDC_OPT_WARN_BACKUP_DAYS, autoBackupDays);
}

void COptionsWarnings::OnOK() {
  CProgramSettings& s = g_Settings;
  s.WarnExit = warnExit;
  s.WarnAcknowledge = static_cast<int16_t>(warnAcknowledge);
  s.WarnFilter = static_cast<int16_t>(warnFilter);
  s.WarnTimeConflict = warnConflict;
  s.WarnAdvanced = static_cast<int16_t>(warnAdvanced);
  s.WarnTime = warnTime;
  int begin = options_rules::ClockToHour(beginHour, Checked(IDC_OPT_WARN_BEGIN_PM) != 0, hours24);
  int end = options_rules::ClockToHour(endHour, Checked(IDC_OPT_WARN_END_PM) != 0, hours24);
  if (begin >= 0) s.WarnTimeBegin = begin;
  if (end >= 0) s.WarnTimeEnd = end;
  s.AutoBackup = autoBackup;
  s.AutoBackupDays = static_cast<int32_t>(autoBackupDays);
}

}  // namespace options
