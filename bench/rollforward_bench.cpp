// The first start on a calendar whose yearly events all lie a year behind
// (as a calendar last opened a year ago, or shipped with last year's
// dates): the start-up rolls every one forward and stores it. Timed beside
// the next start on the same file, which has nothing left to roll.
//
// Each start runs in a process of its own, as the program's starts do: in
// the writer's process the next start would reuse the heap the first one
// warmed, and look cheaper than any real start. (The same-process pair is
// printed too.)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_calendar.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "storage/almacora_doc.h"
#include "storage/engine_session.h"

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

#ifdef _WIN32
FILE* OpenPipe(const std::string& command) { return _popen(command.c_str(), "r"); }
int ClosePipe(FILE* pipe) { return _pclose(pipe); }
#else
FILE* OpenPipe(const std::string& command) { return popen(command.c_str(), "r"); }
int ClosePipe(FILE* pipe) { return pclose(pipe); }
#endif

std::string Quoted(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

// One start in a new process running this program with "--start <path>":
// its seconds (negative when it failed), and the events it loaded.
double StartInChild(const char* self, const std::string& path, size_t* loaded) {
  FILE* pipe = OpenPipe(Quoted(self) + " --start " + Quoted(path));
  if (pipe == nullptr) return -1;
  double seconds = -1;
  if (std::fscanf(pipe, "%lf %zu", &seconds, loaded) != 2) seconds = -1;
  ClosePipe(pipe);
  return seconds;
}

// The child's side: the profile the writer made, the engine, one start.
int ChildStart(const std::string& path) {
  platform::ProfileStore profile(platform::ProfileStore::ScratchLocation("rollforward_bench"));
  g_Settings.SetProfile(&profile);
  g_Settings.FirstRun35 = 0;
  g_Settings.FirstRun50 = 0;
  if (StartStorageEngine() != 0) return 1;
  size_t loaded = 0;
  const double seconds = StartOnce(path, &loaded);
  std::printf("%.6f %zu\n", seconds, loaded);
  g_Settings.SetProfile(nullptr);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--start") return ChildStart(argv[2]);
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  benchcal::Scratch scratch("almacora_rollforward_bench", "rollforward_bench");
  if (!scratch.ok()) return 1;
  const std::string path = scratch.Path("bench.akv");
  CDateTime yearAgo = CDateTime::Today();
  yearAgo.AddDays(-370);
  int rolled = 0;
  const auto shape = [&](CCalEvent& e, int i) {
    e.alarmOn = 0;
    if (i % 3 != 0) return;
    e.oneTime = 0;
    e.start = yearAgo;
    e.recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;
    e.nextOccurrence = yearAgo;
    ++rolled;
  };
  const bool written = benchcal::WriteCalendar(path, count, shape);
  if (!written) return 1;
  size_t loaded = 0;
  const double first = StartInChild(argv[0], path, &loaded);
  const double next = StartInChild(argv[0], path, &loaded);
  if (first < 0 || next < 0) {
    std::printf("a start in its own process failed\n");
    return 1;
  }
  std::printf("first start, %d of %zu events rolled forward: %.3f s (%.2f ms per rolled event)\n", rolled, loaded,
              first, rolled ? first * 1e3 / rolled : 0.0);
  std::printf("next start, nothing to roll: %.3f s\n", next);
  std::printf("first / next: %.2f\n", next > 0 ? first / next : 0.0);
  // The same pair in this process, on a copy rolled back as it was written.
  if (!benchcal::WriteCalendar(path, count, shape)) return 1;
  const double firstHere = StartOnce(path, &loaded);
  const double nextHere = StartOnce(path, &loaded);
  std::printf("in one process: first %.3f s, next %.3f s, first / next: %.2f\n", firstHere, nextHere,
              nextHere > 0 ? firstHere / nextHere : 0.0);
  return 0;
}
