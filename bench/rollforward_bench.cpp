// The first start on a calendar whose yearly events all lie a year behind
// (as a calendar last opened a year ago, or shipped with last year's
// dates): the start-up rolls every one forward and stores it. Timed beside
// the next start on the same file, which has nothing left to roll.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_calendar.h"
#include "model/settings/program_settings.h"
#include "storage/almacora_doc.h"

namespace {

using Clock = std::chrono::steady_clock;

// One start-up on the file: seconds, and the events it loaded.
double StartOnce(const std::string& path, size_t* loaded) {
  g_Settings.DataFilePaths = {path};
  g_Settings.DataFileEnabled = {1};
  const auto from = Clock::now();
  CAlmacoraDoc doc;
  doc.Start("");
  const double seconds = std::chrono::duration<double>(Clock::now() - from).count();
  *loaded = doc.events().size();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  benchcal::Scratch scratch("almacora_rollforward_bench", "rollforward_bench");
  const std::string path = scratch.Path("bench.akv");
  CDateTime yearAgo = CDateTime::Today();
  yearAgo.AddDays(-370);
  int rolled = 0;
  const bool written = benchcal::WriteCalendar(path, count, [&](CCalEvent& e, int i) {
    e.alarmOn = 0;
    if (i % 3 != 0) return;
    e.oneTime = 0;
    e.start = yearAgo;
    e.recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;
    e.nextOccurrence = yearAgo;
    ++rolled;
  });
  if (!written) return 1;
  size_t loaded = 0;
  const double first = StartOnce(path, &loaded);
  std::printf("first start, %d of %zu events rolled forward: %.3f s (%.2f ms per rolled event)\n", rolled, loaded,
              first, rolled ? first * 1e3 / rolled : 0.0);
  const double next = StartOnce(path, &loaded);
  std::printf("next start, nothing to roll: %.3f s\n", next);
  std::printf("first / next: %.2f\n", next > 0 ? first / next : 0.0);
  return 0;
}
