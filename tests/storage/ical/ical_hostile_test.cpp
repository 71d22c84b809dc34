// Hostile text: no action the user did not choose, no crash, no hang, and
// no event the calendar record could not hold.
#include <gtest/gtest.h>

#include <string>

#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

const std::string kHead = "UID:h1\r\nSUMMARY:Hostile\r\nDTSTART:20240105T090000\r\n";

std::string Alarm(const std::string& lines) { return "BEGIN:VALARM\r\n" + lines + "END:VALARM\r\n"; }

class IcalHostile : public ::testing::Test {
 protected:
  void SetUp() override { UseDefaultSettings(); }
  CCalEvent* Import(const std::string& text, bool refresh = false) {
    CICalConverter c(&prompts);
    c.ImportICalString(text, target, refresh);
    log = c.GetLog();
    return target.FindEventByUid("h1");
  }
  std::string log;
  FakeTarget target;
  ScriptedPrompts prompts;
};

TEST_F(IcalHostile, EmailArrivesSwitchedOffAndTheUsersSwitchStays) {
  const std::string text = Calendar(Event(
      kHead + Alarm("ACTION:EMAIL\r\nTRIGGER:-PT5M\r\nATTENDEE:MAILTO:x@evil.example\r\nATTENDEE:mailto:y@evil.example\r\n"
                    "SUMMARY:Subject\r\nDESCRIPTION:Body\r\n") +
      Alarm("ACTION:PROCEDURE\r\nTRIGGER:-PT5M\r\nATTACH:C:\\evil.exe\r\n")));
  for (bool refresh : {false, true}) {
    target.events.clear();
    CCalEvent* e = Import(text, refresh);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->emailOn, 0);
    EXPECT_EQ(e->emailTo, "x@evil.example; y@evil.example");
    EXPECT_EQ(e->emailSubject, "Subject");
    EXPECT_EQ(e->runOn, -2);
    EXPECT_EQ(e->runFile, "");
  }
  target.events[0]->emailOn = 1;
  EXPECT_EQ(Import(text, true)->emailOn, 1);
}

TEST_F(IcalHostile, SoundFilesElsewhereAreDropped) {
  struct Case {
    const char* attach;
    const char* kept;
  } cases[] = {{"\\\\server\\share\\a.wav", ""}, {"//server/a.wav", ""}, {"http://evil.example/a.wav", ""},
               {"file:///C:/a.wav", ""},         {"C:\\sounds\\a.wav", "C:\\sounds\\a.wav"}, {"ding.wav", "ding.wav"},
               {"\\??\\UNC\\host\\share\\b.wav", ""}, {"\\\\?\\UNC\\host\\s\\b.wav", ""}, {"/?\?/UNC/host/s/b.wav", ""},
               {"\\\\.\\pipe\\x", ""},         {"\\/host/s/b.wav", ""},  {"C:\\x\\con.wav", ""},
               {" \\\\host\\s\\b.wav", ""},     {"sounds\\..\\ding.wav", "sounds\\..\\ding.wav"}};
  for (const Case& c : cases) {
    target.events.clear();
    CCalEvent* e = Import(Calendar(Event(kHead + Alarm("ACTION:AUDIO\r\nTRIGGER:-PT5M\r\nATTACH:" + std::string(c.attach) + "\r\n"))));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->alarmSoundFile, c.kept) << c.attach;
    EXPECT_EQ(log.find("was not opened") != std::string::npos, *c.kept == 0) << c.attach << log;
  }
}

TEST_F(IcalHostile, HugeAndBrokenTextEndsQuicklyWithStorableEvents) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "BEGIN:VEVENT\r\n";
  for (int i = 0; i < 100000; ++i) deep += "END:VEVENT\r\n";
  std::string exdates;
  for (int i = 0; i < 100000; ++i) exdates += "EXDATE:2024" + std::to_string(1000 + i % 1200).substr(1) + "01T090000\r\n";
  const std::string hugeLine = "DESCRIPTION:" + std::string(50u << 20, 'x') + "\r\n";
  struct Case {
    const char* what;
    std::string text;
    bool imported;
  } cases[] = {
      {"deep nesting", Calendar(Event(kHead) + deep), true},
      {"50 MB line", Calendar(Event(kHead + hugeLine)), true},
      {"100,000 EXDATEs", Calendar(Event(kHead + "RRULE:FREQ=DAILY\r\n" + exdates)), true},
      {"numbers past their fields",
       Calendar(Event(kHead + "SEQUENCE:-5\r\nRRULE:FREQ=MONTHLY;INTERVAL=99999;BYMONTHDAY=99\r\n"
                              "X-AK-RECUR-OFFSET:99999999\r\n" +
                      Alarm("ACTION:AUDIO\r\nTRIGGER:-P99999999W\r\nREPEAT:2147483647\r\n")),
                "-//Corvelle Software//Almacora 5.0//EN"),
       true},
      {"runaway zone",
       Calendar("BEGIN:VTIMEZONE\r\nTZID:Z\r\nBEGIN:STANDARD\r\nDTSTART:16010101T000000\r\nTZOFFSETFROM:+0100\r\n"
                "TZOFFSETTO:+0000\r\nRRULE:FREQ=MINUTELY\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n" +
                Event("UID:h1\r\nSUMMARY:Far\r\nDTSTART;TZID=Z:99991231T090000\r\n")),
       true},
      {"bad dates", Calendar(Event("UID:h1\r\nSUMMARY:Bad\r\nDTSTART:20241345T250000\r\n") +
                             Event("UID:h1\r\nSUMMARY:Bad\r\nDTSTART:00010101T000000\r\n")),
       false},
  };
  for (Case& c : cases) {
    target.events.clear();
    CCalEvent* e = Import(c.text);
    EXPECT_EQ(e != nullptr, c.imported) << c.what;
    if (!e) continue;
    CFieldBuffer b;
    EXPECT_TRUE(EncodeEventRecord(*e, kEventRecordLive, &b)) << c.what;
    EXPECT_LE(e->recurrence.excludedDates.GetCount(), 10000u) << c.what;
  }
  // The empty VEVENT of the deep nesting and the two bad dates.
  ASSERT_EQ(prompts.asked.size(), 3u);
  EXPECT_EQ(prompts.asked[0], "Event: Unknown\n\nMissing Start Date.  Event skipped.");
  EXPECT_EQ(prompts.asked[2], "Event: Bad\n\nThe start date lies outside the years 100 to 9999 that Almacora keeps.  Event skipped.");
  // A BEGIN line padded past 1 MiB takes its event with it: said in the log.
  Import(Calendar(Event(kHead) + "BEGIN:VEVENT" + std::string(2u << 20, ' ') +
                  "\r\nUID:h2\r\nSUMMARY:Lost\r\nDTSTART:20240105T090000\r\nEND:VEVENT\r\n"));
  EXPECT_EQ(target.FindEventByUid("h2"), nullptr);
  EXPECT_NE(log.find("1 line(s) longer than 1 MB were left out"), std::string::npos) << log;
}

}  // namespace
