// The main frame's side of the periodic check: a new day, a date set back,
// the alarm check that feeds the reminder window, and the daily reminder.
#include "alarms/alarm_platform.h"
#include "alarms/alarm_reminders_dlg.h"
#include "dialogs/small/warning_dlg.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "shell/frame/frame_reminder_host.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "storage/calendar_file.h"

namespace {

bool CalendarAlarmsOff(const CCalEvent& event) { return event.calendar != nullptr && event.calendar->alarmsOff != 0; }

}  // namespace

void CMainFrame::OnDayChanged() {
  UpdateTrayIcon();
  // The day's roll-forward changes events.
  m_alarmScanner.Invalidate();
  if (CShellDocument* doc = GetShellDocument()) {
    doc->RecountAndRefresh();
    doc->UpdateAllViews(nullptr, kHintDayChanged);
  }
}

void CMainFrame::AskResetAfterDateSetBack() {
  const int answer = ::MessageBoxA(
      GetSafeHwnd(),
      "Almacora has detected that your system date\nhas been set back 1 or more days.\n\nReset next occurrence of all "
      "recurring events?\n\n(Selecting Yes will reset the next occurrence\nof all recurring events to their first "
      "occurrence\nafter today's date.)",
      "Almacora", MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL);
  m_alarmScanner.Invalidate();
  if (answer == IDYES) {
    if (CShellDocument* doc = GetShellDocument()) doc->ResetAllEvents();
  }
}

void CMainFrame::CheckAlarms(const SYSTEMTIME& local) {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  CDateTime now = CDateTime(local.wDay, local.wMonth, local.wYear, CDateTime::kFloating);
  now.SetSecondsOfDay(local.wHour * 3600 + local.wMinute * 60 + local.wSecond);
  if (doc->GetChangeSerial() != m_nScannedChangeSerial) {
    m_alarmScanner.Invalidate();
    m_nScannedChangeSerial = doc->GetChangeSerial();
  }
  const std::vector<CCalEvent*> due = m_alarmScanner.FindDue(doc->Core().events().items(), now, &CalendarAlarmsOff);
  if (!due.empty()) {
    bool created = false;
    if (!m_pAlarmDlg) {
      if (!m_pReminderHost) m_pReminderHost = std::make_unique<CFrameReminderHost>();
      m_pAlarmDlg = std::make_unique<CAlarmRemindersDlg>(m_pReminderHost.get());
      created = true;
    }
    for (CCalEvent* event : due) m_pAlarmDlg->AddAlarm(event);
    if (created) m_pAlarmDlg->CreateWindowless();
    m_pAlarmDlg->ShowPendingAlarms();
  }
  doc->Core().ResyncCalendars();
}

void CMainFrame::CheckDailyReminder(const SYSTEMTIME& local) {
  const int minute = local.wHour * 60 + local.wMinute;
  const int date = alarmcore::DateNumber(local.wYear, local.wMonth, local.wDay);
  if (!m_dailyArm.ShouldFire(g_Settings.DailyReminder != 0, g_Settings.DailyReminderTime, minute, date, m_bDailyOpen))
    return;
  m_bDailyOpen = true;
  RestoreFromTray();
  if (g_Settings.AlarmSoundEnabled) PlaySoundOrBeep(g_Settings.AlarmSoundFile.c_str());
  dialogs::CWarningDlg dlg(GetSafeHwnd());
  dlg.buttons = 0;
  dlg.caption = "Daily Reminder";
  dlg.helpContext = 24;
  dlg.message = "Daily Reminder Time Has Arrived!";
  dlg.checkText = "Disable daily reminder";
  dlg.doNotShow = 0;
  dlg.DoModal();
  if (dlg.doNotShow == 1) {
    g_Settings.DailyReminder = 0;
    g_Settings.WriteInt("DailyReminder", 0);
  }
  m_bDailyOpen = false;
}
