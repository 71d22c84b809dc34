#include "tests/alarms/reminder_fixture.h"

#include <filesystem>

#include "alarms/alarm_platform.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "shell/app/shell_document.h"
#include "shell/frame/tray_icon_calls.h"
#include "storage/event_array.h"
#include "tests/shell/main_window_start.h"

namespace remindertest {

namespace {

BOOL RecordSound(const char* file, UINT) {
  Calls().sounds.push_back(file);
  return TRUE;
}
BOOL RecordBeep(UINT) {
  ++Calls().beeps;
  return TRUE;
}
BOOL RecordFlash(HWND, BOOL) {
  ++Calls().flashes;
  return TRUE;
}
bool RecordTaskbarFlash(HWND, unsigned count) {
  Calls().flashes += static_cast<int>(count);
  return true;
}
BOOL RecordNotify(DWORD message, NOTIFYICONDATAA* data) {
  Calls().notifications.push_back({message, *data, IconBits(data->hIcon)});
  return TRUE;
}

// 4 March 2024 08:58:00 in Berlin (UTC+1).
platform::CivilTime StartUtc(int seconds) {
  platform::CivilTime t = testsupport::Civil(2024, 3, 4, 7, 58, 0);
  t.second = seconds % 60;
  t.minute += seconds / 60 % 60;
  t.hour += seconds / 3600;
  while (t.minute >= 60) {
    t.minute -= 60;
    ++t.hour;
  }
  return t;
}

}  // namespace

Recorded& Calls() {
  static Recorded calls;
  return calls;
}

std::vector<unsigned char> IconBits(HICON icon) {
  std::vector<unsigned char> bits;
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return bits;
  BITMAP bm{};
  if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm)) {
    bits.resize(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
    ::GetBitmapBits(info.hbmColor, static_cast<LONG>(bits.size()), bits.data());
  }
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  return bits;
}

void ReminderTest::SetUp() {
  Calls() = Recorded();
  AlarmPlatform& p = GetAlarmPlatform();
  p.playSound = &RecordSound;
  p.messageBeep = &RecordBeep;
  p.flashWindow = &RecordFlash;
  p.flashInTaskbar = &RecordTaskbarFlash;
  SetNotifyIconCall(&RecordNotify);
  clock_ = std::make_unique<testsupport::FixedClock>(StartUtc(0));
  static int counter = 0;
  dir_ = (std::filesystem::temp_directory_path() /
          ("almacora_reminders_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter)))
             .string();
  std::filesystem::create_directories(dir_);
  store_ = shelltest::QuietSettings("alarms_window");
  g_Settings.DailyReminder = 0;
  g_Settings.WarnAcknowledge = 0;
  g_Settings.AlarmInterupt = 0;
  g_Settings.AlarmCheckFrequency = 3;
  frame_ = shelltest::StartMainWindow(app_);
  ASSERT_NE(frame_, nullptr);
}

void ReminderTest::TearDown() {
  if (frame_) frame_->DestroyWindow();
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  SetNotifyIconCall(nullptr);
  GetAlarmPlatform() = RealAlarmPlatform();
  store_->Clear();
  g_Settings.SetProfile(nullptr);
  clock_.reset();
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

CCalEvent* ReminderTest::NewEvent(const std::string& name, int hour, int minute, int lead, const std::string& sound) {
  auto* e = new CCalEvent();
  e->name = name;
  e->oneTime = 1;
  e->alarmOn = 1;
  e->start.SetDate(4, 3, 2024);
  e->start.SetTime(hour, minute, 0);
  e->end = e->start;
  e->nextOccurrence = e->start;
  e->SetLeadTime(lead, "Minutes");
  e->soundOn = sound.empty() ? 0 : 1;
  e->alarmSoundFile = sound;
  e->soundLength = 5;
  e->autoAcknowledge = 0;
  return e;
}

CCalendarFile* ReminderTest::OpenCalendar(const std::string& file, const std::vector<CCalEvent*>& events) {
  const std::string path = dir_ + "\\" + file;
  {
    CCalendarFile calendar;
    EXPECT_EQ(1, calendar.CreateFile(path));
    CEventArray array;
    for (CCalEvent* e : events) EXPECT_EQ(1, calendar.AddEvent(e, 0, &array));
    calendar.Close(&array);
  }
  CShellDocument* doc = frame_->GetShellDocument();
  doc->OpenCalendarFile(path, false);
  return doc->Core().calendars().FindByPath(path);
}

void ReminderTest::CheckAt(int secondsAfterStart) {
  clock_->Set(StartUtc(secondsAfterStart));
  frame_->PeriodicCheck();
}

std::string ReminderTest::Title() {
  char text[128] = "";
  if (Window()) ::GetWindowTextA(Window()->GetSafeHwnd(), text, sizeof text);
  return text;
}

}  // namespace remindertest
