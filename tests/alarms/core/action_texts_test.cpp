// Alarm action texts and jobs: tag replacement, recipient splitting, the
// run result texts, the log entry, the job built from an event, and the
// batch runner's order and logging.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "alarms/core/action_log.h"
#include "alarms/core/action_recipients.h"
#include "alarms/core/action_results.h"
#include "alarms/core/action_tags.h"
#include "alarms/core/job_runner.h"
#include "alarms/core/job_snapshot.h"
#include "model/events/action_proof.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"

namespace {

TEST(AlarmTags, OnePassExactCase) {
  EventTextFields f;
  f.name = "Dentist";
  f.type = "Work";
  f.startDate = "01/03/2005";
  const struct {
    std::string name, text, want;
  } cases[] = {
      {"Dentist", "Alarm : <name>", "Alarm : Dentist"},
      {"<type>", "Alarm : <name>", "Alarm : <type>"},  // a replacement is not searched again
      {"Dentist", "<Name> <name", "<Name> <name"},
      {"Dentist", "<name><type>/<start date>/<notes>", "DentistWork/01/03/2005/N"},
      {"Dentist", "", ""},
  };
  for (const auto& c : cases) {
    f.name = c.name;
    EXPECT_EQ(ReplaceAlarmTags(c.text, f, "N"), c.want) << c.text;
  }
}

TEST(AlarmRecipients, SplitsAndTrims) {
  EXPECT_EQ(SplitAlarmRecipients("a@x.org , b@y.org;; c@z.org;"),
            (std::vector<std::string>{"a@x.org", "b@y.org", "c@z.org"}));
  EXPECT_TRUE(SplitAlarmRecipients(" ;, ").empty());
  EXPECT_EQ(SplitAlarmRecipients("one"), std::vector<std::string>{"one"});
}

TEST(AlarmRunResult, TableUnknownAndSuccess) {
  EXPECT_EQ(RunResultText(2), "The specified file was not found.");
  EXPECT_EQ(RunResultText(0), "The operating system is out of memory or resources.");
  EXPECT_EQ(RunResultText(1), "Could not open the file (error 1).");
  EXPECT_EQ(RunResultText(15), "Could not open the file (error 15).");
  EXPECT_EQ(RunResultText(33), "");
}

TEST(AlarmLog, EntryFormatAndAppend) {
  EXPECT_EQ(FormatAlarmLogEntry("Send Email", "Dentist", "09/12/2026", "15:00:00", "boom"),
            "Action: Send Email\r\nEvent: Dentist\r\nDate/Time: 09/12/2026 15:00:00\r\nError Message: boom\r\n\r\n");
  const std::string path = testing::TempDir() + "alarm_log_append.txt";
  std::remove(path.c_str());
  EXPECT_EQ(ReadAlarmLog(path), "");
  ASSERT_TRUE(AppendAlarmLog(path, "one\r\n"));
  ASSERT_TRUE(AppendAlarmLog(path, "two\r\n"));
  EXPECT_EQ(ReadAlarmLog(path), "one\r\ntwo\r\n");
  EXPECT_FALSE(AppendAlarmLog(testing::TempDir() + "no/such/folder/log.txt", "x"));
  std::remove(path.c_str());
}

class SettingsScope {
 public:
  SettingsScope() {
    CProgramSettings& s = g_Settings;
    s.AlarmEmailEnabled = 0;
    s.AlarmRunEnabled = 0;
    s.RunAlarm = 1;
    s.RunSnooze = 0;
    s.EmailTo = "def@x.org";
    s.EmailSubject = "Alarm : <name>";
    s.EmailBody = "<notes>";
    s.RunFilename = "prog.exe";
    s.RunParms = "a b";
    s.RunState = 1;
    s.EmailType = 1;
    s.EmailFromAddr = "me@x.org";
  }
};

TEST(AlarmJobBuild, SnoozeRulesDefaultsAndShowState) {
  SettingsScope scope;
  CCalEvent e;
  e.name = "Dentist";
  e.emailOn = 1;
  e.runOn = 1;
  e.runWindowState = 7;  // hostile: runs as normal
  actionproof::Prove(&e);
  CDateTime when(1, 3, 2005);
  COccurrenceRef ref(&e, when);
  AlarmJob job = BuildAlarmJob(ref, g_Settings);
  EXPECT_TRUE(job.sendEmail);
  EXPECT_EQ(job.recipients, "def@x.org");
  EXPECT_EQ(job.subject, "Alarm : Dentist");
  EXPECT_TRUE(job.runFile);
  EXPECT_EQ(job.file, "prog.exe");
  EXPECT_EQ(job.arguments, "a b");
  EXPECT_EQ(job.showState, 1);
  EXPECT_EQ(job.transport.fromAddr, "me@x.org");

  e.occurrenceStates[when] = COccurrenceState(0, when);  // snoozed
  job = BuildAlarmJob(ref, g_Settings);
  EXPECT_TRUE(job.snoozed);
  EXPECT_FALSE(job.sendEmail);
  EXPECT_FALSE(job.runFile);
  e.runAtSnooze = 1;
  e.runWindowState = 2;
  actionproof::Prove(&e);
  job = BuildAlarmJob(ref, g_Settings);
  EXPECT_FALSE(job.sendEmail);
  EXPECT_TRUE(job.runFile);
  EXPECT_EQ(job.showState, 2);

  EXPECT_FALSE(BuildAlarmJob(COccurrenceRef(), g_Settings).sendEmail);
}

// Only actions proven here act, and each alarm (first or snoozed) once,
// however often the program starts again.
TEST(AlarmJobBuild, OnlyProvenActionsActOncePerAlarm) {
  SettingsScope scope;
  const CDateTime when(1, 3, 2005), snooze(2, 3, 2005);
  struct Case {
    const char* what;
    void (*change)(CCalEvent* e, const CDateTime& when, const CDateTime& snooze);
    bool acts;
  } cases[] = {
      {"proven", [](CCalEvent*, const CDateTime&, const CDateTime&) {}, true},
      {"no proof", [](CCalEvent* e, const CDateTime&, const CDateTime&) { e->armedBy.clear(); }, false},
      {"recipient changed", [](CCalEvent* e, const CDateTime&, const CDateTime&) { e->emailTo = "a@evil.org"; },
       false},
      {"program changed", [](CCalEvent* e, const CDateTime&, const CDateTime&) { e->runFile = "payload.exe"; }, false},
      {"proof of another UID", [](CCalEvent* e, const CDateTime&, const CDateTime&) { e->uid = "other"; }, false},
      {"acted at this alarm", [](CCalEvent* e, const CDateTime& w, const CDateTime&) { RecordActed({e, w}); }, false},
      {"acted, now snoozed", [](CCalEvent* e, const CDateTime& w, const CDateTime& s) {
         RecordActed({e, w});
         e->runAtSnooze = 1;
         actionproof::Prove(e);
         e->occurrenceStates[w] = COccurrenceState(0, s);
       }, true},
      {"acted at this snooze", [](CCalEvent* e, const CDateTime& w, const CDateTime& s) {
         e->runAtSnooze = 1;
         actionproof::Prove(e);
         e->occurrenceStates[w] = COccurrenceState(0, s);
         RecordActed({e, w});
       }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CCalEvent e;
    e.uid = "mine";
    e.runOn = 1;
    e.emailOn = kInheritSetting;
    e.emailTo = "me@x.org";
    g_Settings.AlarmEmailEnabled = 1;
    actionproof::Prove(&e);
    c.change(&e, when, snooze);
    const AlarmJob job = BuildAlarmJob(COccurrenceRef(&e, when), g_Settings);
    EXPECT_EQ(c.acts, job.runFile);
    EXPECT_EQ(c.acts && !job.snoozed, job.sendEmail);
  }
}

class ScriptedActions : public IAlarmJobActions {
 public:
  std::string mailError, runError;
  std::vector<std::string> calls;
  std::string SendEmail(const AlarmJob& j) override {
    calls.push_back("mail " + j.eventName);
    return mailError;
  }
  std::string RunFile(const AlarmJob& j) override {
    calls.push_back("run " + j.eventName);
    return runError;
  }
  void LogError(const std::string& error, const std::string& action, const std::string& name) override {
    calls.push_back("log " + action + "/" + name + "/" + error);
  }
};

TEST(AlarmJobRunner, EveryFailureLoggedRestStillRuns) {
  AlarmJob a;
  a.eventName = "A";
  a.sendEmail = a.runFile = true;
  AlarmJob b;
  b.eventName = "B";
  b.runFile = true;
  ScriptedActions ok;
  EXPECT_FALSE(RunAlarmJobs({a, b}, ok));
  EXPECT_EQ(ok.calls, (std::vector<std::string>{"mail A", "run A", "run B"}));
  ScriptedActions bad;
  bad.mailError = "m";
  bad.runError = "r";
  EXPECT_TRUE(RunAlarmJobs({a, b}, bad));
  EXPECT_EQ(bad.calls, (std::vector<std::string>{"mail A", "log Send Email/A/m", "run A",
                                                 "log Open File / Program/A/r", "run B",
                                                 "log Open File / Program/B/r"}));
}

}  // namespace
