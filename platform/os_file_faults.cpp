// The shared count behind injected file faults. Calls from several threads
// count under one mutex, so the Nth call is exactly one call.
#include "platform/os_file_faults.h"
#include "platform/os_file.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace file_faults_detail {
std::atomic<bool> g_armed{false};
std::atomic<uint64_t> g_calls[6] = {};
std::atomic<uint64_t> g_flush_nanoseconds{0};
}  // namespace file_faults_detail

namespace {

std::mutex g_mutex;
FileFaultPlan g_plan;
uint64_t g_seen = 0;
bool g_fired = false;
bool g_plan_armed = false;
FileWriteRecorder* g_recorder = nullptr;

// g_mutex held.
void Rearm() { file_faults_detail::g_armed.store(g_plan_armed || g_recorder != nullptr, std::memory_order_relaxed); }

// g_mutex held: whether this call of `op` is the planned fault (and counts it).
bool PlannedFault(FileFaultOp op) {
  if (!g_plan_armed || op != g_plan.op) return false;
  ++g_seen;
  if (g_seen < g_plan.nth) return false;
  g_fired = true;
  if (!g_plan.persistent) {
    g_plan_armed = false;
    Rearm();
  }
  return true;
}

}  // namespace

void ArmFileFault(const FileFaultPlan& plan) {
  std::lock_guard<std::mutex> hold(g_mutex);
  g_plan = plan;
  g_seen = 0;
  g_fired = false;
  g_plan_armed = plan.nth != 0;
  Rearm();
}

void DisarmFileFaults() {
  std::lock_guard<std::mutex> hold(g_mutex);
  g_plan_armed = false;
  Rearm();
}

void SetFileWriteRecorder(FileWriteRecorder* recorder) {
  std::lock_guard<std::mutex> hold(g_mutex);
  g_recorder = recorder;
  Rearm();
}

void EndProcessForFault() {
  int code = 77;
  {
    std::lock_guard<std::mutex> hold(g_mutex);
    code = g_plan.exit_code;
  }
  std::_Exit(code);
}

bool FileFaultFired() {
  std::lock_guard<std::mutex> hold(g_mutex);
  return g_fired;
}

FileCallCounts FileCallsMade() {
  using file_faults_detail::g_calls;
  FileCallCounts c;
  c.reads = g_calls[static_cast<int>(FileFaultOp::kRead)].load(std::memory_order_relaxed);
  c.writes = g_calls[static_cast<int>(FileFaultOp::kWrite)].load(std::memory_order_relaxed);
  c.locks = g_calls[static_cast<int>(FileFaultOp::kLock)].load(std::memory_order_relaxed);
  c.flushes = g_calls[static_cast<int>(FileFaultOp::kFlush)].load(std::memory_order_relaxed);
  c.flush_seconds = static_cast<double>(file_faults_detail::g_flush_nanoseconds.load(std::memory_order_relaxed)) / 1e9;
  return c;
}

FileFlushTotals GetFileFlushTotals() {
  const FileCallCounts calls = FileCallsMade();
  FileFlushTotals totals;
  totals.count = calls.flushes;
  totals.seconds = calls.flush_seconds;
  return totals;
}

uint64_t FileFaultCallsSeen() {
  std::lock_guard<std::mutex> hold(g_mutex);
  return g_seen;
}

namespace file_faults_detail {

FileFaultAction Take(FileFaultOp op) {
  std::lock_guard<std::mutex> hold(g_mutex);
  if (!PlannedFault(op)) return FileFaultAction::kNone;
  return g_plan.kind == FileFaultKind::kShort ? FileFaultAction::kShort : FileFaultAction::kFail;
}

FileFaultAction TakeWrite(const OsFile* file, uint64_t position, const void* bytes, uint32_t* length) {
  std::lock_guard<std::mutex> hold(g_mutex);
  if (g_recorder != nullptr) g_recorder->Write(file, position, bytes, *length);
  if (!PlannedFault(FileFaultOp::kWrite)) return FileFaultAction::kNone;
  switch (g_plan.kind) {
    case FileFaultKind::kFail: return FileFaultAction::kFail;
    case FileFaultKind::kShort: *length /= 2; return FileFaultAction::kShort;
    case FileFaultKind::kKill: *length = 0; return FileFaultAction::kKill;
    case FileFaultKind::kTear: {
      const uint64_t boundary = (position / kFaultPageSize + 1) * kFaultPageSize;
      *length = boundary < position + *length ? static_cast<uint32_t>(boundary - position) : 0;
      return FileFaultAction::kTear;
    }
  }
  return FileFaultAction::kFail;
}

void TakeFlush(const OsFile* file) {
  std::lock_guard<std::mutex> hold(g_mutex);
  if (g_recorder != nullptr) g_recorder->Flush(file);
}

}  // namespace file_faults_detail

}  // namespace platform
