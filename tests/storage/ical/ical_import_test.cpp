// Import of other producers' texts, updates by UID, questions and refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

const char kNewYorkZone[] =
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nDTSTART:20070311T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nTZNAME:EDT\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nDTSTART:20071104T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nTZNAME:EST\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

const std::string kHead = "UID:u1\r\nSUMMARY:Meeting\r\nDTSTAMP:20240101T000000Z\r\n";

class IcalImport : public ::testing::Test {
 protected:
  void SetUp() override { UseDefaultSettings(); }
  // Imports the text and returns the first event (null when none).
  CCalEvent* Import(const std::string& text, bool refresh = false) {
    CICalConverter c(&prompts);
    c.ImportICalString(text, target, refresh);
    added = c.GetAddedCount();
    updated = c.GetUpdatedCount();
    return target.events.empty() ? nullptr : target.events[0].get();
  }
  FakeTarget target;
  ScriptedPrompts prompts;
  int added = 0, updated = 0;
};

CDateTime At(int day, int month, int year, int hour, int minute = 0, int zone = CDateTime::kFloating) {
  CDateTime d(day, month, year, zone);
  d.SetTime(hour, minute, 0);
  return d;
}

TEST_F(IcalImport, OtherProducers) {
  struct Case {
    const char* what;
    std::string text;
    std::function<void(const CCalEvent&)> check;
  } cases[] = {
      {"zone from VTIMEZONE", Calendar(kNewYorkZone + Event(kHead + "DTSTART;TZID=America/New_York:20240115T090000\r\n")),
       [](const CCalEvent& e) {
         EXPECT_TRUE(e.start.IsIdenticalTo([] {
           CDateTime d = At(15, 1, 2024, 14, 0, CDateTime::kNamedZone);
           d.SetTzid("America/New_York");
           return d;
         }()));
       }},
      {"unknown zone stays floating", Calendar(Event(kHead + "DTSTART;TZID=Mars/Olympus:20240115T090000\r\n")),
       [](const CCalEvent& e) { EXPECT_TRUE(e.start.IsIdenticalTo(At(15, 1, 2024, 9))); }},
      {"zero trigger", Calendar(Event(kHead + "DTSTART:20240115T090000\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                                              "TRIGGER:PT0S\r\nEND:VALARM\r\n")),
       [](const CCalEvent& e) {
         EXPECT_EQ(e.alarmOn, 1);
         EXPECT_EQ(e.leadTime.ClockSeconds(), 0);
       }},
      {"one all-day day", Calendar(Event(kHead + "DTSTART:20240105\r\nDTEND;VALUE=DATE:20240106\r\n")),
       [](const CCalEvent& e) {
         EXPECT_EQ(e.allDay, 1);
         EXPECT_EQ(e.showEnd, 1);
         EXPECT_TRUE(e.end.IsIdenticalTo(CDateTime(5, 1, 2024)));
       }},
      {"older all-day end", Calendar(Event(kHead + "DTSTART;VALUE=DATE:20240105\r\nDTEND:20240105T235900\r\n")),
       [](const CCalEvent& e) { EXPECT_TRUE(e.end.IsIdenticalTo(At(5, 1, 2024, 23, 59))); }},
      {"duration", Calendar(Event(kHead + "DTSTART:20240105T090000\r\nDURATION:PT1H\r\n")),
       [](const CCalEvent& e) { EXPECT_TRUE(e.showEnd && e.end.IsIdenticalTo(At(5, 1, 2024, 10))); }},
      {"standard override", Calendar(Event(kHead + "DTSTART:20240105T090000\r\nRRULE:FREQ=WEEKLY\r\n") +
                                     Event(kHead + "RECURRENCE-ID:20240112T090000\r\nDTSTART:20240112T150000\r\n"
                                                   "DTEND:20240112T160000\r\n")),
       [](const CCalEvent& e) {
         const COccurrenceOverride* o = e.occurrenceOverrides.GetAssocAt(At(12, 1, 2024, 9));
         ASSERT_NE(o, nullptr);
         EXPECT_TRUE(o->IsMoved() && o->start.IsIdenticalTo(At(12, 1, 2024, 15)));
       }},
      {"hourly", Calendar(Event(kHead + "DTSTART:20240105T090000\r\nRRULE:FREQ=HOURLY;INTERVAL=3\r\n")),
       [](const CCalEvent& e) { EXPECT_EQ(e.GetFrequency(), CRecurrenceRule::kHourly); }},
      {"categories joined", Calendar(Event(kHead + "DTSTART:20240105\r\nCATEGORIES:Work,Family\r\nCATEGORIES:X\r\n")),
       [](const CCalEvent& e) { EXPECT_EQ(e.type, "Work,Family,X"); }},
      {"older text attach", Calendar(Event(kHead + "DTSTART:20240105\r\nBEGIN:VALARM\r\nACTION:AUDIO\r\n"
                                                   "TRIGGER:-PT5M\r\nATTACH;VALUE=TEXT:C:\\\\s\\\\a\\,b.wav\r\nEND:VALARM\r\n"),
                                    "-//Corvelle Software//Almacora 5.0//EN"),
       [](const CCalEvent& e) { EXPECT_EQ(e.alarmSoundFile, "C:\\s\\a,b.wav"); }},
      {"old Mozilla items", Calendar(Event(kHead + "DTSTART:20240105T090000\r\nX;MEMBER=AllDay:TRUE\r\n"
                                                   "X;MEMBER=AlarmUnits:hours\r\nX;MEMBER=AlarmLength:2\r\n"
                                                   "X;MEMBER=AlarmEmailAddress:a@example.org\r\n"),
                                     "-//Mozilla.org/NONSGML Mozilla Calendar V1.0//EN"),
       [](const CCalEvent& e) {
         EXPECT_EQ(e.allDay, 1);
         EXPECT_TRUE(e.alarmOn && e.leadTime == CDuration::Hours(2));
         EXPECT_EQ(e.emailTo, "a@example.org");
         EXPECT_EQ(e.emailOn, 0);
       }},
      {"ANSI text", Calendar(Event("UID:u1\r\nSUMMARY:Caf\xE9\r\nDTSTART:20240105\r\n")),
       [](const CCalEvent& e) { EXPECT_EQ(e.name, "Caf\xE9"); }},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    target.events.clear();
    const CCalEvent* e = Import(c.text);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(added, 1);
    c.check(*e);
  }
}

TEST(IcalProducer, LaterMatchesWin) {
  struct Case {
    const char* prodId;
    int producer;
  } cases[] = {{"-//Corvelle Software//ALMACORA 5.0//EN", 1}, {"-//Mozilla.org//x", 2},
               {"-//Microsoft Corporation//Outlook 16.0//EN", 3}, {"-//Mozilla//x//iCal 4//EN", 4},
               {"-//Other//EN", 0}};
  for (const Case& c : cases) EXPECT_EQ(CICalConverter::DetectICalProducer(c.prodId), c.producer) << c.prodId;
}

TEST_F(IcalImport, SameTextTwiceAddsOnceAndKeepsHeldAlarmState) {
  const std::string text = Calendar(Event(kHead + "DTSTART:20240105T090000\r\nRRULE:FREQ=DAILY\r\n") +
                                    Event("UID:u2\r\nSUMMARY:Other\r\nDTSTART:20240106\r\n"));
  Import(text);
  EXPECT_EQ(added, 2);
  CCalEvent& held = *target.events[0];
  held.occurrenceStates[At(20, 3, 2024, 9)] = COccurrenceState(1, CDateTime());
  Import(text, true);
  EXPECT_EQ(added, 0);
  EXPECT_EQ(updated, 0);
  EXPECT_EQ(held.occurrenceStates.GetCount(), 1u);
  Import(Calendar(Event(kHead + "DTSTART:20240105T100000\r\nRRULE:FREQ=DAILY\r\n")), true);
  EXPECT_EQ(updated, 1);
  EXPECT_TRUE(held.start.IsIdenticalTo(At(5, 1, 2024, 10)));
  // A moved start is worked out afresh, as an edit of it would be: the
  // state of a 09:00 occurrence the series no longer has goes.
  EXPECT_EQ(held.occurrenceStates.GetCount(), 0u);
  EXPECT_EQ(held.nextOccurrence.GetHour(), 10);
}

TEST_F(IcalImport, QuestionsAndRefusals) {
  const std::string noUid = Event("SUMMARY:Lost\r\nDTSTART:20240105\r\n");
  const std::string good = Event("UID:g\r\nSUMMARY:Good\r\nDTSTART:20240105\r\n");
  Import(Calendar(noUid + good));
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0], "Event: Lost\n\nMissing Event ID.  Event skipped.");
  EXPECT_EQ(added, 1);

  target.events.clear();
  prompts.skipAnswer = IICalPrompts::kCancelImport;
  Import(Calendar(noUid + good));
  EXPECT_EQ(added, 0);

  prompts.asked.clear();
  prompts.yes = false;
  Import(Calendar(Event(kHead + "DTSTART:20240105\r\nEXRULE:FREQ=WEEKLY\r\n") +
                  Event("UID:u3\r\nSUMMARY:Two\r\nDTSTART:20240105\r\nRRULE:FREQ=DAILY\r\nRRULE:FREQ=WEEKLY\r\n")));
  EXPECT_EQ(added, 0);
  ASSERT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(prompts.asked[0],
            "Event: Meeting\n\nEvent contains recurring exception rule (EXRULE) which is not supported by "
            "Almacora.\nEvent may calculate invalid occurences.\n\nContinue Importing Event?");
  EXPECT_EQ(prompts.asked[1],
            "Event: Two\n\nEvent contains multiple recurrence rules (RRULE) which is not supported by "
            "Almacora.\nNot all occurrences may be displayed.\n\nContinue Importing Event?");

  for (const char* refused : {"VERSION:1.0\r\n", "VERSION:2.0\r\nMETHOD:CANCEL\r\n"}) {
    Import("BEGIN:VCALENDAR\r\n" + std::string(refused) + good + "END:VCALENDAR\r\n");
    EXPECT_EQ(added, 0) << refused;
  }
}

