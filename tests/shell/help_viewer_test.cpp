// F1 in the dialogs of the real almacora.exe opens the HTML Help viewer on
// almacora.chm (which the build puts beside the program), owned by the
// dialog and beside it, so the dialog stays visible and usable. Which topic
// each context opens is checked on the built file (tests/help).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"
// The storage's method, not the Win32 macro of the same name.
#undef CreateFile
#include "storage/calendar_file.h"

using shelltest::Program;

namespace {

HWND WaitFor(DWORD pid, const char* cls, const char* title, DWORD ms = 15000) {
  return shelltest::WaitForWindowOf(
      pid, cls,
      [title](HWND h) {
        char text[128] = "";
        ::GetWindowTextA(h, text, sizeof text);
        return std::string(text) == title;
      },
      ms);
}

void PressF1(HWND window) {
  ::SetForegroundWindow(window);
  shelltest::PumpFor(300);
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof keys[0]);
}

// How a dialog is reached: a command to the main window, then (for a
// dialog opened from another) a button of the dialog before it.
struct Step {
  UINT command;  // to the main window, or 0
  const char* from;  // the caption of the dialog whose button opens it
  int button;
};

struct HelpCase {
  const char* name;
  std::vector<Step> steps;
  const char* caption;  // of the dialog that asks
};

}  // namespace

TEST(HelpViewer, F1ShowsEachDialogsTopicBesideTheDialog) {
  // An open calendar, so Add goes straight to the editor.
  ASSERT_EQ(0, StartStorageEngine());
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("almacora_help_" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "help.akv").string();
  std::filesystem::remove(path);
  {
    CCalendarFile calendar;
    ASSERT_EQ(1, calendar.CreateFile(path));
    CEventArray none;
    calendar.Close(&none);
  }
  shelltest::ResetProfile({{"SplashEnabled", 0}, {"NumFiles", 1}, {"WarnHiding", 0}}, {{"DataFiles01", path}});
  Program p;
  ASSERT_TRUE(p.Start());
  HWND main = p.WaitForWindow();
  ASSERT_NE(main, nullptr);
  const HelpCase cases[] = {
      {"event_edit", {{32777, nullptr, 0}}, "Event Edit"},
      {"upcoming_days", {{32777, nullptr, 0}, {0, "Event Edit", 32877}}, "Upcoming Days"},
      {"alarm_actions", {{32777, nullptr, 0}, {0, "Event Edit", 32878}}, "Alarm Actions"},
      {"options", {{32773, nullptr, 0}}, "Options"},
      {"quick_timer", {{332, nullptr, 0}}, "Quick Timer"},
      {"filter", {{32843, nullptr, 0}}, "Filtering"},
  };
  for (const HelpCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<HWND> opened;
    for (const Step& s : c.steps) {
      if (s.command) {
        ::PostMessageA(main, WM_COMMAND, s.command, 0);
      } else {
        HWND from = WaitFor(p.Pid(), "#32770", s.from);
        ASSERT_NE(from, nullptr) << s.from;
        opened.push_back(from);
        ::PostMessageA(from, WM_COMMAND, MAKEWPARAM(s.button, 0), 0);
      }
    }
    HWND dialog = WaitFor(p.Pid(), "#32770", c.caption);
    ASSERT_NE(dialog, nullptr) << c.caption;
    opened.push_back(dialog);
    shelltest::PumpFor(300);
    PressF1(dialog);
    HWND viewer = WaitFor(p.Pid(), "HH Parent", "Almacora Help");
    ASSERT_NE(viewer, nullptr) << "no help viewer";

    // The dialog that asked stays in view and usable beside the viewer.
    EXPECT_EQ(::GetWindow(viewer, GW_OWNER), dialog);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    RECT v{}, d{}, overlap{};
    ::GetWindowRect(viewer, &v);
    ::GetWindowRect(dialog, &d);
    // Beside it where the screen leaves the room the program asks for.
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (std::max(work.right - d.right, d.left - work.left) >= 300) {
      EXPECT_FALSE(::IntersectRect(&overlap, &v, &d)) << "the viewer covers the dialog";
    }
    shelltest::PumpFor(500);
    shelltest::Shot shot = shelltest::TakeShot(viewer, std::string("help_viewer_") + c.name);
    ASSERT_GT(shot.width, 100);
    // The contents pane on the left: white, with the book titles drawn in
    // its upper part (the topic pane stays empty where the test prefix has
    // no HTML engine).
    EXPECT_EQ(shot.At(shot.width / 6, shot.height * 3 / 4), RGB(255, 255, 255));
    size_t dark = 0;
    for (int y = shot.height / 8; y < shot.height / 3; ++y)
      for (int x = 0; x < shot.width / 3; ++x) {
        const COLORREF px = shot.At(x, y);
        dark += GetRValue(px) < 0x50 && GetGValue(px) < 0x50 && GetBValue(px) < 0x50;
      }
    EXPECT_GT(dark, 100u);
    // The screen as the user sees it: the dialog with the viewer beside it.
    shelltest::TakeShot(::GetDesktopWindow(), std::string("help_screen_") + c.name);
    ::PostMessageA(viewer, WM_CLOSE, 0, 0);
    shelltest::PumpFor(300);
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
      ::PostMessageA(*it, WM_COMMAND, IDCANCEL, 0);
      for (int i = 0; i < 50 && ::IsWindowVisible(*it); ++i) shelltest::PumpFor(100);
      EXPECT_FALSE(::IsWindowVisible(*it)) << "a dialog stayed open";
    }
  }
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
