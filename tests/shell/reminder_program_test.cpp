// The real almacora.exe with a calendar whose alarm falls due a few
// seconds after the start: the reminder window comes up by itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/cal_event.h"
#include "program_fixture.h"
// The storage's method, not the Win32 macro of the same name.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"

using shelltest::Program;
using shelltest::ResetProfile;

namespace {

struct Found {
  DWORD pid;
  HWND window;
};

BOOL CALLBACK FindReminder(HWND hwnd, LPARAM param) {
  auto* f = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  char title[64] = "";
  ::GetWindowTextA(hwnd, title, sizeof title);
  if (pid == f->pid && ::IsWindowVisible(hwnd) && std::string(title) == "Alarm Reminders  (1 alarm)") {
    f->window = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST(ReminderProgram, AnAlarmDueSoonOpensTheUnownedReminderWindow) {
  ASSERT_EQ(0, StartStorageEngine());
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("almacora_alarm_" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "alarm.akv").string();
  const DWORD due = ::GetTickCount() + 5000;
  std::filesystem::remove(path);
  {
    CCalendarFile calendar;
    ASSERT_EQ(1, calendar.CreateFile(path));
    auto* e = new CCalEvent();
    e->name = "Soon";
    e->oneTime = 1;
    e->alarmOn = 1;
    e->start = CDateTime::NowLocal();
    e->start.AddTime(0, 0, 5);
    e->end = e->nextOccurrence = e->start;
    e->SetLeadTime(0, "Minutes");
    e->soundOn = 0;
    CEventArray array;
    ASSERT_EQ(1, calendar.AddEvent(e, 0, &array));
    calendar.Close(&array);
  }
  ResetProfile({{"NumFiles", 1}, {"AlarmSoundEnabled", 0}, {"WarnHiding", 0}}, {{"DataFiles01", path}});
  Program p;
  ASSERT_TRUE(p.Start());
  HWND main = p.WaitForWindow();
  ASSERT_NE(nullptr, main);
  // 8 seconds from the alarm falling due, or from the window's arrival
  // when a slow start comes after that.
  const DWORD now = ::GetTickCount();
  const DWORD deadline = (static_cast<LONG>(now - due) > 0 ? now : due) + 8000;
  Found found{p.Pid(), nullptr};
  while (!found.window && static_cast<LONG>(::GetTickCount() - deadline) < 0) {
    shelltest::PumpFor(200);
    ::EnumWindows(&FindReminder, reinterpret_cast<LPARAM>(&found));
  }
  ASSERT_NE(nullptr, found.window) << "no reminder window within 8 s of the alarm";
  EXPECT_EQ(nullptr, ::GetWindow(found.window, GW_OWNER));
  EXPECT_NE(0, ::GetWindowLongA(found.window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, p.WaitExit());
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace
