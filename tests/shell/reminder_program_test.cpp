// The real almacora.exe with a calendar whose alarm falls due a few
// seconds after the start: the reminder window comes up by itself.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/events/action_proof.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "program_fixture.h"
#include "res/resource.h"
// The storage's method, not the Win32 macro of the same name.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"

using shelltest::BoxAnswerer;
using shelltest::Program;
using shelltest::ResetProfile;

namespace {

// The key of the user's installation (the program's profile holds it too).
const char kUsersKey[] = "the user's own key";

// A calendar of one event whose alarm falls due five seconds from now, and
// the profile that opens it; `more` adds what a test needs to the event,
// `others` events without an alarm that run payload.exe; `craft`, when
// set, changes the written event in place (its proof kept as written).
struct SoonAlarm {
  std::filesystem::path dir;
  DWORD due = 0;
  void Write(void (*more)(CCalEvent*), int others = 0, void (*craft)(CCalEvent*) = nullptr) {
    ASSERT_EQ(0, StartStorageEngine());
    dir = std::filesystem::temp_directory_path() / ("almacora_alarm_" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "alarm.akv").string();
    due = ::GetTickCount() + 5000;
    std::filesystem::remove(path);
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
    if (more) more(e);
    CEventArray array;
    ASSERT_EQ(1, calendar.AddEvent(e, 0, &array));
    for (int i = 1; i <= others; ++i) {
      auto* o = new CCalEvent();
      o->name = "Payload " + std::to_string(i);
      o->runOn = 1;
      o->runFile = "payload.exe";
      ASSERT_EQ(1, calendar.AddEvent(o, 0, &array));
    }
    if (craft) {
      craft(e);
      ASSERT_EQ(1, calendar.UpdateEvent(e, &array, 0, 0, 0));
    }
    calendar.Close(&array);
  }
  std::string Path() const { return (dir / "alarm.akv").string(); }
  // The reminder window of `p`, waited for 8 seconds from the alarm falling
  // due, or from now when a slow start came after that.
  HWND WaitForReminder(const Program& p) const {
    const DWORD now = ::GetTickCount();
    const DWORD deadline = (static_cast<LONG>(now - due) > 0 ? now : due) + 8000;
    return shelltest::WaitForWindowOf(
        p.Pid(), "",
        [](HWND h) {
          char title[64] = "";
          ::GetWindowTextA(h, title, sizeof title);
          return std::string(title) == "Alarm Reminders  (1 alarm)";
        },
        deadline - now);
  }
  ~SoonAlarm() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

TEST(ReminderProgram, AnAlarmDueSoonOpensTheUnownedReminderWindow) {
  SoonAlarm alarm;
  ASSERT_NO_FATAL_FAILURE(alarm.Write(nullptr));
  ResetProfile({{"NumFiles", 1}, {"AlarmSoundEnabled", 0}, {"WarnHiding", 0}}, {{"DataFiles01", alarm.Path()}});
  Program p;
  p.TraceChannels("trace+htmlhelp");
  ASSERT_TRUE(p.Start());
  HWND main = p.WaitForWindow();
  ASSERT_NE(nullptr, main);
  HWND reminder = alarm.WaitForReminder(p);
  ASSERT_NE(nullptr, reminder) << "no reminder window within 8 s of the alarm";
  EXPECT_EQ(nullptr, ::GetWindow(reminder, GW_OWNER));
  EXPECT_NE(0, ::GetWindowLongA(reminder, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  // F1 there opens the reminder window's own topic, not a fault box.
  shelltest::PressF1(reminder);
  const shelltest::HelpAsked asked = shelltest::WaitForHelp(p);
  EXPECT_NE(nullptr, asked.viewer);
  EXPECT_EQ(asked.topic, "alarm_reminders.html");
  shelltest::TakeShot(::GetDesktopWindow(), "reminder_help");
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, p.WaitExit());
}

// The alarm's mail goes to a server that takes the connection and never
// answers: the worker waits on it, and closing the program ends that wait
// at once: a clean and prompt exit, and no log entry about the cut
// connection (nothing is written once the program is ending).
TEST(ReminderProgram, ClosingWhileAMailWaitsOnASilentServerEnds) {
  WSADATA wsa;
  ASSERT_EQ(0, ::WSAStartup(MAKEWORD(2, 2), &wsa));
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
  ASSERT_EQ(0, ::listen(listener, 4));
  int len = sizeof addr;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);

  SoonAlarm alarm;
  g_Settings.InstallationSecret = kUsersKey;
  ASSERT_NO_FATAL_FAILURE(alarm.Write([](CCalEvent* e) {
    e->emailOn = 1;
    e->emailTo = "bob@example.com";
    e->armRequested = 1;
  }));
  ResetProfile({{"NumFiles", 1}, {"AlarmSoundEnabled", 0}, {"WarnHiding", 0}, {"EmailType", 1},
                {"EmailPort", ntohs(addr.sin_port)}},
               {{"DataFiles01", alarm.Path()}, {"EmailServer", "127.0.0.1"}, {"EmailFromAddr", "s@example.com"},
                {"InstallationSecret", kUsersKey}});  // armed by this installation
  Program p;
  ASSERT_TRUE(p.Start("", alarm.dir.string()));  // the log goes to the current folder
  HWND main = p.WaitForWindow();
  ASSERT_NE(nullptr, main);
  ASSERT_NE(nullptr, alarm.WaitForReminder(p));
  // The worker has connected once the listener has a connection waiting.
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(listener, &ready);
  timeval tenSeconds{10, 0};
  ASSERT_EQ(1, ::select(0, &ready, nullptr, nullptr, &tenSeconds)) << "the alarm's mail never reached the server";
  SOCKET accepted = ::accept(listener, nullptr, nullptr);
  const DWORD closing = ::GetTickCount();
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, p.WaitExit(40000));
  // Well below the reply wait (60 s) and the exit's 10 s limit for workers.
  EXPECT_LT(::GetTickCount() - closing, 8000u);
  EXPECT_FALSE(std::filesystem::exists(alarm.dir / "AlarmErrorLog.txt"));
  ::closesocket(accepted);
  ::closesocket(listener);
  ::WSACleanup();
}

std::string g_target;
bool g_crafted = false;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The question of process `pid` whose text holds `words`.
HWND WaitForBox(DWORD pid, const char* words) {
  return shelltest::WaitForWindowOf(
      pid, "#32770",
      [words](HWND h) {
        char text[4096] = "";
        ::GetDlgItemTextA(h, IDC_ARM_ACTIONS_TEXT, text, sizeof text);
        return std::string(text).find(words) != std::string::npos;
      },
      20000);
}

// Waits up to `ms` for the target file; true when it came.
bool TargetCame(DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!std::filesystem::exists(g_target) && ::GetTickCount() - start < ms) shelltest::PumpFor(200);
  return std::filesystem::exists(g_target);
}

