// iCalendar export and import of N events (10,000 by default). The events
// are exported (timed), then the text is imported into a new calendar file
// (timed), each new event written as the calendar's record through the
// engine. The engine flushes the file each time it grows, as it must; the
// count and time of those flushes are printed apart, with the rest of the
// import beside them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "isam/fileset/isam_start.h"
#include "isam/record/isam_record.h"
#include "model/cal_event.h"
#include "model/event_codec.h"
#include "model/field_buffer.h"
#include "model/program_settings.h"
#include "platform/os_file.h"
#include "storage/ical/ical_converter.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// A calendar file of the engine's calendar shape as the import's target:
// new events become records, changed ones are rewritten under their UID.
class BenchCalendar : public IICalTarget {
 public:
  explicit BenchCalendar(isam::CalendarFileSet* set) : set_(set) {}
  ICalCalendarHeader& Header() override { return header_; }
  CCalEvent* FindEventByUid(const std::string& uid) override {
    auto it = byUid_.find(uid);
    return it == byUid_.end() ? nullptr : it->second;
  }
  bool AddEvent(std::unique_ptr<CCalEvent> event) override {
    event->changeSerial = static_cast<int32_t>(++serial_);
    CFieldBuffer record;
    if (!EncodeEventRecord(*event, kEventRecordLive, &record)) return false;
    const auto from = Clock::now();
    const int rc = isam::IsamRecordAdd(set_->data_file(), record.GetData(), static_cast<int32_t>(record.GetUsed()));
    engineSeconds += Seconds(from);
    if (rc != 0) return false;
    byUid_[event->uid] = event.get();
    events_.push_back(std::move(event));
    return true;
  }
  bool UpdateEvent(CCalEvent&) override { return false; }
  size_t Count() const { return events_.size(); }
  // Time inside the engine's record adds.
  double engineSeconds = 0;

 private:
  isam::CalendarFileSet* set_;
  ICalCalendarHeader header_;
  uint32_t serial_ = 0;
  std::vector<std::unique_ptr<CCalEvent>> events_;
  std::unordered_map<std::string, CCalEvent*> byUid_;
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

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "almacora_ical_bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  isam::InstallIsamLayer();
  isam::EngineThreadLayerStart(2, 0);
  if (isam::EngineStart(64, 2, 6, 64, 33, nullptr, nullptr, nullptr) != 0) {
    std::printf("engine start failed\n");
    return 1;
  }
  isam::CalendarFileSet set((dir / "bench").string());
  if (isam::CreateFileSetFromIfil(set.block()) != 0) {
    std::printf("create failed\n");
    return 1;
  }
  BenchCalendar calendar(&set);
  const platform::FileFlushTotals before = platform::GetFileFlushTotals();
  t = Clock::now();
  CICalConverter importer;
  importer.ImportICalString(text, calendar);
  const double importSeconds = Seconds(t);
  const platform::FileFlushTotals after = platform::GetFileFlushTotals();
  const double flushSeconds = after.seconds - before.seconds;

  t = Clock::now();
  CICalConverter again;
  again.ImportICalString(text, calendar);
  const double againSeconds = Seconds(t);

  std::printf("export      %6d events %8.3f s (%zu bytes)\n", count, exportSeconds, text.size());
  std::printf("import      %6d added  %8.3f s total\n", importer.GetAddedCount(), importSeconds);
  std::printf("  flushes   %6llu        %8.3f s\n", static_cast<unsigned long long>(after.count - before.count),
              flushSeconds);
  std::printf("  the rest                %8.3f s\n", importSeconds - flushSeconds);
  std::printf("    of it, engine adds    %8.3f s\n", calendar.engineSeconds - flushSeconds);
  std::printf("    of it, the converter  %8.3f s\n", importSeconds - calendar.engineSeconds);
  std::printf("same again  %6d added  %d updated %8.3f s\n", again.GetAddedCount(), again.GetUpdatedCount(),
              againSeconds);
  isam::IsamShutdown();
  std::filesystem::remove_all(dir);
  return importer.GetAddedCount() == count && calendar.Count() == static_cast<size_t>(count) ? 0 : 1;
}
