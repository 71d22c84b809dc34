#include "dialogs/options/options_alarm_page.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "dialogs/core/options_rules.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace options {

namespace {
const char* const kActivation[] = {"Show if user is not busy", "Show always", "Show in taskbar only"};
}  // namespace

COptionsAlarm::COptionsAlarm()
    : COptionsPage(IDD_OPTIONS_ALARM, kHelpContext), hours24(CProgramSettings::IsLocale24Hour() != 0) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(COptionsAlarm, COptionsPage)
  framework::OnCommand<&COptionsAlarm::OnAlarmActions>(IDC_OPT_ALARM_ACTIONS),
FRAMEWORK_END_MESSAGE_MAP()

BOOL COptionsAlarm::OnInitDialog() {
  const CProgramSettings& s = g_Settings;
  checkFrequency = s.AlarmCheckFrequency;
  repeatLength = s.AlarmRepeatLength;
  snoozeMinutes = s.SnoozeMinutes;
  activationIndex = s.AlarmInterupt >= 0 && s.AlarmInterupt < 3 ? s.AlarmInterupt : -1;
  dailyReminder = s.DailyReminder ? 1 : 0;
  actions.soundEnabled = s.AlarmSoundEnabled;
  actions.emailEnabled = s.AlarmEmailEnabled;
  actions.runEnabled = s.AlarmRunEnabled;
  actions.autoAcknowledge = s.AutoAcknowledge;
  actions.runAlarm = s.RunAlarm;
  actions.runSnooze = s.RunSnooze;
  actions.soundFile = s.AlarmSoundFile;
  actions.emailTo = s.EmailTo;
  actions.emailSubject = s.EmailSubject;
  actions.emailBody = s.EmailBody;
  actions.runFilename = s.RunFilename;
  actions.runParms = s.RunParms;
  actions.runState = s.RunState;
  actions.alarmLength = s.AlarmLength;

  HWND combo = GetItem(IDC_OPT_ALARM_ACTIVATION);
  for (const char* a : kActivation) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a));
  const int spins[] = {IDC_OPT_ALARM_CHECK_SPIN, IDC_OPT_ALARM_REPEAT_SPIN, IDC_OPT_ALARM_SNOOZE_SPIN};
  for (int id : spins) ::SendDlgItemMessageA(GetSafeHwnd(), id, UDM_SETRANGE32, 1, 60);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_ALARM_HOUR_SPIN, UDM_SETRANGE32, hours24 ? 0 : 1, hours24 ? 23 : 12);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_ALARM_MINUTE_SPIN, UDM_SETRANGE32, 0, 59);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_ALARM_HOUR, EM_LIMITTEXT, 2, 0);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_ALARM_MINUTE, EM_LIMITTEXT, 2, 0);
  for (int id : {IDC_OPT_ALARM_AM, IDC_OPT_ALARM_PM}) {
    ShowItem(id, !hours24);
    EnableItem(id, !hours24);
  }
  ShowItem(IDC_OPT_ALARM_24_HOUR, hours24);
  EnableItem(IDC_OPT_ALARM_ACTIONS, OptionsHost().CanEditAlarmActions());

  options_rules::ClockTime t = options_rules::MinutesToClock(s.DailyReminderTime, hours24);
  char text[16];
  std::snprintf(text, sizeof text, "%d", t.hour);
  SetItemText(IDC_OPT_ALARM_HOUR, text);
  std::snprintf(text, sizeof text, "%02d", t.minute);
  SetItemText(IDC_OPT_ALARM_MINUTE, text);
  if (!hours24) ::CheckRadioButton(GetSafeHwnd(), IDC_OPT_ALARM_AM, IDC_OPT_ALARM_PM, t.pm ? IDC_OPT_ALARM_PM : IDC_OPT_ALARM_AM);
  return COptionsPage::OnInitDialog();
}

void COptionsAlarm::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_OPT_ALARM_CHECK_EVERY, checkFrequency);
  framework::ValidateRange(dx, checkFrequency, 1, 60);
  framework::ExchangeText(dx, IDC_OPT_ALARM_REPEAT_EVERY, repeatLength);
  framework::ValidateRange(dx, repeatLength, 1, 600);
  framework::ExchangeText(dx, IDC_OPT_ALARM_SNOOZE, snoozeMinutes);
  framework::ValidateRange(dx, snoozeMinutes, 1, 60);
  framework::ExchangeComboIndex(dx, IDC_OPT_ALARM_ACTIVATION, activationIndex);
  framework::ExchangeCheck(dx, IDC_OPT_ALARM_DAILY_ENABLED, dailyReminder);
}

int COptionsAlarm::ReadReminderTime() const {
  // At most three characters of each field count, as typed.
  int hour = std::atoi(ItemText(IDC_OPT_ALARM_HOUR).substr(0, 3).c_str());
  int minute = std::atoi(ItemText(IDC_OPT_ALARM_MINUTE).substr(0, 3).c_str());
  return options_rules::ClockToMinutes(hour, minute, Checked(IDC_OPT_ALARM_PM) != 0, hours24);
}

BOOL COptionsAlarm::OnKillActive() {
  if (ReadReminderTime() < 0) {
    framework::MessageBox("Invalid Reminder Time Specified", MB_OK | MB_ICONINFORMATION, "Almacora");
    return FALSE;
  }
  return COptionsPage::OnKillActive();
}

void COptionsAlarm::OnOK() {
  CProgramSettings& s = g_Settings;
  s.AlarmCheckFrequency = checkFrequency;
  s.AlarmRepeatLength = repeatLength;
  s.SnoozeMinutes = snoozeMinutes;
  if (activationIndex >= 0) s.AlarmInterupt = activationIndex;
  s.DailyReminder = dailyReminder;
  int minutes = ReadReminderTime();
  if (minutes >= 0 && minutes != s.DailyReminderTime) {
    s.DailyReminderTime = minutes;
    OptionsHost().ClearDailyReminderGiven();
  }
  s.AlarmSoundEnabled = actions.soundEnabled;
  s.AlarmEmailEnabled = actions.emailEnabled;
  s.AlarmRunEnabled = actions.runEnabled;
  s.AutoAcknowledge = actions.autoAcknowledge;
  s.RunAlarm = actions.runAlarm;
  s.RunSnooze = actions.runSnooze;
  s.AlarmSoundFile = actions.soundFile;
  s.EmailTo = actions.emailTo;
  s.EmailSubject = actions.emailSubject;
  s.EmailBody = actions.emailBody;
  s.RunFilename = actions.runFilename;
  s.RunParms = actions.runParms;
  s.RunState = actions.runState;
  s.AlarmLength = actions.alarmLength;
}

void COptionsAlarm::OnAlarmActions() {
  AlarmActionDefaults edited = actions;
  if (OptionsHost().EditAlarmActions(GetSafeHwnd(), &edited)) actions = edited;
}

}  // namespace options
