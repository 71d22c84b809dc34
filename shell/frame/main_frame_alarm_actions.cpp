// The main window's side of the alarm actions: the Quick Timer, the Alarm
// Log command, the worker's failure notice and the actions sheet over
// default values (the options' Alarm page, the calendar entries editor).
#include "alarms/actions/actions_sheet.h"
#include "alarms/actions/alarm_error_log_dlg.h"
#include "alarms/actions/timer_dlg.h"
#include "dialogs/core/cal_edit_model.h"
#include "model/settings/program_settings.h"
#include "shell/frame/main_frame.h"
#include "shell/frame/shell_options_host.h"

void CMainFrame::OnQuickTimer() {
  if (!m_pQuickTimer) {
    m_pQuickTimer.reset(new alarms::CTimerDlg(GetSafeHwnd()));
    if (!m_pQuickTimer->Create(GetSafeHwnd())) {
      m_pQuickTimer.reset();
      return;
    }
  }
  HWND timer = m_pQuickTimer->GetSafeHwnd();
  ::ShowWindow(timer, ::IsIconic(timer) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(timer);
}

void CMainFrame::OnAlarmLog() {
  alarms::CAlarmErrorLogDlg dlg(GetSafeHwnd());
  dlg.DoModal();
}

LRESULT CMainFrame::OnShowAlarmLog(WPARAM, LPARAM) {
  if (!m_pAlarmLog) m_pAlarmLog.reset(new alarms::CAlarmErrorLogDlg(GetSafeHwnd()));
  m_pAlarmLog->ShowLog();
  // The log comes without the focus; the flashing button says it came.
  if (!g_Settings.FlashWindowInTaskbar(GetSafeHwnd(), 3)) ::FlashWindow(GetSafeHwnd(), TRUE);
  return 1;
}

bool CMainFrame::EditAlarmActionValues(HWND owner, caledit::AlarmActionValues* values) {
  const caledit::AlarmActionValues& c = *values;
  options::AlarmActionDefaults v;
  v.soundEnabled = c.soundOn;
  v.soundFile = c.soundFile;
  v.alarmLength = c.soundLength;
  v.autoAcknowledge = c.autoAcknowledge;
  v.emailEnabled = c.emailOn;
  v.emailTo = c.emailTo;
  v.emailSubject = c.emailSubject;
  v.emailBody = c.emailBody;
  v.runEnabled = c.runOn;
  v.runAlarm = c.runAtAlarm;
  v.runSnooze = c.runAtSnooze;
  v.runFilename = c.runFile;
  v.runParms = c.runParameters;
  v.runState = c.runWindowState;
  if (!CShellOptionsHost().EditAlarmActions(owner, &v)) return false;
  // In the order of the values' fields.
  *values = {v.autoAcknowledge, v.soundEnabled, v.soundFile, v.alarmLength, v.emailEnabled,
             v.emailTo, v.emailSubject, v.emailBody, v.runEnabled, v.runAlarm,
             v.runSnooze, v.runFilename, v.runParms, v.runState};
  return true;
}

bool CShellOptionsHost::EditAlarmActions(HWND parent, options::AlarmActionDefaults* v) {
  alarms::CActionsPropertySheet sheet("Alarm Actions", parent, 0);
  sheet.soundPage.enabled = v->soundEnabled;
  sheet.soundPage.soundFile = v->soundFile;
  sheet.soundPage.length = v->alarmLength;
  sheet.soundPage.autoAcknowledge = v->autoAcknowledge;
  sheet.emailPage.enabled = v->emailEnabled;
  sheet.emailPage.recipients = v->emailTo;
  sheet.emailPage.subject = v->emailSubject;
  sheet.emailPage.message = v->emailBody;
  sheet.runPage.enabled = v->runEnabled;
  sheet.runPage.initial = v->runAlarm;
  sheet.runPage.snooze = v->runSnooze;
  sheet.runPage.file = v->runFilename;
  sheet.runPage.arguments = v->runParms;
  sheet.runPage.startupIndex = alarms::CActionsRun::ShowCmdToIndex(v->runState);
  if (sheet.DoModal() != IDOK) return false;
  v->soundEnabled = static_cast<short>(sheet.soundPage.enabled);
  v->soundFile = sheet.soundPage.soundFile;
  v->alarmLength = sheet.soundPage.length;
  v->autoAcknowledge = static_cast<short>(sheet.soundPage.autoAcknowledge);
  v->emailEnabled = static_cast<short>(sheet.emailPage.enabled);
  v->emailTo = sheet.emailPage.recipients;
  v->emailSubject = sheet.emailPage.subject;
  v->emailBody = sheet.emailPage.message;
  v->runEnabled = static_cast<short>(sheet.runPage.enabled);
  v->runAlarm = static_cast<short>(sheet.runPage.initial);
  v->runSnooze = static_cast<short>(sheet.runPage.snooze);
  v->runFilename = sheet.runPage.file;
  v->runParms = sheet.runPage.arguments;
  v->runState = alarms::CActionsRun::IndexToShowCmd(sheet.runPage.startupIndex);
  return true;
}