// A calendar written by another installation (a key of its own), or
// crafted from the user's own calendar (its proof kept, the program
// changed), handed to the program on its command line or by a second start
// to the running copy: the alarm whose action runs cmd.exe falls due, yet
// nothing runs before the user's yes. The question names the calendar, its
// file, the event and its program and every other armed event (the box
// scrolls; No is the default). Armed, the program runs once for the
// alarm: a restart with the alarm still unacknowledged runs nothing.
TEST(ReminderProgram, AForeignCalendarsProgramRunsOnlyAfterYes) {
  struct Case {
    const char* what;
    const char* writersKey;
    bool crafted;     // the user's own proven event with another program
    bool handedOver;  // to a running copy by a second start, else on the first start's command line
    int answer;
    bool runs;
  } cases[] = {{"crafted", kUsersKey, true, false, IDCANCEL, false},
               {"no", "another computer's key", false, false, IDCANCEL, false},
               {"yes", "another computer's key", false, true, IDOK, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SoonAlarm alarm;
    g_target = (std::filesystem::temp_directory_path() / ("almacora_pwned_" + std::string(c.what) + ".txt")).string();
    std::filesystem::remove(g_target);
    g_Settings.InstallationSecret = c.writersKey;
    g_crafted = c.crafted;
    ASSERT_NO_FATAL_FAILURE(alarm.Write(
        [](CCalEvent* e) {
          e->name = "Run it";
          e->runOn = 1;
          e->runFile = "cmd.exe";
          e->runParameters = g_crafted ? "/c echo mine" : "/c echo armed> " + g_target;
          e->armRequested = 1;
        },
        14, c.crafted ? +[](CCalEvent* e) { e->runParameters = "/c echo armed> " + g_target; } : nullptr));
    g_Settings.InstallationSecret = kUsersKey;
    ResetProfile({{"AlarmSoundEnabled", 0}, {"WarnHiding", 0}}, {{"InstallationSecret", kUsersKey}});
    BoxAnswerer add("Almacora Calendar", IDOK);  // the Add-or-Preview question
    Program p, second;
    ASSERT_TRUE(p.Start(c.handedOver ? "" : "\"" + alarm.Path() + "\""));
    if (c.handedOver) {
      ASSERT_NE(nullptr, p.WaitForWindow());
      ASSERT_TRUE(second.Start("\"" + alarm.Path() + "\""));
    }
    HWND box = WaitForBox(p.Pid(), "another computer");
    ASSERT_NE(nullptr, box) << "no question about the calendar's actions";
    char text[4096] = "";
    ::GetDlgItemTextA(box, IDC_ARM_ACTIONS_TEXT, text, sizeof text);
    const std::string q = text;
    EXPECT_NE(std::string::npos, q.find("\"Run it\" runs: cmd.exe /c echo armed> " + g_target)) << q;
    EXPECT_NE(std::string::npos, q.find("\"Payload 14\" runs: payload.exe")) << q;
    EXPECT_NE(std::string::npos, q.find("\"alarm\" (" + alarm.Path() + ")")) << q;
    // The list is longer than the box: it scrolls down a page.
    HWND list = ::GetDlgItem(box, IDC_ARM_ACTIONS_TEXT);
    EXPECT_NE(0, ::GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    ::SendMessageA(list, EM_SCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(::SendMessageA(list, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    ::SendMessageA(list, EM_SCROLL, SB_PAGEUP, 0);
    // No has the focus: Enter keeps the actions off.
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &gui));
    EXPECT_EQ(IDCANCEL, ::GetDlgCtrlID(gui.hwndFocus));
    const wintest::Shot shot = shelltest::TakeShot(box, std::string("foreign_actions_question_") + c.what);
    ASSERT_GT(shot.width, 0);
    int dark = 0;  // the text drawn in the box
    for (COLORREF px : shot.pixels) dark += px == RGB(0, 0, 0);
    EXPECT_GT(dark, 100);
    const std::vector<uint8_t> before = ReadBytes(alarm.Path());
    ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(c.answer), 0);
    EXPECT_TRUE(add.Wait());
    HWND main = p.WaitForWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_NE(nullptr, alarm.WaitForReminder(p)) << "the alarm itself still falls due";
    // The worker runs an armed program at once; give it time.
    EXPECT_EQ(c.runs, TargetCame(6000));
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, p.WaitExit());
    if (c.handedOver) {
      EXPECT_EQ(0, second.WaitExit());
    }
    // No: the other machine's record stays as it was, the alarm's snooze
    // and listing included.
    if (!c.runs) {
      EXPECT_TRUE(ReadBytes(alarm.Path()) == before);
    }
    CCalendarFile file;
    CEventArray array;
    ASSERT_EQ(1, file.Open(&array, alarm.Path()));
    EXPECT_EQ(c.runs, actionproof::Proven(*array.at(0)));
    file.Close(&array);
    if (c.runs) {
      // The alarm fired but was never acknowledged: a restart lists it
      // again and runs nothing.
      std::filesystem::remove(g_target);
      Program again;
      ASSERT_TRUE(again.Start("\"" + alarm.Path() + "\""));
      HWND reminder = shelltest::WaitForWindowOf(
          again.Pid(), "",
          [](HWND h) {
            char title[64] = "";
            ::GetWindowTextA(h, title, sizeof title);
            return std::string(title).rfind("Alarm Reminders", 0) == 0;
          },
          20000);
      EXPECT_NE(nullptr, reminder);
      EXPECT_FALSE(TargetCame(5000)) << "the program ran again at the restart";
      HWND againMain = again.WaitForWindow();
      if (againMain) ::PostMessageA(againMain, WM_CLOSE, 0, 0);
      EXPECT_EQ(0, again.WaitExit());
    }
    std::filesystem::remove(g_target);
  }
}

}  // namespace
