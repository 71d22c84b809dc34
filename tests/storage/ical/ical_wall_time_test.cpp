// Wall-clock times of every kind read as other readers do, whatever the
// user's zone. The expected UTC instants are the system's zone data's
// (Python's zoneinfo, fold 0: in a gap the offset before it, a repeated
// hour's first instance). Runs in Europe/Berlin and America/New_York.
#include <gtest/gtest.h>

#include <string>

#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

// The event's occurrences in UTC ("YYYYMMDDTHHMM" each, ";" after each;
// an all-day event's local dates), at most five.
std::string Occurrences(CCalEvent& e) {
  std::string out;
  CDateTime d = e.start;
  for (int i = 0; i < 5 && e.GetNextOccurrenceFrom(d, false) == CRecurrenceRule::kFound; ++i) {
    out += e.allDay ? d.FormatICal(CDateTime::kAsLocal).substr(0, 8) : d.FormatICal(CDateTime::kAsUtc).substr(0, 13);
    out += ";";
    if (e.oneTime) break;
    d.AddTime(0, 0, 1);
  }
  return out;
}

const char kBounded[] =
    "BEGIN:VTIMEZONE\r\nTZID:Runaway\r\nBEGIN:STANDARD\r\nDTSTART:20000101T000000\r\nTZOFFSETFROM:+0100\r\n"
    "TZOFFSETTO:+0100\r\nRRULE:FREQ=DAILY\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

TEST(IcalWallTime, EveryTimeIsReadInItsZoneAsOtherReadersDo) {
  UseDefaultSettings();
  const struct {
    const char *lines, *expected, *log;
  } cases[] = {
      {"DTSTART;TZID=Europe/Berlin:20260329T023000", "20260329T0130;", ""},
      {"DTSTART;TZID=America/New_York:20261101T013000", "20261101T0530;", ""},
      {"DTSTART;TZID=Pacific/Apia:20111230T100000", "20111230T2000;", ""},
      {"DTSTART;TZID=America/New_York:20260105T090000\r\nRRULE:FREQ=DAILY;UNTIL=20260107T090000",
       "20260105T1400;20260106T1400;20260107T1400;", ""},
      // Added dates in their own zone, also without a rule.
      {"DTSTART:20260301T120000Z\r\nRDATE;TZID=America/New_York:20260320T100000\r\n"
       "RDATE;VALUE=PERIOD;TZID=Asia/Tokyo:20260321T100000/20260321T120000",
       "20260301T1200;20260320T1400;20260321T0100;", ""},
      {"DTSTART;VALUE=DATE:20260320\r\nRDATE;VALUE=DATE:20260325,20260401", "20260320;20260325;20260401;", ""},
      // Dated changes after 2038 of a zone without a yearly rule.
      {"DTSTART;TZID=Africa/Casablanca:20401001T120000", "20401001T1200;", ""},
      {"DTSTART;TZID=Africa/El_Aaiun:20450801T120000", "20450801T1200;", ""},
      {"DTSTART;TZID=Eastern Standard Time:20260701T090000", "20260701T1300;", ""},
      {"DTSTART;TZID=W. Europe Standard Time:20260115T090000", "20260115T0800;", ""},
      {"DTSTART;TZID=Runaway:20260115T090000", "", "\"Runaway\" of the calendar was not read: its rules change"},
      {"DTSTART;TZID=Far:20260115T090000", "", "\"Far\" of the calendar was not read: its TZOFFSETTO lies beyond"},
      {"DTSTART;TZID=Day:20260115T090000", "", "\"Day\" of the calendar was not read: its TZOFFSETTO lies beyond"},
      {"DTSTART:00010101T090000Z", "", "outside the years 100 to 9999"},
  };
  const std::string zones = std::string(kBounded) +
                            "BEGIN:VTIMEZONE\r\nTZID:Far\r\nBEGIN:STANDARD\r\nDTSTART:20000101T000000\r\n"
                            "TZOFFSETFROM:+0000\r\nTZOFFSETTO:+9999\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
                            "BEGIN:VTIMEZONE\r\nTZID:Day\r\nBEGIN:STANDARD\r\nDTSTART:20000101T000000\r\n"
                            "TZOFFSETFROM:+0000\r\nTZOFFSETTO:+2400\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    FakeTarget target;
    ScriptedPrompts prompts;
    CICalConverter converter(&prompts);
    converter.ImportICalString(Calendar(zones + Event(std::string("UID:u\r\nSUMMARY:s\r\n") + c.lines + "\r\n")),
                               target, false);
    EXPECT_TRUE(Contains(converter.GetLog(), c.log)) << converter.GetLog();
    EXPECT_FALSE(Contains(converter.GetLog(), "neither defined")) << converter.GetLog();
    if (*c.expected == 0) continue;
    ASSERT_EQ(1u, target.events.size());
    EXPECT_EQ(c.expected, Occurrences(*target.events[0]));
    // The export read back gives the same instants.
    FakeTarget again;
    CICalConverter(&prompts).ImportICalString(CICalConverter().ExportCalendarICal(target.List(), {}), again, false);
    ASSERT_EQ(1u, again.events.size());
    EXPECT_EQ(c.expected, Occurrences(*again.events[0]));
  }
}

