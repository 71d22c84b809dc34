// Occurrences of their own in both directions, the series' alarm beside
// them, and zone definitions as other programs write them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/process.h"
#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

const char kOurs[] = "-//Corvelle Software//Almacora 5.0//EN";

CDateTime At(int day, int month, int year, int hour, int minute = 0) {
  CDateTime d(day, month, year);
  d.SetTime(hour, minute, 0);
  return d;
}

// A weekly series on Fridays at 09:00 from 5 January 2024.
std::string Series(const std::string& extra = "") {
  return Event("UID:w\r\nSUMMARY:Standup\r\nDESCRIPTION:Room 4\r\nCATEGORIES:Work\r\nDTSTART:20240105T090000\r\n"
               "DTEND:20240105T093000\r\nRRULE:FREQ=WEEKLY\r\nDTSTAMP:20240101T000000Z\r\n" +
               extra);
}

CCalEvent* ImportOne(const std::string& text, FakeTarget* target) {
  ScriptedPrompts prompts;
  CICalConverter(&prompts).ImportICalString(text, *target, false);
  return target->events.empty() ? nullptr : target->events[0].get();
}

TEST(IcalOverride, ImportKeysByScheduledDateInEitherForm) {
  UseDefaultSettings();
  const std::string moved = "UID:w\r\nRECURRENCE-ID:20240112T090000\r\nDTSTART:20240112T140000\r\n";
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"another program", Calendar(Series() + Event(moved))},
      {"ours, standard form", Calendar(Series() + Event(moved), kOurs)},
      {"ours, earlier form",
       Calendar(Series("EXDATE:20240112T140000\r\n") +
                    Event("UID:w\r\nRECURRENCE-ID:20240112T140000\r\nDTSTART:20240112T090000\r\n"),
                kOurs)},
  };
  for (const auto& c : cases) {
    FakeTarget target;
    CCalEvent* e = ImportOne(c.text, &target);
    ASSERT_NE(nullptr, e) << c.what;
    ASSERT_EQ(1, e->occurrenceOverrides.GetCount()) << c.what;
    const COccurrenceOverride* o = e->occurrenceOverrides.GetAssocAt(At(12, 1, 2024, 9));
    ASSERT_NE(nullptr, o) << c.what;
    EXPECT_TRUE(o->IsMoved()) << c.what;
    EXPECT_EQ(At(12, 1, 2024, 14), o->start) << c.what;
    EXPECT_EQ(0, e->recurrence.excludedDates.GetCount()) << c.what;
    // Texts the occurrence leaves out are the series'.
    EXPECT_EQ("Standup", e->GetOccurrenceName(At(12, 1, 2024, 9))) << c.what;
    EXPECT_EQ("Room 4", e->GetOccurrenceNotes(At(12, 1, 2024, 9))) << c.what;
    EXPECT_EQ("Work", e->GetOccurrenceType(At(12, 1, 2024, 9))) << c.what;
  }
}

// An all-day series' occurrence named by a zoned time is the date written in
// its zone; a zone whose yearly changes carry their hour is used.
TEST(IcalOverride, ZonedOccurrenceDatesAndZoneRulesWithTheirHour) {
  UseDefaultSettings();
  const std::string hongKong =
      "BEGIN:VTIMEZONE\r\nTZID:Asia/Hong_Kong\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
      "TZOFFSETFROM:+0800\r\nTZOFFSETTO:+0800\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  FakeTarget allDay;
  CCalEvent* e = ImportOne(
      Calendar(hongKong +
               Event("UID:d\r\nSUMMARY:Gym\r\nDTSTART;VALUE=DATE:20030603\r\nRRULE:FREQ=WEEKLY\r\nDTSTAMP:20030101T000000Z\r\n") +
               Event("UID:d\r\nRECURRENCE-ID;TZID=Asia/Hong_Kong:20030610T000000\r\nSUMMARY:Pool\r\n")),
      &allDay);
  ASSERT_NE(nullptr, e);
  EXPECT_EQ("Pool", e->GetOccurrenceName(CDateTime(10, 6, 2003)));

  const std::string eastern =
      "BEGIN:VTIMEZONE\r\nTZID:Eastern\r\n"
      "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nDTSTART:20070311T020000\r\n"
      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU;BYHOUR=2;BYMINUTE=0\r\nEND:DAYLIGHT\r\n"
      "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nDTSTART:20071104T020000\r\n"
      "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU;BYHOUR=2;BYMINUTE=0\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  FakeTarget zoned;
  e = ImportOne(Calendar(eastern + Event("UID:z\r\nSUMMARY:Call\r\nDTSTART;TZID=Eastern:20240610T090000\r\n"
                                         "DTSTAMP:20240101T000000Z\r\n")),
                &zoned);
  ASSERT_NE(nullptr, e);
  EXPECT_EQ(CDateTime::kNamedZone, e->start.GetZoneKind());
  EXPECT_EQ("20240610T130000", e->start.FormatICal(CDateTime::kAsStored));
}

