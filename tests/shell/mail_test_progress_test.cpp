// The e-mail page's Test against a mail server that takes the connection
// and never answers, with the main window running in this process: while
// the "Sending Email" window waits, the main window answers and its clock
// keeps being written; Cancel ends the test at once, with no result box.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>

#include <atomic>
#include <string>
#include <thread>

#include "alarms/actions/actions_sheet.h"
#include "alarms/actions/alarm_worker.h"
#include "res/resource.h"
#include "tests/shell/main_window_start.h"
#include "tests/support/win/dialog_driver.h"

namespace {

// A listening socket that never accepts: connects succeed, no byte comes.
struct SilentServer {
  SOCKET listener = INVALID_SOCKET;
  int port = 0;
  SilentServer() {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener, 4);
    int len = sizeof addr;
    if (::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) == 0) port = ntohs(addr.sin_port);
  }
  bool Connected() const {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval now{0, 0};
    return ::select(0, &ready, nullptr, nullptr, &now) == 1;
  }
  ~SilentServer() {
    ::closesocket(listener);
    ::WSACleanup();
  }
};

}  // namespace

TEST(MailTestProgress, ASilentServerStopsNeitherTheWindowNorItsCancel) {
  SilentServer server;
  ASSERT_NE(server.port, 0);
  auto store = shelltest::QuietSettings("mail_test_progress");
  std::unique_ptr<CAlmacoraApp> app;
  CMainFrame* frame = shelltest::StartShownMainWindow(app);
  ASSERT_NE(frame, nullptr);
  g_Settings.EmailType = 1;
  g_Settings.EmailServer = "127.0.0.1";
  g_Settings.EmailPort = server.port;
  g_Settings.EmailFromAddr = "tester@example.com";
  const HWND main = frame->GetSafeHwnd();
  framework::CStatusBar& status = frame->GetStatusBar();
  const int clockPane = status.CommandToIndex(ID_INDICATOR_TIME);

  bool resultBeforeCancel = false, resultAfterCancel = false, progressLeft = true;
  std::atomic<bool> answered{false};
  std::thread probe;
  std::string clock;
  wintest::Shot shot;
  DWORD blanked = 0, cancelled = 0;
  std::atomic<DWORD> cancelTook{0};
  auto sheetCancel = [] { ::PostMessageA(wintest::PropertySheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0); };
  wintest::Drive(
      {[&] {
         HWND s = wintest::PropertySheet();
         if (!s) return false;
         ::SendMessageA(s, PSM_SETCURSEL, 1, 0);
         HWND page = PropSheet_GetCurrentPageHwnd(s);
         ::SetDlgItemTextA(page, IDC_AE_TO, "bob@example.com");
         wintest::Click(page, IDC_AE_TEST);
         return true;
       },
       [&] {
         // Under a send on this thread, no step runs until its result box.
         if (HWND box = wintest::FindDialog("Email Test")) {
           resultBeforeCancel = true;
           ::PostMessageA(box, WM_COMMAND, IDOK, 0);
           sheetCancel();
           wintest::Drive({});
           return false;
         }
         HWND progress = wintest::FindDialog("Sending Email");
         if (!progress || !server.Connected()) return false;
         shot = wintest::TakeShot(progress, "mail_test_progress");
         status.SetPaneText(clockPane, "");
         blanked = ::GetTickCount();
         probe = std::thread([&] {
           DWORD_PTR r = 0;
           answered = ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &r) != 0;
         });
         return true;
       },
       [&] {
         if (::GetTickCount() - blanked < 1500) return false;
         clock = status.GetPaneText(clockPane);
         if (probe.joinable()) probe.join();
         // Timed from a thread of its own: Wine's X11 driver may hold this
         // one for 2 s while it hides the window.
         const DWORD clicked = ::GetTickCount();
         probe = std::thread([&, clicked] {
           while (alarms::RunningAlarmWorkers() > 0 && ::GetTickCount() - clicked < 5000) ::Sleep(20);
           cancelTook = ::GetTickCount() - clicked;
         });
         wintest::Click(wintest::FindDialog("Sending Email"), IDCANCEL);
         cancelled = clicked;
         return true;
       },
       [&] {
         if (::GetTickCount() - cancelled < 3000) return false;  // a result box would be up by now
         progressLeft = wintest::FindDialog("Sending Email") != nullptr;
         resultAfterCancel = wintest::FindDialog("Email Test") != nullptr;
         sheetCancel();
         return true;
       }});
  alarms::CActionsPropertySheet sheet("Alarm Actions", main, 0);
  sheet.soundPage.length = 5;  // in range, so the sound page lets the e-mail page open
  sheet.emailPage.enabled = 1;
  sheet.DoModal();
  if (probe.joinable()) probe.join();
  EXPECT_FALSE(resultBeforeCancel) << "the send held the window until it failed";
  EXPECT_TRUE(answered) << "the main window did not answer within 1 s";
  EXPECT_FALSE(clock.empty()) << "the clock pane stopped";
  EXPECT_LE(cancelTook.load(), 1000u) << "the send went on after Cancel";
  EXPECT_FALSE(progressLeft);
  EXPECT_FALSE(resultAfterCancel);
  // Drawn: the button face with dark text on it.
  ASSERT_GT(shot.width, 100);
  int face = 0, dark = 0;
  for (COLORREF p : shot.pixels) {
    face += p == ::GetSysColor(COLOR_BTNFACE);
    dark += GetRValue(p) < 0x40 && GetGValue(p) < 0x40 && GetBValue(p) < 0x40;
  }
  EXPECT_GT(face, static_cast<int>(shot.pixels.size()) / 2);
  EXPECT_GT(dark, 50);
  shelltest::EndMainWindow(frame, app, store);
}
