// Opening a calendar of N events (10,000 by default) through the
// document's start-up: the file is written once, then the start-up that
// opens and loads it is timed. Prints the time and, for the same load, the
// OS file reads and lock calls the engine made per loaded event (the
// figures to bring down where each call is dear, as under Wine).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/cal_event.h"
#include "model/program_settings.h"
#include "platform/os_file_faults.h"
#include "platform/profile_store.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"

namespace {

using Clock = std::chrono::steady_clock;

// One start-up on the file; the seconds it took, the events loaded, and
// the calls of `counted` it made (when asked).
double StartOnce(const std::string& path, size_t* loaded, const platform::FileFaultOp* counted, uint64_t* calls) {
  g_Settings.DataFilePaths = {path};
  g_Settings.DataFileEnabled = {1};
  if (counted) {
    platform::FileFaultPlan plan;
    plan.op = *counted;
    plan.nth = ~uint64_t{0};  // never reached: the plan only counts
    platform::ArmFileFault(plan);
  }
  const auto from = Clock::now();
  double seconds = 0;
  {
    CAlmacoraDoc doc;
    doc.Start("");
    seconds = std::chrono::duration<double>(Clock::now() - from).count();
    *loaded = doc.events().size();
    if (counted) *calls = platform::FileFaultCallsSeen();
  }
  platform::DisarmFileFaults();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "almacora_open_bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  platform::ProfileStore profile(platform::ProfileStore::ScratchLocation("open_bench"));
  g_Settings.SetProfile(&profile);
  g_Settings.FirstRun35 = 0;
  g_Settings.FirstRun50 = 0;
  if (StartStorageEngine() != 0) {
    std::printf("engine start failed\n");
    return 1;
  }
  const std::string path = (dir / "bench.akv").string();
  {
    CCalendarFile file;
    if (!file.CreateFile(path)) {
      std::printf("create failed\n");
      return 1;
    }
    CEventArray events;
    const auto from = Clock::now();
    for (int i = 0; i < count; ++i) {
      auto* e = new CCalEvent();
      e->name = "Event " + std::to_string(i);
      e->notes = "Notes of event " + std::to_string(i);
      if (i % 3 == 0) {
        e->oneTime = 0;
        e->recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;
      }
      if (!file.AddEvent(e, 0, &events)) {
        std::printf("add %d failed\n", i);
        return 1;
      }
    }
    std::printf("write %d events: %.2f s\n", count, std::chrono::duration<double>(Clock::now() - from).count());
  }
  size_t loaded = 0;
  const double seconds = StartOnce(path, &loaded, nullptr, nullptr);
  std::printf("start-up open and load: %zu events in %.3f s (%.1f us per event)\n", loaded, seconds,
              loaded ? seconds * 1e6 / static_cast<double>(loaded) : 0.0);
  const struct {
    platform::FileFaultOp op;
    const char* name;
  } kinds[] = {{platform::FileFaultOp::kRead, "reads"}, {platform::FileFaultOp::kLock, "locks"}};
  for (const auto& k : kinds) {
    uint64_t calls = 0;
    StartOnce(path, &loaded, &k.op, &calls);
    std::printf("OS %-5s during start-up: %llu (%.2f per loaded event)\n", k.name,
                static_cast<unsigned long long>(calls),
                loaded ? static_cast<double>(calls) / static_cast<double>(loaded) : 0.0);
  }
  g_Settings.SetProfile(nullptr);
  profile.Clear();
  std::filesystem::remove_all(dir);
  return 0;
}
