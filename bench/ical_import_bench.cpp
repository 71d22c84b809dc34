// iCalendar export and import of N events (10,000 by default). The events
// are exported (timed), then the text is imported into a new calendar file
// (timed) through the calendar's own add. The engine flushes the file each
// time it grows, as it must; the count and time of those flushes are
// printed apart, and of the rest, the time inside the calendar's adds and
// the converter's own.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <libical/ical.h>

#include "bench/bench_scratch.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/os_file.h"
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_target.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// The calendar file as the import's target, timing its adds.
class TimedCalendar : public IICalTarget {
 public:
  TimedCalendar(CEventArray& events, CCalendarFile& calendar) : events_(events), calendar_(calendar) {}
  ICalCalendarHeader& Header() override { return header_; }
  CCalEvent* FindEventByUid(const std::string& uid) override { return events_.FindInCalendar(&calendar_, uid); }
  bool AddEvent(std::unique_ptr<CCalEvent> event) override {
    event->calendar = &calendar_;
    CCalEvent* raw = event.release();
    const auto from = Clock::now();
    const int ok = calendar_.AddEvent(raw, 0, &events_);
    addSeconds += Seconds(from);
    if (!ok) delete raw;
    return ok != 0;
  }
  bool UpdateEvent(CCalEvent& event) override { return calendar_.UpdateEvent(&event, &events_, 0, 0, 0) != 0; }
  double addSeconds = 0;

 private:
  CEventArray& events_;
  CCalendarFile& calendar_;
  ICalCalendarHeader header_;
};

std::vector<std::unique_ptr<CCalEvent>> MakeEvents(int count) {
  std::vector<std::unique_ptr<CCalEvent>> events;
  for (int i = 0; i < count; ++i) {
    auto e = std::make_unique<CCalEvent>();
    e->name = "Event " + std::to_string(i);
    e->uid = "bench-" + std::to_string(i) + "@almacora";
    e->type = i % 3 ? "Birthday" : "Work";
    e->notes = "Notes of event " + std::to_string(i) + ", with a comma; and more text.";
    e->start = CDateTime(1 + i % 28, 1 + i % 12, 2000 + i % 25);
    e->start.SetTime(8 + i % 10, (i * 7) % 60, 0);
    e->end = e->start;
    e->end.AddTime(1, 0, 0);
    e->showEnd = 1;
    e->nextOccurrence = e->start;
    e->alarmOn = 1;
    e->leadTime = CDuration::Minutes(15);
    if (i % 2) {
      e->oneTime = 0;
      e->recurrence.GetRule()->frequency = static_cast<int16_t>(CRecurrenceRule::kDaily + i % 4);
      e->recurrence.excludedDates.InsertSorted(CDateTime(1, 2, 2025));
    }
    events.push_back(std::move(e));
  }
  return events;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  CProgramSettings& s = g_Settings;
  s.AlarmLength = 5;
  s.AlarmRepeatLength = 20;
  s.AlarmSoundEnabled = 1;
  s.AlarmSoundFile = "whip.wav";
  s.EventTypeNames = {"Birthday", "Work"};

  const auto events = MakeEvents(count);
  std::vector<const CCalEvent*> list;
  for (const auto& e : events) list.push_back(e.get());
  ICalCalendarHeader header;
  header.name = "Bench";
  header.publishAlarms = true;
  auto t = Clock::now();
  const std::string text = CICalConverter().ExportCalendarICal(list, header);
  const double exportSeconds = Seconds(t);

  // The library's own parse of the same text, the floor under the import.
  t = Clock::now();
  icalcomponent* parsed = icalparser_parse_string(text.c_str());
  const double parseSeconds = Seconds(t);
  icalcomponent_free(parsed);

  const benchcal::ScratchDir scratch("almacora_ical_bench");
  if (!scratch.ok()) return 1;
  const std::filesystem::path& dir = scratch.path();
  if (StartStorageEngine() != 0) {
    std::printf("engine start failed\n");
    return 1;
  }
  CEventArray array;
  CCalendarFile calendar;
  if (!calendar.CreateFile((dir / "bench.akv").string())) {
    std::printf("create failed\n");
    return 1;
  }
  TimedCalendar target(array, calendar);
  const platform::FileFlushTotals before = platform::GetFileFlushTotals();
  t = Clock::now();
  CICalConverter importer;
  {
    // As the import into a calendar runs it: one batch for the text.
    CCalendarFile::BatchScope batch(&calendar);
    importer.ImportICalString(text, target);
  }
  const double importSeconds = Seconds(t);
  const platform::FileFlushTotals after = platform::GetFileFlushTotals();
  const double flushSeconds = after.seconds - before.seconds;

  t = Clock::now();
  CICalConverter again;
  {
    CCalendarFile::BatchScope batch(&calendar);
    again.ImportICalString(text, target);
  }
  const double againSeconds = Seconds(t);

  std::printf("export      %6d events %8.3f s (%zu bytes)\n", count, exportSeconds, text.size());
  std::printf("import      %6d added  %8.3f s total (%.2fx the library's parse, %.3f s)\n", importer.GetAddedCount(),
              importSeconds, importSeconds / parseSeconds, parseSeconds);
  std::printf("  flushes   %6llu        %8.3f s\n", static_cast<unsigned long long>(after.count - before.count),
              flushSeconds);
  std::printf("  the rest                %8.3f s\n", importSeconds - flushSeconds);
  std::printf("    of it, calendar adds  %8.3f s\n", target.addSeconds - flushSeconds);
  std::printf("    of it, the converter  %8.3f s\n", importSeconds - target.addSeconds);
  std::printf("same again  %6d added  %d updated %8.3f s\n", again.GetAddedCount(), again.GetUpdatedCount(),
              againSeconds);
  const bool ok = importer.GetAddedCount() == count && array.size() == static_cast<size_t>(count);
  calendar.Close(&array);
  return ok ? 0 : 1;
}
