// The real almacora.exe started for the first time: no settings in the
// registry (ConfigExists missing) and a program folder of its own holding
// only the program and the holiday calendars the build ships, so no
// "events.akv" yet. A person answers the calendar wizard with its own
// choices; no error box may come, and the personal calendar is made and
// is the default.
#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "program_fixture.h"
#include "storage/holiday_calendars.h"
// windows.h names CreateFileA what the calendar declares as CreateFile.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"

namespace {

// A visible dialog of the process whose caption is `caption` (any when
// null), or null; with `boxes` only message boxes (their text static).
HWND DialogOf(DWORD pid, bool boxes) {
  struct Find {
    DWORD pid;
    bool boxes;
    HWND found;
  } find{pid, boxes, nullptr};
  ::EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<Find*>(p);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        char cls[16] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (owner != f->pid || !::IsWindowVisible(h) || std::string(cls) != "#32770") return TRUE;
        if (f->boxes != (::GetDlgItem(h, 0xFFFF) != nullptr)) return TRUE;
        f->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// Presses the wizard on: Next while there is one, then Finish.
void PressWizardOn(HWND sheet) {
  HWND finish = ::GetDlgItem(sheet, 0x3025);
  const bool last = finish && ::IsWindowVisible(finish) && ::IsWindowEnabled(finish);
  ::PostMessageA(sheet, PSM_PRESSBUTTON, last ? PSBTN_FINISH : PSBTN_NEXT, 0);
}

std::string Title(HWND h) {
  char title[256] = "";
  ::GetWindowTextA(h, title, sizeof title);
  return title;
}

}  // namespace

TEST(FirstStart, MakesThePersonalCalendarAndListsEachHolidayOnItsNextDate) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Corvelle Software");
  const std::filesystem::path built = std::filesystem::path(ALMACORA_EXE_PATH).parent_path();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("almacora_first_start_" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(ALMACORA_EXE_PATH, folder / "almacora.exe");
  for (const holidays::CalendarInfo& info : holidays::kCalendars)
    std::filesystem::copy_file(built / info.file, folder / info.file);

  shelltest::Program p;
  ASSERT_TRUE(p.Start("", "", (folder / "almacora.exe").string()));
  // Until the main window has its title: every message box is an error
  // (its text kept, answered No so the start goes on); the wizard is
  // pressed on with what it proposes.
  std::vector<std::string> boxes;
  HWND main = nullptr;
  const std::string personal = (folder / "events.akv").string();
  for (int i = 0; i < 600; ++i) {
    if (HWND box = DialogOf(p.Pid(), true)) {
      char text[512] = "";
      ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      boxes.push_back(text);
      ::PostMessageA(box, WM_COMMAND, IDNO, 0);
    } else if (HWND sheet = DialogOf(p.Pid(), false); sheet && ::GetDlgItem(sheet, 0x3024)) {
      PressWizardOn(sheet);
    }
    main = shelltest::FindMainWindow(p.Pid());
    if (main && Title(main).find("(Default)") != std::string::npos) break;
    shelltest::PumpFor(100);
  }
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(boxes, std::vector<std::string>{});
  EXPECT_EQ(Title(main), "Almacora - events (Default)  |  US Holidays");
  EXPECT_TRUE(std::filesystem::exists(personal));
  ::SetCursorPos(2000, 2000);
  shelltest::Shot shot = shelltest::TakeShot(main, "first_start");
  ASSERT_GT(shot.width, 100);
  // Down the middle of the lower half: white day cells of the month calendar.
  EXPECT_GT(shelltest::WhiteShareDownTheMiddle(shot), 75);

  // Exit as a person does: the exit warning answered Yes.
  shelltest::BoxAnswerer exitWarning("Almacora", IDYES);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
  EXPECT_EQ(shelltest::ReadSetting("ConfigExists"), 1);
  const int defaultFile = shelltest::ReadSetting("DefaultFile");
  char key[16];
  std::snprintf(key, sizeof key, "DataFiles%02d", defaultFile);
  // The program keeps paths lower-cased.
  std::string listed = shelltest::ReadSettingText(key), expected = personal;
  for (std::string* s : {&listed, &expected})
    for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(listed, expected) << key;

  // What the list showed is what the holiday calendar now holds: each
  // holiday at its own next date from today.
  ASSERT_EQ(0, StartStorageEngine());
  CCalendarFile us;
  CEventArray events;
  ASSERT_EQ(1, us.Open(&events, (folder / "US Holidays.akv").string()));
  const CDateTime today = CDateTime::Today();
  ASSERT_GT(events.size(), 5u);
  for (CCalEvent* e : events.items()) {
    CDateTime own = today;
    e->GetNextOccurrenceFrom(own, false);
    EXPECT_EQ(e->nextOccurrence.GetJulianDay(), own.GetJulianDay()) << e->name;
  }
  us.Close(&events);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}
