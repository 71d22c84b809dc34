// Injected file faults, for tests: the Nth read, write, lock, flush or
// rename through the OS file layer fails (or moves only half its bytes), so a test
// can walk N over every call a workload makes and watch the engine answer
// each failure with an error code.
//
// One process-wide plan: an operation kind and a count. Every call of that
// kind counts down; the Nth is the fault. A one-shot plan disarms itself
// after the fault; a persistent one also fails every later call of that
// kind (a device that has gone away) until DisarmFileFaults.
//
// Disarmed, the file calls pay one relaxed atomic load and nothing else.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace platform {

// kRename: RenameOsFile; // kReplace: ReplaceOsFile (a kShort plan fails it like kFail).
enum class FileFaultOp { kRead, kWrite, kLock, kFlush, kRename, kReplace };

// kFail: the call fails at once and moves nothing. kShort: a read moves
// half the bytes and reports success with the short count (as at end of
// file); a write moves half and fails with kFileDiskFull; a lock, flush or
// rename cut short is simply a failure (a rename moves nothing).
enum class FileFaultKind { kFail, kShort };

struct FileFaultPlan {
  FileFaultOp op = FileFaultOp::kWrite;
  uint64_t nth = 1;  // 1 = the next call of that kind
  FileFaultKind kind = FileFaultKind::kFail;
  bool persistent = false;
};

// Arms the plan and resets the counts. nth 0 is refused (stays disarmed).
void ArmFileFault(const FileFaultPlan& plan);
// Disarms; the counts of the last plan stay readable.
void DisarmFileFaults();
// Whether the armed plan's fault has happened (also after a one-shot plan
// disarmed itself; reset by ArmFileFault).
bool FileFaultFired();
// Calls of the plan's kind seen since ArmFileFault (the faulted ones too).
uint64_t FileFaultCallsSeen();

// What the OS file sides ask. kNone: go on as usual.
enum class FileFaultAction { kNone, kFail, kShort };

// Every OS file call the file sides made since the process began, by kind
// (an unlock counts as a lock call), and the seconds spent in flushes: the
// benchmarks read them. Counting is always on; it costs one relaxed add.
struct FileCallCounts {
  uint64_t reads = 0, writes = 0, locks = 0, flushes = 0;
  double flush_seconds = 0;
};
FileCallCounts FileCallsMade();

namespace file_faults_detail {
extern std::atomic<bool> g_armed;
extern std::atomic<uint64_t> g_calls[6];
extern std::atomic<uint64_t> g_flush_nanoseconds;
FileFaultAction Take(FileFaultOp op);
}  // namespace file_faults_detail

inline void CountFileCall(FileFaultOp op) {
  file_faults_detail::g_calls[static_cast<int>(op)].fetch_add(1, std::memory_order_relaxed);
}

// Adds the time of one OS flush, from its construction to its end.
class FlushTimer {
 public:
  ~FlushTimer() {
    const auto spent = std::chrono::steady_clock::now() - from_;
    file_faults_detail::g_flush_nanoseconds.fetch_add(
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count()),
        std::memory_order_relaxed);
  }

 private:
  std::chrono::steady_clock::time_point from_ = std::chrono::steady_clock::now();
};

inline FileFaultAction TakeFileFault(FileFaultOp op) {
  CountFileCall(op);
  if (!file_faults_detail::g_armed.load(std::memory_order_relaxed)) return FileFaultAction::kNone;
  return file_faults_detail::Take(op);
}

}  // namespace platform
