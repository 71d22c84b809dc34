// The alarm worker: jobs built from events go out by SMTP to the peer, the
// run action starts a probe program, failures reach the log with one
// notice per batch, and the GUI thread never waits for a server.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "alarms/actions/alarm_log_file.h"
#include "alarms/actions/alarm_worker.h"
#include "model/events/action_proof.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/settings/program_settings.h"
#include "tests/alarms/actions/actions_fixture.h"

using actiontest::ReadAll;
using actiontest::TempFile;
using actiontest::WinPath;

namespace {

constexpr UINT kNotice = WM_USER + 3002;

class Worker : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = TempFile("alarm_worker_log.txt");
    alarms::SetAlarmLogPath(log_);
    window_ = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::string port = ReadAll(WinPath(std::string(std::getenv("ALMACORA_SMTP_PEER_DIR")) + "/port"));
    CProgramSettings& s = g_Settings;
    s.EmailType = 1;
    s.EmailServer = "127.0.0.1";
    s.EmailPort = std::atoi(port.c_str());
    s.EmailFromAddr = "worker@example.com";
    s.EmailTo = "";
    s.EmailSubject = "Alarm : <name>";
    s.EmailBody = "Notes\n<notes>";
    s.AlarmEmailEnabled = 0;
    s.AlarmRunEnabled = 0;
    s.RunAlarm = 1;
  }
  void TearDown() override { ::DestroyWindow(window_); }
  int Notices() {
    int n = 0;
    MSG msg;
    while (::PeekMessageA(&msg, window_, kNotice, kNotice, PM_REMOVE)) ++n;
    return n;
  }
  bool Wait() { return alarms::WaitForAlarmWorkers(20000); }
  std::string log_;
  HWND window_ = nullptr;
};

std::string PeerFile(const std::string& name) {
  return ReadAll(WinPath(std::string(std::getenv("ALMACORA_SMTP_PEER_DIR")) + "/mail/" + name));
}

TEST_F(Worker, EventMailGoesOutWithNameInSubjectAndInjectionStopped) {
  CCalEvent e;
  e.name = "Dentist";
  e.emailOn = 1;
  e.emailTo = "bob@example.com";
  e.notes = "line one\n.\nlast";
  CCalEvent hostile;
  hostile.name = "D\r\nBcc: x@example.org";
  hostile.emailOn = 1;
  hostile.emailTo = "carol@example.com";
  hostile.emailBody = "x";
  g_Settings.EmailFromAddr = "worker1@example.com";
  actionproof::Prove(&e);
  ASSERT_TRUE(alarms::StartAlarmActions({COccurrenceRef(&e, e.start)}, window_, kNotice));
  ASSERT_TRUE(Wait());
  std::string msg = PeerFile("worker1@example.com.msg");
  EXPECT_NE(msg.find("Subject: Alarm : Dentist\r\n"), std::string::npos) << msg;
  EXPECT_NE(PeerFile("worker1@example.com.body").find("line one\r\n.\r\nlast"), std::string::npos);

  g_Settings.EmailFromAddr = "worker2@example.com";
  actionproof::Prove(&hostile);
  ASSERT_TRUE(alarms::StartAlarmActions({COccurrenceRef(&hostile, hostile.start)}, window_, kNotice));
  ASSERT_TRUE(Wait());
  EXPECT_EQ(PeerFile("worker2@example.com.env"), "FROM worker2@example.com\nRCPT carol@example.com\n");
  EXPECT_EQ(Notices(), 0);
  EXPECT_EQ(ReadAll(log_), "");
}

TEST_F(Worker, TwoFailuresTwoEntriesOneNotice) {
  AlarmJob noSender;
  noSender.eventName = "Dentist";
  noSender.sendEmail = true;
  noSender.recipients = "bob@example.com";
  noSender.transport.type = 1;
  AlarmJob closed = noSender;
  closed.transport.fromAddr = "x@example.com";
  closed.transport.server = "127.0.0.1";
  closed.transport.port = 1;
  ASSERT_TRUE(alarms::StartAlarmJobs({noSender, closed}, window_, kNotice));
  ASSERT_TRUE(Wait());
  std::string log = ReadAll(log_);
  EXPECT_NE(log.find("Action: Send Email\r\nEvent: Dentist\r\nDate/Time: "), std::string::npos);
  EXPECT_NE(log.find("Error Message: Couldn't send message!\nEmail address is empty.\r\n\r\n"), std::string::npos);
  EXPECT_NE(log.find("Error Message: Couldn't connect to server!, Error:10061\r\n\r\n"), std::string::npos);
  EXPECT_EQ(Notices(), 1);
}

