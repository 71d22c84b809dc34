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
// A write can also end the process: kKill at the Nth write before it moves
// a byte, kTear after moving only the bytes before the first page boundary
// the write crosses. That is what a killed writer, a power cut or an OS
// crash leaves (the OS keeps whole pages, not whole writes), and the crash
// tests walk N over every write of a run with both.
//
// A recorder, for the replay tests, sees every write (its position and
// bytes, before they move) and every flush, in order.
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
// kKill (writes): std::_Exit(exit_code) before the write moves a byte.
// kTear (writes): the write moves its bytes up to the first multiple of
// kFaultPageSize past its start (none when it crosses no such boundary),
// then std::_Exit(exit_code). For any other kind of call both are kFail.
enum class FileFaultKind { kFail, kShort, kKill, kTear };

constexpr uint32_t kFaultPageSize = 4096;

struct FileFaultPlan {
  FileFaultOp op = FileFaultOp::kWrite;
  uint64_t nth = 1;  // 1 = the next call of that kind
  FileFaultKind kind = FileFaultKind::kFail;
  bool persistent = false;
  int exit_code = 77;  // kKill, kTear
};

struct OsFile;

// Told of each write before it moves a byte (all of it, also when a plan
// then cuts it) and of each flush, from the calling thread, in call order
// under one mutex.
class FileWriteRecorder {
 public:
  virtual ~FileWriteRecorder() = default;
  virtual void Write(const OsFile* file, uint64_t position, const void* bytes, uint32_t length) = 0;
  virtual void Flush(const OsFile* file) = 0;
};
// Installs one (null: none). It works with or without an armed plan.
void SetFileWriteRecorder(FileWriteRecorder* recorder);

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
// kKill and kTear come only from TakeWriteFault: the side moves *length
// bytes (0 for kKill) and then calls EndProcessForFault.
enum class FileFaultAction { kNone, kFail, kShort, kKill, kTear };

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
FileFaultAction TakeWrite(const OsFile* file, uint64_t position, const void* bytes, uint32_t* length);
void TakeFlush(const OsFile* file);
}  // namespace file_faults_detail

// Whether a plan or a recorder is armed: a side may skip work (asking the
// OS for the file position) that only they need.
inline bool FileFaultsWatching() { return file_faults_detail::g_armed.load(std::memory_order_relaxed); }

// Ends the process as a crash would: no destructors, no buffered output.
[[noreturn]] void EndProcessForFault();

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

// For the write sides: a write of *length bytes at position (its bytes at
// `bytes`); *length may come back smaller (kShort, kTear, kKill).
inline FileFaultAction TakeWriteFault(const OsFile* file, uint64_t position, const void* bytes, uint32_t* length) {
  CountFileCall(FileFaultOp::kWrite);
  if (!file_faults_detail::g_armed.load(std::memory_order_relaxed)) return FileFaultAction::kNone;
  return file_faults_detail::TakeWrite(file, position, bytes, length);
}

// For the flush sides: kNone or kFail.
inline FileFaultAction TakeFlushFault(const OsFile* file) {
  CountFileCall(FileFaultOp::kFlush);
  if (!file_faults_detail::g_armed.load(std::memory_order_relaxed)) return FileFaultAction::kNone;
  file_faults_detail::TakeFlush(file);
  return file_faults_detail::Take(FileFaultOp::kFlush);
}

}  // namespace platform
