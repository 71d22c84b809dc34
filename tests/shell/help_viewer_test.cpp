// F1 in the dialogs and pages of the real almacora.exe, whatever has the
// focus, opens the HTML Help viewer on almacora.chm (which the build puts
// beside the program) at the window's own topic, read from Wine's trace of
// the help library; owned by the dialog and beside it, so the dialog stays
// visible and usable, also after a dialog closed with its viewer open.
#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "model/events/cal_event.h"
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

// A wizard (its caption is its page's): a dialog with the Next button.
HWND WaitForWizard(DWORD pid) {
  return shelltest::WaitForWindowOf(pid, "#32770", [](HWND h) { return ::GetDlgItem(h, 0x3024) != nullptr; });
}

// The widest visible pane of the viewer: where the topic shows.
int TopicPaneWidth(HWND viewer) {
  int width = 0;
  for (HWND h = nullptr; (h = ::FindWindowExA(viewer, h, "HH Child", nullptr));) {
    RECT r{};
    if (::IsWindowVisible(h) && ::GetWindowRect(h, &r)) width = std::max(width, static_cast<int>(r.right - r.left));
  }
  return width;
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
  const char* caption;  // of the dialog that asks (null: the wizard)
  long context;
  const char* topic;
  int page = -1;  // the sheet page turned to first
  int focus = 0;  // the sheet's control given the focus first (-1 its tab)
  int button = 0;  // the Help button pressed instead of F1
  bool closeWithViewer = false;
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
    auto* daily = new CCalEvent();  // the list's first row, whose Delete asks which occurrences
    daily->name = "Standup";
    daily->oneTime = 0;
    daily->start = daily->end = daily->nextOccurrence = CDateTime::NowLocal();
    daily->recurrence.GetRule()->frequency = CRecurrenceRule::kDaily;
    CEventArray events;
    ASSERT_EQ(1, calendar.AddEvent(daily, 0, &events));
    calendar.Close(&events);
  }
  shelltest::ResetProfile({{"SplashEnabled", 0}, {"NumFiles", 1}, {"WarnHiding", 0}}, {{"DataFiles01", path}});
  Program p;
  p.TraceChannels("trace+htmlhelp");
  ASSERT_TRUE(p.Start());
  HWND main = p.WaitForWindow();
  ASSERT_NE(main, nullptr);
  const Step add{32777, nullptr, 0}, actions{0, "Event Edit", 32878}, options{32773, nullptr, 0};
  const HelpCase cases[] = {
      {"event_edit", {add}, "Event Edit", 3, "event_edit.html", -1, 0, 0, true},
      {"event_edit_button", {add}, "Event Edit", 3, "event_edit.html", -1, 0, 1102, true},
      {"upcoming_days", {add, {0, "Event Edit", 32877}}, "Upcoming Days", 62, "upcoming_days.html"},
      {"alarm_actions", {add, actions}, "Alarm Actions", 149, "action_sound.html", -1, IDHELP},
      {"actions_email", {add, actions}, "Alarm Actions", 150, "action_email.html", 1, -1},
      {"actions_run", {add, actions}, "Alarm Actions", 151, "action_run.html", 2, -1},
      {"options", {options}, "Options", 21, "options_startup.html"},
      {"options_tab", {options}, "Options", 20, "options_alarms.html", 2, -1},
      {"options_ok", {options}, "Options", 19, "options_warnings.html", 3, IDOK},
      {"options_cancel", {options}, "Options", 32, "options_display.html", 5, IDCANCEL},
      {"quick_timer", {{332, nullptr, 0}}, "Quick Timer", 153, "quick_timer.html"},
      {"filter", {{32843, nullptr, 0}}, "Filtering", 35, "filter.html"},
      {"print", {{32841, nullptr, 0}}, "Print", 46, "printing.html"},
      {"calendar_wizard", {{349, nullptr, 0}}, nullptr, 152, "calendar_wizard.html"},
      {"delete_occurrence", {{32779, nullptr, 0}}, "Delete", 156, "delete_occurrence.html", -1, 0, 1359},
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
    HWND dialog = c.caption ? WaitFor(p.Pid(), "#32770", c.caption) : WaitForWizard(p.Pid());
    ASSERT_NE(dialog, nullptr) << c.name;
    opened.push_back(dialog);
    if (c.page >= 0) ::PostMessageA(dialog, PSM_SETCURSEL, static_cast<WPARAM>(c.page), 0);
    HWND focus = c.focus == -1 ? ::FindWindowExA(dialog, nullptr, "SysTabControl32", nullptr) : ::GetDlgItem(dialog, c.focus);
    if (c.focus) ::PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    shelltest::PumpFor(300);
    const auto ask = [&] {
      if (c.button) ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), 0);
      if (!c.button) shelltest::PressF1(dialog);
    };
    ask();
    const shelltest::HelpAsked asked = shelltest::WaitForHelp(p);
    HWND viewer = asked.viewer;
    ASSERT_NE(viewer, nullptr) << "no help viewer";
    EXPECT_EQ(asked.command + " " + std::to_string(asked.context) + " " + asked.topic,
              "HH_HELP_CONTEXT " + std::to_string(c.context) + " " + c.topic);

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
      for (int i = 0; i < 30 && (::GetWindowRect(viewer, &v), ::IntersectRect(&overlap, &v, &d)); ++i)
        shelltest::PumpFor(100);
      EXPECT_FALSE(::IntersectRect(&overlap, &v, &d)) << "the viewer covers the dialog";
    }
    // However little room there is beside the dialog, the topic reads.
    for (int i = 0; i < 30 && TopicPaneWidth(viewer) < 300; ++i) shelltest::PumpFor(100);
    EXPECT_GE(TopicPaneWidth(viewer), 300);
    // Asked again with the dialog in front, the open viewer comes forward.
    ::SetForegroundWindow(dialog);
    shelltest::PumpFor(300);
    ask();
    shelltest::PumpFor(600);
    EXPECT_EQ(::GetForegroundWindow(), viewer) << "the open viewer stayed behind";
    shelltest::Shot shot = shelltest::TakeShot(viewer, std::string("help_viewer_") + c.name);
    ASSERT_GT(shot.width, 100);
    // The topic pane white down the middle (empty where the test prefix has
    // no HTML engine) under the tool bar's captions.
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
    if (!c.closeWithViewer) ::PostMessageA(viewer, WM_CLOSE, 0, 0);
    shelltest::PumpFor(300);
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
      ::PostMessageA(*it, WM_COMMAND, IDCANCEL, 0);
      for (int i = 0; i < 50 && ::IsWindowVisible(*it); ++i) shelltest::PumpFor(100);
      EXPECT_FALSE(::IsWindowVisible(*it)) << "a dialog stayed open";
    }
  }
  ::PostMessageA(main, WM_COMMAND, 57666, 0);  // Help > Contents after all that
  const shelltest::HelpAsked contents = shelltest::WaitForHelp(p);
  EXPECT_EQ(std::string(contents.viewer ? "" : "no viewer: ") + contents.command, "HH_DISPLAY_TOPIC");
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);

  // The very first start: the wizard comes before the main window.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Corvelle Software");
  std::filesystem::create_directories(dir);
  for (const char* f : {"almacora.exe", "almacora.chm", "US Holidays.akv"})
    std::filesystem::copy_file(std::filesystem::path(ALMACORA_EXE_PATH).parent_path() / f, dir / f);
  Program first;
  first.TraceChannels("trace+htmlhelp");
  ASSERT_TRUE(first.Start("", "", (dir / "almacora.exe").string()));
  HWND wizard = WaitForWizard(first.Pid());
  ASSERT_NE(wizard, nullptr);
  shelltest::PumpFor(500);
  shelltest::PressF1(wizard);
  const shelltest::HelpAsked wizardHelp = shelltest::WaitForHelp(first);
  EXPECT_EQ(std::string(wizardHelp.viewer ? "" : "no viewer: ") + wizardHelp.topic, "calendar_wizard.html");
  shelltest::TakeShot(::GetDesktopWindow(), "help_screen_first_start_wizard");
}
