// A series written in a named zone keeps its wall-clock time and weekday
// there, whatever the user's own zone; its export says so to other readers.
// The file runs twice: in Europe/Berlin (the harness's zone) and in
// America/New_York.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

// New York's zone the way many programs write it, the change times repeated
// as BYHOUR / BYMINUTE.
const char kNewYork[] =
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:20070311T020000\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU;BYHOUR=2;BYMINUTE=0\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nDTSTART:20071104T020000\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

std::string Series(const char* uid, const char* start, const char* rule) {
  return Event(std::string("UID:") + uid + "\r\nSUMMARY:" + uid + "\r\nDTSTART;TZID=America/New_York:" + start +
               "\r\nDURATION:PT1H\r\nRRULE:" + rule + "\r\n");
}

std::vector<std::unique_ptr<CCalEvent>> ImportZoned() {
  FakeTarget target;
  ScriptedPrompts prompts;
  CICalConverter(&prompts).ImportICalString(
      Calendar(std::string(kNewYork) + Series("nine", "20260105T090000", "FREQ=WEEKLY") +
               Series("monday", "20260105T200000", "FREQ=WEEKLY;BYDAY=MO")),
      target, false);
  return std::move(target.events);
}

// The user's zone, told by its offset on a winter day.
std::string UserZone() {
  const int hour = CDateTime::FromParts(JulianDayFromDate(1, 15, 2026), 12 * 3600, CDateTime::kUtc).GetHour(
      CDateTime::kAsLocal);
  return hour == 7 ? "New York" : hour == 13 ? "Berlin" : hour == 23 ? "Melbourne" : "other";
}

// "Mon 15:00": the local weekday and time of the first occurrence on or
// after local midnight of the day.
std::string NextLocal(CCalEvent& e, int month, int day) {
  CDateTime d(day, month, 2026);
  if (e.GetNextOccurrenceFrom(d, false) != CRecurrenceRule::kFound) return "none";
  char text[32];
  std::snprintf(text, sizeof text, "%.3s %02d:%02d", GetWeekdayName(d.GetWeekday(CDateTime::kAsLocal)),
                d.GetHour(CDateTime::kAsLocal), d.GetMinute(CDateTime::kAsLocal));
  return text;
}

TEST(IcalZone, SeriesKeepsItsZonesWallClockAcrossBothZonesChanges) {
  UseDefaultSettings();
  const std::string zone = UserZone();
  // Under Wine too the program's zone follows TZ.
  const char* tz = std::getenv("TZ");
  if (tz && std::string(tz) == "America/New_York") {
    ASSERT_EQ("New York", zone);
  }
  if (zone != "New York" && zone != "Berlin") GTEST_SKIP() << "runs in Europe/Berlin or America/New_York";
  auto events = ImportZoned();
  ASSERT_EQ(2u, events.size());
  // Mondays around the changes: New York's (8 March, 1 November 2026) and
  // Berlin's (29 March, 25 October 2026).
  const struct {
    int month, day;
    const char *nineNewYork, *nineBerlin, *mondayNewYork, *mondayBerlin;
  } cases[] = {
      {3, 2, "Mon 09:00", "Mon 15:00", "Mon 20:00", "Tue 02:00"},
      {3, 9, "Mon 09:00", "Mon 14:00", "Mon 20:00", "Tue 01:00"},
      {3, 30, "Mon 09:00", "Mon 15:00", "Mon 20:00", "Tue 02:00"},
      {10, 26, "Mon 09:00", "Mon 14:00", "Mon 20:00", "Tue 01:00"},
      {11, 2, "Mon 09:00", "Mon 15:00", "Mon 20:00", "Tue 02:00"},
  };
  const bool newYork = zone == "New York";
  for (const auto& c : cases) {
    EXPECT_EQ(newYork ? c.nineNewYork : c.nineBerlin, NextLocal(*events[0], c.month, c.day)) << c.month << "/" << c.day;
    EXPECT_EQ(newYork ? c.mondayNewYork : c.mondayBerlin, NextLocal(*events[1], c.month, c.day))
        << c.month << "/" << c.day;
  }
}