// Values as written: a stray byte costs only itself, a UID keeps its
// blanks (so its override and a later refresh still find the event), a
// trigger keeps its seconds. Another reader agrees.
TEST_F(IcalImport, TextsUidsAndTriggersAsWritten) {
  const std::string uid = "UID: u-1 \r\n";
  const std::string text = Calendar(
      Event(uid + "SUMMARY:caf\xC3\xA9\x80\r\nDESCRIPTION:\xE2\x82\xAC \xE2\x82\r\nDTSTART:20240105T090000\r\n"
                  "RRULE:FREQ=WEEKLY\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT1S\r\nEND:VALARM\r\n") +
      Event(uid + "SUMMARY:Moved\r\nRECURRENCE-ID:20240112T090000\r\nDTSTART:20240112T110000\r\n") +
      Event("UID:u-1\r\nSUMMARY:Other\r\nDTSTART:20240106\r\n") +
      Event("UID;X-A=\"a:b\":u-\r\n 2\t\r\nSUMMARY:Folded\r\nDTSTART:20240107\r\n"));
  CCalEvent* e = Import(text);
  ASSERT_EQ(target.events.size(), 3u);
  EXPECT_EQ(e->uid, " u-1 ");
  EXPECT_EQ(e->name, "caf\xE9?");
  EXPECT_EQ(e->notes, "\x80 ?");
  EXPECT_EQ(e->occurrenceOverrides.GetCount(), 1u);
  EXPECT_EQ(e->leadTime, CDuration::Seconds(1));
  EXPECT_EQ(target.events[1]->uid, "u-1");
  EXPECT_EQ(target.events[2]->uid, "u-2\t");
  Import(text, true);
  EXPECT_EQ(added, 0);
  EXPECT_EQ(updated, 0);
  ICalCalendarHeader withAlarms;
  withAlarms.publishAlarms = true;
  const std::string out = CICalConverter().ExportEventICal(*e, withAlarms);
  EXPECT_TRUE(Contains(out, "TRIGGER;VALUE=DURATION:-PT1S\r\n")) << out;
#ifndef _WIN32
  const char* script =
      "import sys, icalendar\n"
      "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
      "with open(sys.argv[2], 'wb') as out:\n"
      "  for e in cal.walk('VEVENT'):\n"
      "    if 'RECURRENCE-ID' in e: continue\n"
      "    a = [int(-x['TRIGGER'].dt.total_seconds()) for x in e.walk('VALARM')]\n"
      "    f = [str(e['UID']), str(e['SUMMARY']), str(e.get('DESCRIPTION', '')), str(a)]\n"
      "    out.write(('|'.join(f) + '\\n').encode('cp1252', 'replace'))\n";
  std::string ours;
  for (auto& i : target.events) {
    const std::string lead = i->alarmOn ? std::to_string(i->leadTime.ClockSeconds()) : "";
    ours += i->uid + "|" + i->name + "|" + i->notes + "|[" + lead + "]\n";
  }
  EXPECT_EQ(ReadByPython(text, script, "almacora_as_written"), ours);
#endif
}

TEST_F(IcalImport, FilesAndTheirErrors) {
  const std::string path = testing::TempDir() + "almacora_import.ics";
  std::ofstream(path, std::ios::binary) << Calendar(Event("UID:f\r\nSUMMARY:From file\r\nDTSTART:20240105\r\n"));
  target.header.name = "Imported";
  CICalConverter c(&prompts);
  EXPECT_TRUE(c.ImportICalFile("\"" + path + "\"", target));
  EXPECT_EQ(c.GetAddedCount(), 1);
  EXPECT_EQ(c.GetTypeNames().at("Imported"), "NEW");
  EXPECT_EQ(c.GetTypeNames().at("Birthday"), "EXIST");
  EXPECT_FALSE(c.ImportICalFile(path + ".missing", target));
  EXPECT_EQ(prompts.asked, std::vector<std::string>{"Error opening file"});
  // Past the size a download may have, refused before it is read.
  std::filesystem::resize_file(path, (64ull << 20) + 1);
  prompts.asked.clear();
  EXPECT_FALSE(c.ImportICalFile(path, target));
  EXPECT_EQ(prompts.asked, std::vector<std::string>{"Error opening file\n\nThe calendar is larger than 64 MB."});
  std::filesystem::remove(path);
}

}  // namespace
