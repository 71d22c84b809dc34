// One copy per user: a second start hands its command line to the first
// and ends; the path it sends, and what the first makes of it, end up in
// the first's calendar list.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "program_fixture.h"
#include "shell/app/hand_over.h"
// The storage names a member CreateFile; windows.h makes that a macro.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"

using shelltest::BoxAnswerer;
using shelltest::Program;
using shelltest::ReadSetting;
using shelltest::ReadSettingText;
using shelltest::ResetProfile;

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string ProgramFolder() {
  std::string s = ALMACORA_EXE_PATH;
  std::replace(s.begin(), s.end(), '/', '\\');
  s = s.substr(0, s.find_last_of('\\') + 1);
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string ScratchFolder() {
  char tmp[MAX_PATH] = "";
  ::GetTempPathA(sizeof tmp, tmp);
  std::string dir = std::string(tmp) + "almacora_hand_over\\";
  ::CreateDirectoryA(dir.c_str(), nullptr);
  ::CreateDirectoryA((dir + "sub").c_str(), nullptr);
  return dir;
}

// An empty calendar file, made the way the program makes one.
void WriteCalendar(const std::string& path) {
  ASSERT_EQ(StartStorageEngine(), 0);
  CCalendarFile calendar;
  ASSERT_NE(calendar.CreateFile(path), 0) << path;
}

// The calendars the tests hand over: two in a sub-folder of the second
// start's folder, one bare name in the program folder.
struct Calendars {
  Calendars() {
    WriteCalendar(folder + "sub\\b.akv");
    WriteCalendar(folder + "sub\\q.akv");
    WriteCalendar(ProgramFolder() + "c.akv");
  }
  ~Calendars() { ::DeleteFileA((ProgramFolder() + "c.akv").c_str()); }
  std::string folder = ScratchFolder();
};

}  // namespace

TEST(HandOver, PathsTheSenderSends) {
  struct Case {
    const char* line;
    const char* sent;
  } cases[] = {
      {"sub\\b.akv", "C:\\from\\sub\\b.akv"},
      {"\"sub\\b.akv\"", "C:\\from\\sub\\b.akv"},
      {"..\\b.akv", "C:\\b.akv"},
      {"c.akv", "c.akv"},
      {"\"c.akv\"", "c.akv"},
      {"D:\\cal\\x.akv", "D:\\cal\\x.akv"},
      {"\\\\server\\share\\x.akv", "\\\\server\\share\\x.akv"},
  };
  for (const Case& c : cases) EXPECT_EQ(HandOverPath(c.line, "C:\\from\\"), c.sent) << c.line;
}

TEST(HandOver, ReceivedDataMustBeATextWithItsEnd) {
  char good[] = "a.akv";
  char unended[3] = {'a', 'b', 'c'};
  struct Case {
    ULONG_PTR dwData;
    void* data;
    DWORD size;
    bool ok;
  } cases[] = {
      {0, good, sizeof good, true}, {1, good, sizeof good, false}, {0, unended, 3, false},
      {0, nullptr, 4, false},       {0, good, 0, false},
  };
  for (const Case& c : cases) {
    COPYDATASTRUCT cds{c.dwData, c.size, c.data};
    std::string text;
    EXPECT_EQ(ReadHandedOverText(&cds, &text), c.ok) << c.dwData << " " << c.size;
    if (c.ok) {
      EXPECT_EQ(text, "a.akv");
    }
  }
}

TEST(HandOver, SecondStartsHandOverTheirFilesAndEnd) {
  ResetProfile();
  Calendars calendars;
  const std::string& folder = calendars.folder;
  Program first;
  ASSERT_TRUE(first.Start());
  HWND main = first.WaitForWindow();
  ASSERT_NE(main, nullptr);
  for (const char* line : {"sub\\b.akv", "\"sub\\q.akv\"", "c.akv"}) {
    BoxAnswerer add("Almacora Calendar", IDOK);  // the Add-or-Preview question
    Program second;
    ASSERT_TRUE(second.Start(line, folder));
    EXPECT_TRUE(add.Wait()) << line;
    EXPECT_EQ(second.WaitExit(), 0) << line;
    EXPECT_EQ(shelltest::FindMainWindow(second.Pid()), nullptr);
  }
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(first.WaitExit(), 0);
  ASSERT_EQ(ReadSetting("NumFiles"), 3);
  EXPECT_EQ(ReadSettingText("DataFiles01"), folder + "sub\\b.akv");
  EXPECT_EQ(ReadSettingText("DataFiles02"), folder + "sub\\q.akv");
  EXPECT_EQ(Lower(ReadSettingText("DataFiles03")), ProgramFolder() + "c.akv");
}

TEST(HandOver, ABareNameOnTheFirstStartLandsInTheProgramFolder) {
  ResetProfile();
  Calendars calendars;
  BoxAnswerer add("Almacora Calendar", IDOK);
  Program p;
  ASSERT_TRUE(p.Start("c.akv", calendars.folder));
  HWND main = p.WaitForWindow();
  ASSERT_NE(main, nullptr);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(p.WaitExit(), 0);
  EXPECT_EQ(Lower(ReadSettingText("DataFiles01")), ProgramFolder() + "c.akv");
}

TEST(HandOver, ABlankSecondStartShowsAHiddenFirst) {
  ResetProfile({{"WinStartupMode", 2}});
  Program first;
  ASSERT_TRUE(first.Start());
  HWND main = first.WaitForWindow();
  ASSERT_NE(main, nullptr);
  shelltest::PumpFor(300);
  EXPECT_FALSE(::IsWindowVisible(main));
  Program second;
  ASSERT_TRUE(second.Start("   "));
  EXPECT_EQ(second.WaitExit(), 0);
  shelltest::PumpFor(300);
  EXPECT_TRUE(::IsWindowVisible(main));
  EXPECT_FALSE(::IsIconic(main));
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitExit(), 0);
}

TEST(HandOver, AllowMultipleGivesTwoWindows) {
  ResetProfile({{"AllowMultiple", 1}});
  Program first, second;
  ASSERT_TRUE(first.Start());
  HWND a = first.WaitForWindow();
  ASSERT_TRUE(second.Start());
  HWND b = second.WaitForWindow();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  ::PostMessageA(b, WM_CLOSE, 0, 0);
  EXPECT_EQ(second.WaitExit(), 0);
  ::PostMessageA(a, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitExit(), 0);
}