TEST(IcalZone, StoredRecordKeepsTheZone) {
  UseDefaultSettings();
  auto events = ImportZoned();
  ASSERT_EQ(2u, events.size());
  CFieldBuffer record;
  ASSERT_TRUE(EncodeEventRecord(*events[0], 0, &record));
  CCalEvent back;
  ASSERT_TRUE(DecodeEventRecord(record.GetData(), record.GetUsed(), &back));
  CDateTime d(30, 3, 2026);
  ASSERT_EQ(CRecurrenceRule::kFound, back.GetNextOccurrenceFrom(d, false));
  EXPECT_EQ(13, d.GetHour(CDateTime::kAsUtc));
  // The export's own VTIMEZONE reads back as the same rule.
  FakeTarget again;
  ScriptedPrompts prompts;
  CICalConverter(&prompts).ImportICalString(CICalConverter().ExportEventICal(back, ICalCalendarHeader()), again,
                                            false);
  ASSERT_EQ(1u, again.events.size());
  EXPECT_EQ("-18000 -14400 3 8 7 7200 11 1 7 7200", again.events[0]->recurrence.GetRule()->zone);
  EXPECT_TRUE(again.events[0]->start == events[0]->start);
}

// Zones written as their changes one by one (one STANDARD/DAYLIGHT pair a
// year, or RDATE lists, as many servers write them), a zone whose rule
// changed (RRULEs with UNTIL) and zones built in: each series' occurrences
// in UTC, the expected ones as python3-icalendar with dateutil and pytz
// expands the same text. Its export read back, and by that reader (below),
// gives them again.
std::string Observance(const char* kind, const char* start, const char* from, const char* to,
                       const std::string& more = "") {
  return std::string("BEGIN:") + kind + "\r\nDTSTART:" + start + "\r\nTZOFFSETFROM:" + from + "\r\nTZOFFSETTO:" + to +
         "\r\n" + more + "END:" + kind + "\r\n";
}

std::string Zone(const char* tzid, const std::string& parts) {
  return std::string("BEGIN:VTIMEZONE\r\nTZID:") + tzid + "\r\n" + parts + "END:VTIMEZONE\r\n";
}

struct DatedCase {
  const char* what;
  std::string text;
  const char* expected;
};