// One-time events over the user's own change: as long as between their
// instants.
TEST(IcalWallTime, OneTimeLengthIsTheSpanOfItsInstants) {
  UseDefaultSettings();
  for (const char* lines : {"DTSTART:20260329T003000Z\r\nDTEND:20260329T013000Z",
                            "DTSTART:20261025T003000Z\r\nDTEND:20261025T013000Z",
                            "DTSTART:20260308T063000Z\r\nDTEND:20260308T073000Z",
                            "DTSTART:20261101T053000Z\r\nDTEND:20261101T063000Z"}) {
    FakeTarget target;
    CICalConverter().ImportICalString(Calendar(Event(std::string("UID:u\r\nSUMMARY:s\r\n") + lines + "\r\n")),
                                      target, false);
    ASSERT_EQ(1u, target.events.size());
    EXPECT_EQ(3600, target.events[0]->GetOccurrenceLength().ClockSeconds()) << lines;
  }
}

#ifndef _WIN32
// Two calendars that each define a zone of one name (a generic name, or
// names the code page cannot hold): another reader of the export puts
// every occurrence where the calendars do.
TEST(IcalWallTime, ZonesOfOneNameStayApartInTheExport) {
  UseDefaultSettings();
  FakeTarget target;
  const char* calendars[][3] = {{"Custom", "+0900", "a"},
                                {"Custom", "+0530", "b"},
                                {"\xD0\x97\xD0\xBE\xD0\xBD\xD0\xB0", "+0300", "c"},
                                {"\xCE\x96\xCF\x8E\xCE\xBD\xCE\xB7", "+0400", "d"}};
  for (const auto& c : calendars)
    CICalConverter().ImportICalString(
        Calendar(std::string("BEGIN:VTIMEZONE\r\nTZID:") + c[0] + "\r\nBEGIN:STANDARD\r\nDTSTART:20000101T000000\r\n" +
                 "TZOFFSETFROM:" + c[1] + "\r\nTZOFFSETTO:" + c[1] + "\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n" +
                 Event(std::string("UID:") + c[2] + "\r\nSUMMARY:s\r\nDTSTART;TZID=" + c[0] +
                       ":20260105T120000\r\nRRULE:FREQ=WEEKLY;COUNT=2\r\n")),
        target, false);
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
      "      out.write(tz.localize(d).astimezone(datetime.timezone.utc).strftime('%Y%m%dT%H%M') + ';')\n";
  EXPECT_EQ("20260105T0300;20260112T0300;20260105T0630;20260112T0630;20260105T0900;20260112T0900;20260105T0800;"
            "20260112T0800;",
            ReadByPython(CICalConverter().ExportCalendarICal(target.List(), {}), script, "almacora_zone_names"));
}
#endif

}  // namespace