TEST_F(Worker, RunsProgramWithArgumentsAndShowState) {
  std::string out = TempFile("alarm_run_probe.txt");
  ::SetEnvironmentVariableA("ALMACORA_RUN_PROBE_OUT", out.c_str());
  CCalEvent e;
  e.name = "Probe";
  e.runOn = 1;
  e.runFile = WinPath(ALMACORA_RUN_PROBE);
  e.runParameters = "a b";
  e.runWindowState = 2;
  actionproof::Prove(&e);
  ASSERT_TRUE(alarms::StartAlarmActions({COccurrenceRef(&e, e.start)}, window_, kNotice));
  ASSERT_TRUE(Wait());
  for (int i = 0; i < 100 && ReadAll(out).empty(); ++i) ::Sleep(100);
  EXPECT_EQ(ReadAll(out), "a b|2");
  EXPECT_EQ(Notices(), 0);

  e.runFile = "no_such_program_here.exe";
  actionproof::Prove(&e);
  ASSERT_TRUE(alarms::StartAlarmActions({COccurrenceRef(&e, e.start)}, window_, kNotice));
  ASSERT_TRUE(Wait());
  std::string log = ReadAll(log_);
  EXPECT_NE(log.find("Action: Open File / Program\r\nEvent: Probe\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Error Message: The specified file was not found.\r\n"), std::string::npos) << log;
  EXPECT_EQ(Notices(), 1);
  e.runFile = "\\\\host\\share\\probe.exe";
  actionproof::Prove(&e);
  ASSERT_TRUE(alarms::StartAlarmActions({COccurrenceRef(&e, e.start)}, window_, kNotice));
  ASSERT_TRUE(Wait());
  EXPECT_NE(ReadAll(log_).find("The program \"\\\\host\\share\\probe.exe\" is on another computer and was not opened."),
            std::string::npos);
}

// A mail job to a loopback server that takes connections and never
// answers; the listener is the caller's to close.
AlarmJob SilentServerJob(SOCKET* listener) {
  WSADATA wsa;
  ::WSAStartup(MAKEWORD(2, 2), &wsa);
  *listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(::bind(*listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_EQ(::listen(*listener, 4), 0);
  int len = sizeof addr;
  ::getsockname(*listener, reinterpret_cast<sockaddr*>(&addr), &len);
  AlarmJob job;
  job.eventName = "Silent";
  job.sendEmail = true;
  job.recipients = "bob@example.com";
  job.transport.fromAddr = "s@example.com";
  job.transport.server = "127.0.0.1";
  job.transport.port = ntohs(addr.sin_port);
  return job;
}

TEST_F(Worker, SilentServerNeverHoldsTheWindow) {
  SOCKET listener = INVALID_SOCKET;
  const AlarmJob job = SilentServerJob(&listener);
  DWORD start = ::GetTickCount();
  ASSERT_TRUE(alarms::StartAlarmJobs({job}, window_, kNotice));
  EXPECT_LT(::GetTickCount() - start, 1000u);
  for (int i = 0; i < 3; ++i) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(::SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result));
    ::Sleep(500);
  }
  EXPECT_EQ(alarms::RunningAlarmWorkers(), 1);
  // End the worker's wait before the test program exits: a worker left
  // blocked would outlive the statics it reports through.
  SOCKET accepted = ::accept(listener, nullptr, nullptr);
  if (accepted != INVALID_SOCKET) ::closesocket(accepted);
  ::closesocket(listener);
  EXPECT_TRUE(Wait());
}

// Last in this program: the exit's stop is for good. A Test e-mail waiting
// on a silent server ends at once when the program ends, and its window
// gets no result.
TEST_F(Worker, ExitStopsATestMailWaitingOnASilentServer) {
  SOCKET listener = INVALID_SOCKET;
  const AlarmJob job = SilentServerJob(&listener);
  auto test = std::make_shared<alarms::CAlarmMailTest>();
  ASSERT_TRUE(alarms::StartAlarmMailTest(job, test, window_, kNotice));
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(listener, &ready);
  timeval tenSeconds{10, 0};
  ASSERT_EQ(::select(0, &ready, nullptr, nullptr, &tenSeconds), 1) << "the test never reached the server";
  const DWORD start = ::GetTickCount();
  EXPECT_TRUE(alarms::StopAlarmWorkers(5000));
  EXPECT_LT(::GetTickCount() - start, 1000u);
  EXPECT_EQ(Notices(), 0);
  EXPECT_FALSE(alarms::StartAlarmMailTest(job, test, window_, kNotice));
  ::closesocket(listener);
}

}  // namespace
