// CAlarmRemindersDlg: the alarm sound, its repeat by rows, and bringing
// the window to the user.
#include <algorithm>

#include "alarms/alarm_platform.h"
#include "alarms/alarm_reminders_dlg.h"
#include "alarms/core/reminder_rows.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/local_path.h"
#include "platform/paths.h"

namespace {

// The window whose repeat timer runs: a timer without a window carries no
// object.
CAlarmRemindersDlg* g_soundWindow = nullptr;

std::string ProgramFolderWithSlash() {
  std::string folder = platform::ProgramFolder();
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

}  // namespace

void CALLBACK CAlarmRemindersDlg::AlarmSoundTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (g_soundWindow) g_soundWindow->RepeatAlarmSound();
}

void CAlarmRemindersDlg::StartSoundTimer() {
  const UINT period = static_cast<UINT>(std::max(1, g_Settings.AlarmRepeatLength)) * 1000;
  timerId_ = ::SetTimer(nullptr, 0, period, &AlarmSoundTimerProc);
  timerRunning_ = timerId_ != 0;
  if (timerRunning_) g_soundWindow = this;
}

void CAlarmRemindersDlg::StopSoundTimer() {
  if (timerRunning_) ::KillTimer(nullptr, timerId_);
  timerRunning_ = false;
  timerId_ = 0;
  if (g_soundWindow == this) g_soundWindow = nullptr;
}

bool CAlarmRemindersDlg::PlayAlarmFile(const std::string& file) {
  // Judged as the calendar names it ("//host/x.wav" too), before the
  // program's folder goes in front of a name without "\".
  if (!platform::IsLocalPath(file)) return PlaySoundOrBeep(file.c_str());
  return PlaySoundOrBeep(alarmcore::SoundFilePath(file, ProgramFolderWithSlash()).c_str());
}

void CAlarmRemindersDlg::RepeatAlarmSound() {
  std::vector<alarmcore::SoundRow> rows;
  for (int row = 0; row < grid_.GetRowCount(); ++row) {
    COccurrenceRef ref;
    rows.push_back(GetRowAlarm(row, &ref) && ref.event ? alarmcore::EventSoundRow(*ref.event) : alarmcore::SoundRow());
  }
  const int row = alarmcore::PickRepeatRow(rows, &nextRow_, AlarmClockSeconds() - fillTime_);
  if (row < 0) {
    StopSoundTimer();
    return;
  }
  ActivateWindow();
  PlayAlarmFile(rows[static_cast<size_t>(row)].file);
}

HWND CAlarmRemindersDlg::WindowInUse(HWND self) {
  HWND foreground = ::GetForegroundWindow();
  if (!foreground || foreground == self || !::IsWindowVisible(foreground)) return nullptr;
  if (foreground == ::GetDesktopWindow() || foreground == ::GetShellWindow()) return nullptr;
  return foreground;
}

void CAlarmRemindersDlg::ShowWithoutActivating() {
  HWND self = GetSafeHwnd();
  if (!self) return;
  HWND inUse = WindowInUse(self);
  // A dialog or question the user is answering stays in view: the reminder
  // stands just beneath it. Over anything else it comes to the top, but
  // never with the keyboard.
  HWND after = inUse && ::GetWindow(inUse, GW_OWNER) ? inUse : HWND_TOP;
  ::SetWindowPos(self, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CAlarmRemindersDlg::Flash() {
  HWND self = GetSafeHwnd();
  AlarmPlatform& p = GetAlarmPlatform();
  if (::GetActiveWindow() == self) {
    p.flashWindow(self, TRUE);
    return;
  }
  UINT count = 0;
  const BOOL ok = p.foregroundFlashCount(&count);
  if (!p.flashInTaskbar(self, alarmcore::FlashCount(ok != FALSE, count))) p.flashWindow(self, TRUE);
}

void CAlarmRemindersDlg::ActivateWindow() {
  HWND self = GetSafeHwnd();
  if (!self) return;
  AlarmPlatform& p = GetAlarmPlatform();
  const int mode = g_Settings.AlarmInterupt;
  if (mode < 0 || mode > 2) return;
  // Keys meant for the window the user works in must never reach the
  // reminder (Enter there would acknowledge an alarm not yet read): then
  // it only shows itself and flashes, whatever the setting says.
  if (mode == 2 || WindowInUse(self)) {
    if (::IsWindowVisible(self)) ShowWithoutActivating();
    Flash();
    return;
  }
  if (mode == 0) {
    p.setActiveWindow(self);
    p.setForegroundWindow(self);
    return;
  }
  HWND foreground = ::GetForegroundWindow();
  const DWORD own = ::GetCurrentThreadId();
  const DWORD other = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const bool attached = other != 0 && other != own && ::AttachThreadInput(other, own, TRUE);
  p.setActiveWindow(self);
  if (!p.setForegroundWindow(self)) p.flashWindow(self, TRUE);
  if (attached) ::AttachThreadInput(other, own, FALSE);
}
