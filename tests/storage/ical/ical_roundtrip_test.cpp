// A calendar of every feature survives export, import into an empty
// calendar and export again; another reader understands what we write.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
#include "platform/process.h"
#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

CDateTime At(int day, int month, int hour, int minute = 0) {
  CDateTime d(day, month, 2024);
  d.SetTime(hour, minute, 0);
  return d;
}

std::unique_ptr<CCalEvent> Base(const char* name, const char* uid, const CDateTime& start) {
  auto e = std::make_unique<CCalEvent>();
  e->name = name;
  e->uid = uid;
  e->start = start;
  e->end = start;
  e->end.AddTime(1, 0, 0);
  e->showEnd = 1;
  e->nextOccurrence = start;
  e->alarmOn = 1;
  e->leadTime = CDuration::Minutes(15);
  e->sequence = 3;
  return e;
}

std::vector<std::unique_ptr<CCalEvent>> EveryFeature() {
  std::vector<std::unique_ptr<CCalEvent>> list;
  auto weekly = Base("Caf\xE9", "weekly@test", At(5, 1, 9));
  weekly->oneTime = 0;
  weekly->recurrence.GetRule()->frequency = CRecurrenceRule::kWeekly;
  weekly->calculateAge = 1;
  weekly->type = "Birthday,Family";
  weekly->notes = "Line one\nLine two; with, punctuation";
  weekly->url = "https://example.org/caf\xE9";
  weekly->alarmSoundFile = "C:\\sounds\\a,b.wav";
  weekly->recurrence.excludedDates.InsertSorted(At(12, 1, 9));
  weekly->recurrence.addedDates.InsertSorted(CDateRange(At(20, 1, 10), At(20, 1, 11)));
  COccurrenceOverride moved;
  moved.moved = 1;
  moved.start = At(19, 1, 14);
  moved.end = At(19, 1, 15);
  weekly->occurrenceOverrides[At(19, 1, 9)] = moved;
  COccurrenceOverride renamed;
  renamed.mask = COccurrenceOverride::kName;
  renamed.name = "Caf\xE9 special";
  weekly->occurrenceOverrides[At(26, 1, 9)] = renamed;
  weekly->occurrenceStates[At(5, 1, 9)] = COccurrenceState(1, CDateTime());
  weekly->occurrenceStates[At(2, 2, 9)] = COccurrenceState(0, At(2, 2, 9, 10));
  list.push_back(std::move(weekly));

  auto allDay = Base("Holiday", "allday@test", CDateTime(8, 1, 2024));
  allDay->allDay = 1;
  allDay->end = CDateTime(10, 1, 2024);
  list.push_back(std::move(allDay));

  auto easter = Base("Good Friday", "easter@test", CDateTime(29, 3, 2024));
  easter->oneTime = 0;
  easter->allDay = 1;
  easter->showEnd = 0;
  easter->recurrence.GetRule()->frequency = CRecurrenceRule::kEaster;
  easter->recurrence.GetRule()->offsetDays = -2;
  list.push_back(std::move(easter));
  return list;
}

std::vector<uint8_t> Record(const CCalEvent& e) {
  CFieldBuffer b;
  EXPECT_TRUE(EncodeEventRecord(e, kEventRecordLive, &b));
  return std::vector<uint8_t>(b.GetData(), b.GetData() + b.GetUsed());
}

ICalCalendarHeader Header() {
  ICalCalendarHeader h;
  h.name = "Caf\xE9";
  h.publishAlarms = true;
  return h;
}

TEST(IcalRoundTrip, EveryFeatureComesBackEqual) {
  UseDefaultSettings();
  auto original = EveryFeature();
  std::vector<const CCalEvent*> list;
  for (auto& e : original) list.push_back(e.get());
  CICalConverter out;
  const std::string first = out.ExportCalendarICal(list, Header());
  EXPECT_TRUE(out.HasAdvancedRule());

  FakeTarget target;
  target.header = Header();
  CICalConverter in;
  in.ImportICalString(first, target);
  EXPECT_EQ(in.GetAddedCount(), 3);
  ASSERT_EQ(target.events.size(), original.size());
  for (size_t i = 0; i < original.size(); ++i)
    EXPECT_EQ(Record(*target.events[i]), Record(*original[i])) << original[i]->name;
  EXPECT_EQ(target.events[0]->type, "Birthday,Family");
  EXPECT_EQ(target.events[0]->alarmSoundFile, "C:\\sounds\\a,b.wav");

  const std::string second = CICalConverter().ExportCalendarICal(target.List(), Header());
  EXPECT_EQ(second, first);
}

#ifndef _WIN32
TEST(IcalRoundTrip, AnotherReaderReadsTheExport) {
  UseDefaultSettings();
  auto original = EveryFeature();
  std::vector<const CCalEvent*> list;
  for (auto& e : original) list.push_back(e.get());
  const char* script =
      "import sys, icalendar\n"
      "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
      "t = lambda v: v.to_ical().decode() if v is not None else ''\n"
      "with open(sys.argv[2], 'w', encoding='utf-8') as out:\n"
      "  for e in cal.walk('VEVENT'):\n"
      "    out.write('|'.join([str(e.get('SUMMARY')), t(e.get('DTSTART')), t(e.get('DTEND')), t(e.get('RRULE'))]) + '\\n')\n";
  EXPECT_EQ(ReadByPython(CICalConverter().ExportCalendarICal(list, Header()), script, "almacora_export"),
            "Caf\xC3\xA9|20240105T090000|20240105T100000|FREQ=WEEKLY\n"
            "Caf\xC3\xA9|20240119T140000|20240119T150000|\n"
            "Caf\xC3\xA9 special|20240126T090000|20240126T100000|\n"
            "Holiday|20240108|20240111|\n"
            "Good Friday|20240329||\n");
}
#endif

}  // namespace