std::vector<DatedCase> DatedCases() {
  std::string byYear;
  const char* years[][2] = {{"20030330T030000", "20031026T020000"},
                            {"20040328T030000", "20041031T020000"},
                            {"20050327T030000", "20051030T020000"}};
  for (const auto& y : years)
    byYear += Observance("STANDARD", y[0], "+1100", "+1000") + Observance("DAYLIGHT", y[1], "+1000", "+1100");
  const std::string rdates =
      Observance("STANDARD", "20030330T030000", "+1100", "+1000", "RDATE:20040328T030000,20050327T030000\r\n") +
      Observance("DAYLIGHT", "20031026T020000", "+1000", "+1100", "RDATE:20041031T020000,20051030T020000\r\n");
  const std::string newYork =
      Observance("DAYLIGHT", "19870405T020000", "-0500", "-0400",
                 "RRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=20060402T070000Z\r\n") +
      Observance("STANDARD", "19671029T020000", "-0400", "-0500",
                 "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU;UNTIL=20061029T060000Z\r\n") +
      Observance("DAYLIGHT", "20070311T020000", "-0500", "-0400", "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n") +
      Observance("STANDARD", "20071104T020000", "-0400", "-0500", "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n");
  const auto series = [](const char* uid, const char* tzid, const char* start, const char* rule) {
    return Event(std::string("UID:") + uid + "\r\nSUMMARY:" + uid + "\r\nDTSTART;TZID=" + tzid + ":" + start +
                 "\r\nRRULE:" + rule + "\r\n");
  };
  const std::string melbourne =
      series("march", "Australia/Melbourne", "20040318T203000", "FREQ=WEEKLY;COUNT=4") +
      series("october", "Australia/Melbourne", "20041021T203000", "FREQ=WEEKLY;COUNT=3");
  const char* melbourneUtc =
      "20040318T0930\n20040325T0930\n20040401T1030\n20040408T1030\n20041021T1030\n20041028T1030\n20041104T0930\n";
  const std::string newYorkSeries = series("y2006", "America/New_York", "20060320T120000", "FREQ=WEEKLY;COUNT=3") +
                                    series("y2007", "America/New_York", "20070305T120000", "FREQ=WEEKLY;COUNT=2");
  const char* newYorkUtc = "20060320T1700\n20060327T1700\n20060403T1600\n20070305T1700\n20070312T1600\n";
  return {
      {"Melbourne, a pair a year", Calendar(Zone("Australia/Melbourne", byYear) + melbourne), melbourneUtc},
      {"Melbourne, RDATE lists", Calendar(Zone("Australia/Melbourne", rdates) + melbourne), melbourneUtc},
      {"New York, rule changed in 2007", Calendar(Zone("America/New_York", newYork) + newYorkSeries), newYorkUtc},
      {"New York, built in", Calendar(newYorkSeries), newYorkUtc},
      // The zone's one VTIMEZONE of the export carries the 2006 changes too.
      {"New York, the later series first",
       Calendar(series("y2007", "America/New_York", "20070305T120000", "FREQ=WEEKLY;COUNT=2") +
                series("y2006", "America/New_York", "20060320T120000", "FREQ=WEEKLY;COUNT=3")),
       "20070305T1700\n20070312T1600\n20060320T1700\n20060327T1700\n20060403T1600\n"},
      // Calendars that each define a zone of one name (a generic one, or
      // names the code page cannot hold) stay apart in the export.
      {"Two zones named Custom, two named outside the code page",
       Calendar(Zone("Custom", Observance("STANDARD", "20000101T000000", "+0900", "+0900")) +
                series("a", "Custom", "20260105T120000", "FREQ=WEEKLY;COUNT=2")) +
           Calendar(Zone("Custom", Observance("STANDARD", "20000101T000000", "+0530", "+0530")) +
                    series("b", "Custom", "20260105T120000", "FREQ=WEEKLY;COUNT=2")) +
           Calendar(Zone("\xD0\x97\xD0\xBE\xD0\xBD\xD0\xB0", Observance("STANDARD", "20000101T000000", "+0300", "+0300")) +
                    series("c", "\xD0\x97\xD0\xBE\xD0\xBD\xD0\xB0", "20260105T120000", "FREQ=WEEKLY;COUNT=2")) +
           Calendar(Zone("\xCE\x96\xCF\x8E\xCE\xBD\xCE\xB7", Observance("STANDARD", "20000101T000000", "+0400", "+0400")) +
                    series("d", "\xCE\x96\xCF\x8E\xCE\xBD\xCE\xB7", "20260105T120000", "FREQ=WEEKLY;COUNT=2")),
       "20260105T0300\n20260112T0300\n20260105T0630\n20260112T0630\n20260105T0900\n20260112T0900\n20260105T0800\n"
       "20260112T0800\n"},
      {"Sydney, built in",
       Calendar(series("sydney", "Australia/Sydney", "20020930T000000", "FREQ=WEEKLY;COUNT=5")),
       "20020929T1400\n20021006T1400\n20021013T1400\n20021020T1400\n20021027T1300\n"},
  };
}

std::vector<std::unique_ptr<CCalEvent>> ImportText(const std::string& text) {
  FakeTarget target;
  ScriptedPrompts prompts;
  CICalConverter(&prompts).ImportICalString(text, target, false);
  return std::move(target.events);
}

// Every occurrence of the (counted) series, in UTC, a line each.
std::string UtcOccurrences(const std::vector<std::unique_ptr<CCalEvent>>& events) {
  std::string out;
  for (const auto& e : events) {
    CDateTime d = e->start;
    for (int i = 0; i < 20 && e->GetNextOccurrenceFrom(d, false) == CRecurrenceRule::kFound; ++i) {
      out += d.FormatICal(CDateTime::kAsUtc).substr(0, 13) + "\n";
      d.AddTime(0, 0, 1);
    }
  }
  return out;
}

std::string ExportAll(const std::vector<std::unique_ptr<CCalEvent>>& events) {
  std::vector<const CCalEvent*> list;
  for (const auto& e : events) list.push_back(e.get());
  return CICalConverter().ExportCalendarICal(list, ICalCalendarHeader());
}

