// The shared count behind injected file faults. Calls from several threads
// count under one mutex, so the Nth call is exactly one call.
#include "platform/os_file_faults.h"
#include "platform/os_file.h"

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

}  // namespace

void ArmFileFault(const FileFaultPlan& plan) {
  std::lock_guard<std::mutex> hold(g_mutex);
  g_plan = plan;
  g_seen = 0;
  g_fired = false;
  file_faults_detail::g_armed.store(plan.nth != 0, std::memory_order_relaxed);
}

void DisarmFileFaults() {
  std::lock_guard<std::mutex> hold(g_mutex);
  file_faults_detail::g_armed.store(false, std::memory_order_relaxed);
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
  if (!g_armed.load(std::memory_order_relaxed) || op != g_plan.op) return FileFaultAction::kNone;
  ++g_seen;
  if (g_seen < g_plan.nth) return FileFaultAction::kNone;
  g_fired = true;
  if (!g_plan.persistent) g_armed.store(false, std::memory_order_relaxed);
  return g_plan.kind == FileFaultKind::kShort ? FileFaultAction::kShort : FileFaultAction::kFail;
}

}  // namespace file_faults_detail

}  // namespace platform
