// Opening a calendar of N events (10,000 by default) through the
// document's start-up: the file is written once, then the start-up that
// opens and loads it is timed. Prints the time and, for the same load, the
// OS file reads and lock calls the engine made per loaded event (the
// figures to bring down where each call is dear, as under Wine).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_calendar.h"
#include "model/settings/program_settings.h"
#include "platform/os_file_faults.h"
#include "storage/almacora_doc.h"

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
  benchcal::Scratch scratch("almacora_open_bench", "open_bench");
  if (!scratch.ok()) return 1;
  const std::string path = scratch.Path("bench.akv");
  const auto from = Clock::now();
  const bool written = benchcal::WriteCalendar(path, count, [](CCalEvent& e, int i) {
    if (i % 3 == 0) {
      e.oneTime = 0;
      e.recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;
    }
  });
  if (!written) return 1;
  std::printf("write %d events: %.2f s\n", count, std::chrono::duration<double>(Clock::now() - from).count());
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
  return 0;
}
