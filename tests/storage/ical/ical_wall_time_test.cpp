// Wall-clock times of every kind read as other readers do, whatever the
// user's zone. The expected UTC instants are the system's zone data's
// (Python's zoneinfo, fold 0: in a gap the offset before it, a repeated
// hour's first instance). Runs in Europe/Berlin and America/New_York.
#include <gtest/gtest.h>

#include <string>

#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
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

// A VTIMEZONE of one observance from `offset` to `to`, with `more` lines.
std::string FixedZone(const std::string& tzid, const char* offset, const char* to, const char* more = "") {
  return "BEGIN:VTIMEZONE\r\nTZID:" + tzid + "\r\nBEGIN:STANDARD\r\nDTSTART:20000101T000000\r\nTZOFFSETFROM:" +
         offset + "\r\nTZOFFSETTO:" + to + "\r\n" + more + "END:STANDARD\r\nEND:VTIMEZONE\r\n";
}

TEST(IcalWallTime, EveryTimeIsReadInItsZoneAsOtherReadersDo) {
  UseDefaultSettings();
  const struct {
    const char *lines, *expected, *log;
    int length;  // seconds, of a one-time event over the user's own change
  } cases[] = {
      {"DTSTART;TZID=Europe/Berlin:20260329T023000", "20260329T0130;", "", 0},
      {"DTSTART;TZID=America/New_York:20261101T013000", "20261101T0530;", "", 0},
      {"DTSTART;TZID=Pacific/Apia:20111230T100000", "20111230T2000;", "", 0},
      // Series written in a skipped hour repeat at the written time (local ones: "<Berlin>|<New York>").
      {"DTSTART;TZID=Europe/Berlin:20260329T023000\r\nRRULE:FREQ=WEEKLY;COUNT=2", "20260329T0130;20260405T0030;", "", 0},
      {"DTSTART;TZID=America/New_York:20260308T023000\r\nRRULE:FREQ=WEEKLY;COUNT=2", "20260308T0730;20260315T0630;", "", 0},
      {"DTSTART:20260329T023000\r\nRRULE:FREQ=WEEKLY;COUNT=2", "20260329T0130;20260405T0030;|20260329T0630;20260405T0630;", "", 0},
      {"DTSTART:20260308T023000\r\nRRULE:FREQ=WEEKLY;COUNT=2", "20260308T0130;20260315T0130;|20260308T0730;20260315T0630;", "", 0},
      // Series written in a repeated hour start at its first instance and keep the written time.
      {"DTSTART;TZID=Europe/Berlin:20261025T023000\r\nRRULE:FREQ=WEEKLY;COUNT=2", "20261025T0030;20261101T0130;", "", 0},
      {"DTSTART:20261025T023000\r\nRRULE:FREQ=WEEKLY;COUNT=2", "20261025T0030;20261101T0130;|20261025T0630;20261101T0730;", "", 0},
      {"DTSTART:20261101T013000\r\nRRULE:FREQ=WEEKLY;COUNT=2", "20261101T0030;20261108T0030;|20261101T0530;20261108T0630;", "", 0},
      {"DTSTART;TZID=America/New_York:20260105T090000\r\nRRULE:FREQ=DAILY;UNTIL=20260107T090000",
       "20260105T1400;20260106T1400;20260107T1400;", "", 0},
      // Added dates in their own zone, also without a rule.
      {"DTSTART:20260301T120000Z\r\nRDATE;TZID=America/New_York:20260320T100000\r\n"
       "RDATE;VALUE=PERIOD;TZID=Asia/Tokyo:20260321T100000/20260321T120000",
       "20260301T1200;20260320T1400;20260321T0100;", "", 0},
      {"DTSTART;TZID=America/New_York:20260301T100000\r\nRDATE;TZID=America/New_York:20260320T100000",
       "20260301T1500;20260320T1400;", "", 0},
      {"DTSTART;VALUE=DATE:20260320\r\nRDATE;VALUE=DATE:20260325,20260401", "20260320;20260325;20260401;", "", 0},
      // Dated changes after 2038 of a zone without a yearly rule.
      {"DTSTART;TZID=Africa/Casablanca:20401001T120000", "20401001T1200;", "", 0},
      {"DTSTART;TZID=Africa/El_Aaiun:20450801T120000", "20450801T1200;", "", 0},
      {"DTSTART;TZID=Eastern Standard Time:20260701T090000", "20260701T1300;", "", 0},
      {"DTSTART;TZID=W. Europe Standard Time:20260115T090000", "20260115T0800;", "", 0},
      {"DTSTART;TZID=Runaway:20260115T090000", "", "\"Runaway\" of the calendar was not read: its rules change", 0},
      {"DTSTART;TZID=Far:20260115T090000", "", "\"Far\" of the calendar was not read: its TZOFFSETTO lies beyond", 0},
      {"DTSTART;TZID=Day:20260115T090000", "", "\"Day\" of the calendar was not read: its TZOFFSETTO lies beyond", 0},
      {"DTSTART:00010101T090000Z", "", "outside the years 100 to 9999", 0},
      {"DTSTART:20260329T003000Z\r\nDTEND:20260329T013000Z", "20260329T0030;", "", 3600},
      {"DTSTART:20261025T003000Z\r\nDTEND:20261025T013000Z", "20261025T0030;", "", 3600},
      {"DTSTART:20260308T063000Z\r\nDTEND:20260308T073000Z", "20260308T0630;", "", 3600},
      {"DTSTART:20261101T053000Z\r\nDTEND:20261101T063000Z", "20261101T0530;", "", 3600},
  };
  const std::string zones = FixedZone("Runaway", "+0100", "+0100", "RRULE:FREQ=DAILY\r\n") +
                            FixedZone("Far", "+0000", "+9999") + FixedZone("Day", "+0000", "+2400");
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
    const std::string all = c.expected;
    const size_t bar = all.find('|');
    const bool newYork = CDateTime(15, 1, 2026, CDateTime::kUtc).GetHour(CDateTime::kAsLocal) == 19;
    const std::string expected = bar == std::string::npos ? all : newYork ? all.substr(bar + 1) : all.substr(0, bar);
    ASSERT_EQ(1u, target.events.size());
    EXPECT_EQ(expected, Occurrences(*target.events[0]));
    if (c.length) {
      EXPECT_EQ(c.length, target.events[0]->GetOccurrenceLength().ClockSeconds());
    }
    CFieldBuffer record;
    CCalEvent stored;  // the event read back from its stored record
    ASSERT_TRUE(EncodeEventRecord(*target.events[0], kEventRecordLive, &record) &&
                DecodeEventRecord(record.GetData(), record.GetUsed(), &stored));
    EXPECT_EQ(expected, Occurrences(stored));
    // The export read back gives the same instants.
    FakeTarget again;
    CICalConverter(&prompts).ImportICalString(CICalConverter().ExportCalendarICal(target.List(), {}), again, false);
    ASSERT_EQ(1u, again.events.size());
    EXPECT_EQ(expected, Occurrences(*again.events[0]));
  }
}

}  // namespace