// The series carries its own alarm; an occurrence with an alarm of its own
// carries that one, whichever occurrence it is.
TEST(IcalOverride, ExportWritesTheStandardFormAndEachAlarmWhereItBelongs) {
  UseDefaultSettings();
  const struct {
    int seriesAlarm;
    int occurrenceAlarm;
    bool seriesHasAlarm;
    bool occurrenceHasAlarm;
  } cases[] = {{1, 0, true, false}, {0, 1, false, true}, {1, 1, true, true}};
  for (const auto& c : cases) {
    CCalEvent e;
    e.name = "Standup";
    e.uid = "w";
    e.start = At(5, 1, 2024, 9);
    e.oneTime = 0;
    e.recurrence.GetRule()->frequency = CRecurrenceRule::kWeekly;
    e.alarmOn = static_cast<int16_t>(c.seriesAlarm);
    e.leadTime = CDuration::Minutes(15);
    COccurrenceOverride o;
    o.mask = COccurrenceOverride::kAlarm;
    o.alarmOn = static_cast<int16_t>(c.occurrenceAlarm);
    o.leadTime = CDuration::Minutes(30);
    o.moved = 1;
    o.start = At(5, 1, 2024, 14);
    o.end = o.start;
    e.occurrenceOverrides[e.start] = o;
    ICalCalendarHeader h;
    h.publishAlarms = 1;
    const std::string text = CICalConverter().ExportEventICal(e, h);
    const size_t second = text.find("BEGIN:VEVENT", text.find("BEGIN:VEVENT") + 1);
    ASSERT_NE(std::string::npos, second);
    const std::string series = text.substr(0, second), occurrence = text.substr(second);
    EXPECT_EQ(c.seriesHasAlarm, Contains(series, "TRIGGER;VALUE=DURATION:-PT15M")) << text;
    EXPECT_EQ(c.occurrenceHasAlarm, Contains(occurrence, "TRIGGER;VALUE=DURATION:-PT30M")) << text;
    EXPECT_FALSE(Contains(series, "EXDATE")) << text;
    EXPECT_TRUE(Contains(occurrence, "RECURRENCE-ID:20240105T090000\r\n")) << text;
    EXPECT_TRUE(Contains(occurrence, "DTSTART:20240105T140000\r\n")) << text;
  }
}

#ifndef _WIN32
// Another reader expands the exported series: the moved occurrence is there
// once, at its new time.
TEST(IcalOverride, AnotherReaderSeesAMovedOccurrenceOnce) {
  UseDefaultSettings();
  FakeTarget target;
  CCalEvent* e = ImportOne(Calendar(Series() +
                                    Event("UID:w\r\nRECURRENCE-ID:20240112T090000\r\nDTSTART:20240112T140000\r\n")),
                           &target);
  ASSERT_NE(nullptr, e);
  e->recurrence.GetRule()->count = 3;
  const char* script =
      "import sys, icalendar\n"
      "from dateutil.rrule import rrulestr\n"
      "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
      "ev = [e for e in cal.walk('VEVENT')]\n"
      "master = [e for e in ev if 'RECURRENCE-ID' not in e][0]\n"
      "start = master.decoded('DTSTART')\n"
      "moved = {e.decoded('RECURRENCE-ID'): e.decoded('DTSTART') for e in ev if 'RECURRENCE-ID' in e}\n"
      "rule = rrulestr(master['RRULE'].to_ical().decode(), dtstart=start)\n"
      "with open(sys.argv[2], 'w') as out:\n"
      "  for d in rule: out.write(moved.get(d, d).strftime('%Y%m%dT%H%M') + '\\n')\n";
  EXPECT_EQ("20240105T0900\n20240112T1400\n20240119T0900\n",
            ReadByPython(CICalConverter().ExportEventICal(*e, ICalCalendarHeader()), script, "almacora_moved"));
}
#endif

}  // namespace
