// The main frame in this process with a calendar of due events, the
// program's clock frozen at 4 March 2024 08:58:00 local time, and the
// platform calls of alarms and the notification area recorded.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "alarms/alarm_reminders_dlg.h"
#include "platform/profile_store.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
// The storage's method, not the Win32 macro of the same name.
#undef CreateFile
#include "storage/calendar_file.h"
#include "tests/support/fixed_clock.h"

namespace remindertest {

struct NotifyCall {
  DWORD message;
  NOTIFYICONDATAA data;
  std::vector<unsigned char> iconBits;  // the icon's colour bits at the call
};

struct Recorded {
  std::vector<std::string> sounds;
  int beeps = 0;
  int flashes = 0;
  std::vector<NotifyCall> notifications;
};
Recorded& Calls();

// The colour bits of an icon (empty for none).
std::vector<unsigned char> IconBits(HICON icon);

class ReminderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A one-time event at that local time today with its alarm `lead`
  // minutes ahead and its own sound file.
  CCalEvent* NewEvent(const std::string& name, int hour, int minute, int lead, const std::string& sound);
  // A calendar file holding the events, opened into the document.
  CCalendarFile* OpenCalendar(const std::string& file, const std::vector<CCalEvent*>& events);
  // Moves the frozen clock to local 08:58:00 + seconds and runs a check.
  void CheckAt(int secondsAfterStart);
  CAlarmRemindersDlg* Window() { return frame_->GetAlarmWindow(); }
  std::string Title();

  std::unique_ptr<testsupport::FixedClock> clock_;
  std::unique_ptr<platform::ProfileStore> store_;
  CAlmacoraApp app_;
  CMainFrame* frame_ = nullptr;
  std::string dir_;
};

}  // namespace remindertest
