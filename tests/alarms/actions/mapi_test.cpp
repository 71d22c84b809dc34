// The Simple MAPI sender against the stand-in MAPI32.DLL: the calls the
// worker makes (no window, no logon UI, on the worker's thread), the
// profile logon's fall-back, and a missing library.
#include <gtest/gtest.h>

#include <string>

#include "alarms/actions/alarm_log_file.h"
#include "alarms/actions/alarm_worker.h"
#include "alarms/actions/mapi_mailer.h"
#include "tests/alarms/actions/actions_fixture.h"

using actiontest::ReadAll;
using actiontest::TempFile;
using actiontest::WinPath;

namespace {

class Mapi : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = TempFile("fake_mapi_log.txt");
    ::SetEnvironmentVariableA("FAKE_MAPI_LOG", log_.c_str());
    ::SetEnvironmentVariableA("FAKE_MAPI_RESULTS", "");
    alarms::CMapiMailer::SetLibraryFolder(WinPath(ALMACORA_FAKE_MAPI_DIR));
    alarms::SetAlarmLogPath(TempFile("mapi_alarm_log.txt"));
  }
  std::string log_;
};

TEST_F(Mapi, WorkerSharedLogonSendsWithoutWindow) {
  AlarmJob job;
  job.eventName = "Dentist";
  job.sendEmail = true;
  job.recipients = "a@x.org , b@y.org;; c@z.org;";
  job.subject = "Alarm : Dentist";
  job.message = "note";
  job.transport.type = 0;
  job.transport.mapiShared = 1;
  ASSERT_TRUE(alarms::StartAlarmJobs({job}, nullptr, 0));
  ASSERT_TRUE(alarms::WaitForAlarmWorkers(10000));
  std::string log = ReadAll(log_);
  size_t tid = log.find("thread=");
  ASSERT_NE(tid, std::string::npos) << log;
  std::string thread = log.substr(tid, log.find('\n', tid) - tid);
  EXPECT_NE(thread, "thread=" + std::to_string(::GetCurrentThreadId()));
  EXPECT_EQ(log, "MAPILogon flags=0 window=none profile=(null) " + thread + "\n" +
                     "MAPISendMail session=77 flags=0 window=none recipients=1:a@x.org,1:b@y.org,1:c@z.org, "
                     "subject=Alarm : Dentist note=note " + thread + "\n" +
                     "MAPILogoff session=77 " + thread + "\n");
}

TEST_F(Mapi, ProfileRefusedRetriesSharedAndErrorsAreReported) {
  ::SetEnvironmentVariableA("FAKE_MAPI_RESULTS", "logon=2,0;send=0");
  EXPECT_EQ(alarms::SendMapiMail(false, "Work", "a@x.org", "", "", false), "");
  std::string log = ReadAll(log_);
  EXPECT_NE(log.find("MAPILogon flags=2 window=none profile=Work"), std::string::npos) << log;
  EXPECT_NE(log.find("MAPILogon flags=0 window=none profile=(null)"), std::string::npos) << log;
  EXPECT_NE(log.find("subject=(null) note=(null)"), std::string::npos) << log;

  ::SetEnvironmentVariableA("FAKE_MAPI_RESULTS", "logon=1");
  EXPECT_EQ(alarms::SendMapiMail(false, "Work", "a@x.org", "s", "m", false), "Couldn't login to MAPI!, Error:1");
  ::SetEnvironmentVariableA("FAKE_MAPI_RESULTS", "logon=0;send=3");
  EXPECT_EQ(alarms::SendMapiMail(true, "", "a@x.org", "s", "m", false), "Couldn't send message!\nError:3");
  EXPECT_EQ(alarms::SendMapiMail(true, "", "", "s", "m", false), "Missing recipient address");

  alarms::CMapiMailer::SetLibraryFolder(WinPath("/no/such/folder"));
  EXPECT_EQ(alarms::SendMapiMail(true, "", "a@x.org", "s", "m", false), "Couldn't login to MAPI!, Error:2");
}

}  // namespace