TEST(IcalZone, DatedChangesAndZoneHistoryGiveEachOccurrenceItsOffset) {
  UseDefaultSettings();
  const char* tz = std::getenv("TZ");
  if (tz && std::string(tz) == "Australia/Melbourne") {
    ASSERT_EQ("Melbourne", UserZone());
  }
  for (const DatedCase& c : DatedCases()) {
    SCOPED_TRACE(c.what);
    auto events = ImportText(c.text);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(c.expected, UtcOccurrences(events));
#ifndef _WIN32
    // Not under Windows: its own zone (SystemTimeToTzSpecificLocalTime)
    // reads 2004 by the current rules.
    if (UserZone() == "Melbourne" && Contains(c.what, "Melbourne")) {
      // At home each occurrence is at its wall-clock time, either side of
      // the changes.
      for (const auto& e : events) {
        CDateTime d = e->start;
        for (int i = 0; i < 4 && e->GetNextOccurrenceFrom(d, false) == CRecurrenceRule::kFound; ++i) {
          EXPECT_EQ(20 * 60 + 30, d.GetHour(CDateTime::kAsLocal) * 60 + d.GetMinute(CDateTime::kAsLocal));
          d.AddTime(0, 0, 1);
        }
      }
    }
#endif
    // Stored and read back, and exported and imported again.
    CFieldBuffer record;
    ASSERT_TRUE(EncodeEventRecord(*events[0], 0, &record));
    auto back = std::make_unique<CCalEvent>();
    ASSERT_TRUE(DecodeEventRecord(record.GetData(), record.GetUsed(), back.get()));
    EXPECT_EQ(events[0]->recurrence.GetRule()->zone, back->recurrence.GetRule()->zone);
    EXPECT_EQ(c.expected, UtcOccurrences(ImportText(ExportAll(events))));
  }
}

#ifndef _WIN32
// Another reader expands the export to the same moments for two years.
TEST(IcalZone, AnotherReaderRepeatsTheExportInItsZone) {
  UseDefaultSettings();
  auto events = ImportZoned();
  ASSERT_EQ(2u, events.size());
  std::string ours;
  std::vector<const CCalEvent*> list;
  for (auto& e : events) {
    e->recurrence.GetRule()->count = 104;
    list.push_back(e.get());
    CDateTime d = e->start;
    for (int i = 0; i < 104 && e->GetNextOccurrenceFrom(d, false) == CRecurrenceRule::kFound; ++i) {
      ours += d.FormatICal(CDateTime::kAsUtc).substr(0, 13) + "\n";
      d.AddTime(0, 0, 1);
    }
  }
  const char* script =
      "import sys, icalendar, datetime\n"
      "from dateutil.rrule import rrulestr\n"
      "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
      "with open(sys.argv[2], 'w') as out:\n"
      "  for ev in cal.walk('VEVENT'):\n"
      "    start = ev.decoded('DTSTART')\n"
      "    tz = start.tzinfo\n"
      "    for d in rrulestr(ev['RRULE'].to_ical().decode(), dtstart=start.replace(tzinfo=None)):\n"
      "      d = tz.localize(d) if hasattr(tz, 'localize') else d.replace(tzinfo=tz)\n"
      "      out.write(d.astimezone(datetime.timezone.utc).strftime('%Y%m%dT%H%M') + '\\n')\n";
  EXPECT_EQ(208u, static_cast<size_t>(std::count(ours.begin(), ours.end(), '\n')));
  EXPECT_EQ(ours, ReadByPython(CICalConverter().ExportCalendarICal(list, ICalCalendarHeader()), script, "almacora_zone"));
}

// That reader expands the export of dated changes by its VTIMEZONE alone.
TEST(IcalZone, AnotherReaderConvertsTheExportedDatedChangesTheSameWay) {
  UseDefaultSettings();
  const char* script =
      "import sys, icalendar, datetime\n"
      "from dateutil.rrule import rrulestr\n"
      "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
      "zones = {str(z['TZID']): z.to_tz() for z in cal.walk('VTIMEZONE')}\n"
      "with open(sys.argv[2], 'w') as out:\n"
      "  for ev in cal.walk('VEVENT'):\n"
      "    tz = zones[str(ev['DTSTART'].params['TZID'])]\n"
      "    start = ev.decoded('DTSTART').replace(tzinfo=None)\n"
      "    for d in rrulestr(ev['RRULE'].to_ical().decode(), dtstart=start):\n"
      "      out.write(tz.localize(d).astimezone(datetime.timezone.utc).strftime('%Y%m%dT%H%M') + '\\n')\n";
  for (const DatedCase& c : DatedCases()) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.expected, ReadByPython(ExportAll(ImportText(c.text)), script, "almacora_dated"));
  }
}
#endif

}  // namespace
