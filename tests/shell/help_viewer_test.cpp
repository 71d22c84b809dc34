// F1 in the dialogs of the real almacora.exe opens the HTML Help viewer on
// almacora.chm (which the build puts beside the program), owned by the
// dialog and beside it, so the dialog stays visible and usable. Which topic
// each context opens is checked on the built file (tests/help).
#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>

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
    ::GetWindowRect(dialog, &d);
    // Beside it where the screen leaves the room the program asks for (the
    // viewer shows before the program moves it there).
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (std::max(work.right - d.right, d.left - work.left) >= 300) {
      for (int i = 0; i < 30 && (::GetWindowRect(viewer, &v), ::IntersectRect(&overlap, &v, &d)); ++i)
        shelltest::PumpFor(100);
      EXPECT_FALSE(::IntersectRect(&overlap, &v, &d)) << "the viewer covers the dialog";
    }
    shelltest::PumpFor(500);
    shelltest::Shot shot = shelltest::TakeShot(viewer, std::string("help_viewer_") + c.name);
    ASSERT_GT(shot.width, 100);
    // Beside a dialog the contents pane gives way to the topic: white down
    // the middle (empty where the test prefix has no HTML engine), under
    // the tool bar's captions.
    EXPECT_EQ(shot.At(shot.width / 2, shot.height * 3 / 4), RGB(255, 255, 255));
    size_t dark = 0;
    for (int y = 0; y < shot.height / 6; ++y)
      for (int x = 0; x < shot.width; ++x) {
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

namespace {

// What a case does in its window before asking for help.
enum class Before { kNothing, kFocusTab, kFocusOk, kFocusCancel, kFocusHelp };

struct AskCase {
  const char* name;
  std::vector<Step> steps;
  const char* caption;  // null: the wizard
  int page;  // the sheet page to turn to first (-1: none)
  Before before;
  int helpButton;  // pressed instead of F1 when not 0
  long context;
  const char* topic;
  bool closeWithViewer;  // the dialog is closed while its viewer is open
};

// A wizard of the process: a dialog with the sheet's Next button (its
// caption is its page's).
HWND WaitForWizard(DWORD pid, DWORD ms = 15000) {
  return shelltest::WaitForWindowOf(pid, "#32770", [](HWND h) { return ::GetDlgItem(h, 0x3024) != nullptr; }, ms);
}

void TurnTo(HWND sheet, int page, Before before) {
  if (page >= 0) ::PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
  HWND focus = nullptr;
  if (before == Before::kFocusTab) focus = ::FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
  if (before == Before::kFocusOk) focus = ::GetDlgItem(sheet, IDOK);
  if (before == Before::kFocusCancel) focus = ::GetDlgItem(sheet, IDCANCEL);
  if (before == Before::kFocusHelp) focus = ::GetDlgItem(sheet, IDHELP);
  if (focus) ::PostMessageA(sheet, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
  shelltest::PumpFor(400);
}

// The widest visible child of the viewer beside its contents tree: the
// pane that shows the topic.
int TopicPaneWidth(HWND viewer) {
  struct Widest {
    HWND viewer;
    int width;
  } w{viewer, 0};
  ::EnumChildWindows(
      viewer,
      [](HWND h, LPARAM p) -> BOOL {
        auto* w = reinterpret_cast<Widest*>(p);
        char cls[32] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (::GetParent(h) != w->viewer || !::IsWindowVisible(h) || std::string(cls) != "HH Child") return TRUE;
        RECT r{};
        ::GetWindowRect(h, &r);
        w->width = std::max(w->width, static_cast<int>(r.right - r.left));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&w));
  return w.width;
}

}  // namespace

// Every dialog and page asks the viewer for its own topic, whatever has the
// focus, also after a dialog closed with its viewer open; beside a dialog
// the topic keeps a readable width, and a second Help brings the viewer
// to the front. The topic asked is read from the help library's trace.
TEST(HelpViewer, EachWindowAsksForItsOwnTopicForTheWholeRun) {
  ASSERT_EQ(0, StartStorageEngine());
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("almacora_asks_" + std::to_string(::GetCurrentProcessId()));
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
  p.TraceChannels("trace+htmlhelp");
  ASSERT_TRUE(p.Start());
  HWND main = p.WaitForWindow();
  ASSERT_NE(main, nullptr);
  const Step add{32777, nullptr, 0}, options{32773, nullptr, 0};
  const Step actions{0, "Event Edit", 32878};
  const AskCase cases[] = {
      {"event_edit", {add}, "Event Edit", -1, Before::kNothing, 0, 3, "event_edit.html", true},
      {"event_edit_button", {add}, "Event Edit", -1, Before::kNothing, 1102, 3, "event_edit.html", false},
      {"options_after_close", {options}, "Options", -1, Before::kNothing, 0, 21, "options_startup.html", true},
      {"options_tab", {options}, "Options", 2, Before::kFocusTab, 0, 20, "options_alarms.html", false},
      {"options_ok", {options}, "Options", 3, Before::kFocusOk, 0, 19, "options_warnings.html", false},
      {"options_cancel", {options}, "Options", 5, Before::kFocusCancel, 0, 32, "options_display.html", false},
      {"actions_help", {add, actions}, "Alarm Actions", 0, Before::kFocusHelp, 0, 149, "action_sound.html", false},
      {"actions_email", {add, actions}, "Alarm Actions", 1, Before::kFocusTab, 0, 150, "action_email.html", false},
      {"actions_run", {add, actions}, "Alarm Actions", 2, Before::kFocusTab, 0, 151, "action_run.html", false},
      {"print", {{32841, nullptr, 0}}, "Print", -1, Before::kNothing, 0, 46, "printing.html", false},
      {"calendar_wizard", {{349, nullptr, 0}}, nullptr, -1, Before::kNothing, 0, 152, "calendar_wizard.html",
       false},
  };
  for (const AskCase& c : cases) {
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
    HWND dialog = c.caption ? WaitFor(p.Pid(), "#32770", c.caption) : WaitForWizard(p.Pid());
    ASSERT_NE(dialog, nullptr) << (c.caption ? c.caption : "the wizard");
    opened.push_back(dialog);
    shelltest::PumpFor(300);
    TurnTo(dialog, c.page, c.before);
    const int callsBefore = shelltest::LastHelpAsked(p.Trace()).calls;
    const auto ask = [&] {
      if (c.helpButton) {
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.helpButton, BN_CLICKED), 0);
      } else {
        PressF1(dialog);
      }
    };
    ask();
    HWND viewer = WaitFor(p.Pid(), "HH Parent", "Almacora Help", 5000);
    ASSERT_NE(viewer, nullptr) << "no help viewer";
    shelltest::PumpFor(300);
    const shelltest::HelpAsked asked = shelltest::LastHelpAsked(p.Trace());
    EXPECT_GT(asked.calls, callsBefore) << "the viewer was not asked";
    EXPECT_EQ(asked.command, "HH_HELP_CONTEXT");
    EXPECT_EQ(asked.context, c.context);
    EXPECT_EQ(asked.topic, c.topic);
    EXPECT_EQ(::GetWindow(viewer, GW_OWNER), dialog);
    // However narrow the room beside the dialog, the topic reads.
    for (int i = 0; i < 30 && TopicPaneWidth(viewer) < 300; ++i) shelltest::PumpFor(100);
    EXPECT_GE(TopicPaneWidth(viewer), 300);
    // Asked again with the dialog in front, the open viewer comes forward.
    ::SetForegroundWindow(dialog);
    shelltest::PumpFor(300);
    ask();
    shelltest::PumpFor(600);
    EXPECT_EQ(::GetForegroundWindow(), viewer) << "the open viewer stayed behind";
    shelltest::TakeShot(::GetDesktopWindow(), std::string("help_asks_") + c.name);
    if (!c.closeWithViewer) {
      ::PostMessageA(viewer, WM_CLOSE, 0, 0);
      shelltest::PumpFor(300);
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
      ::PostMessageA(*it, WM_COMMAND, IDCANCEL, 0);
      for (int i = 0; i < 50 && ::IsWindowVisible(*it); ++i) shelltest::PumpFor(100);
      EXPECT_FALSE(::IsWindowVisible(*it)) << "a dialog stayed open";
    }
  }
  // The main window's Help > Contents after all that.
  ::PostMessageA(main, WM_COMMAND, 57666, 0);
  HWND viewer = WaitFor(p.Pid(), "HH Parent", "Almacora Help", 5000);
  EXPECT_NE(viewer, nullptr) << "Help > Contents shows nothing";
  EXPECT_EQ(shelltest::LastHelpAsked(p.Trace()).command, "HH_DISPLAY_TOPIC");
  if (viewer) ::PostMessageA(viewer, WM_CLOSE, 0, 0);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

// At the very first start the calendar wizard comes before the main window;
// F1 there opens the wizard's topic all the same.
TEST(HelpViewer, TheFirstStartWizardShowsItsTopic) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Corvelle Software");
  const std::filesystem::path built = std::filesystem::path(ALMACORA_EXE_PATH).parent_path();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("almacora_first_help_" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  for (const char* f : {"almacora.exe", "almacora.chm", "US Holidays.akv"})
    std::filesystem::copy_file(built / f, folder / f);
  Program p;
  p.TraceChannels("trace+htmlhelp");
  ASSERT_TRUE(p.Start("", "", (folder / "almacora.exe").string()));
  HWND wizard = WaitForWizard(p.Pid(), 20000);
  ASSERT_NE(wizard, nullptr);
  shelltest::PumpFor(500);
  PressF1(wizard);
  HWND viewer = WaitFor(p.Pid(), "HH Parent", "Almacora Help", 5000);
  EXPECT_NE(viewer, nullptr) << "F1 in the first-start wizard shows nothing";
  shelltest::PumpFor(300);
  const shelltest::HelpAsked asked = shelltest::LastHelpAsked(p.Trace());
  EXPECT_EQ(asked.context, 152);
  EXPECT_EQ(asked.topic, "calendar_wizard.html");
  shelltest::TakeShot(::GetDesktopWindow(), "help_first_start_wizard");
  if (viewer) ::PostMessageA(viewer, WM_CLOSE, 0, 0);
  ::PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
  shelltest::BoxAnswerer exitWarning("Almacora", IDYES);
  HWND main = p.WaitForWindow();
  if (main) ::PostMessageA(main, WM_CLOSE, 0, 0);
  p.WaitExit();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}
