// The process-wide totals of FlushOsFile.
#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/os_file.h"
#include "platform/os_file_flush_timer.h"

namespace platform {

namespace {
std::atomic<uint64_t> g_flushes{0};
std::atomic<uint64_t> g_flushNanoseconds{0};
}  // namespace

void AddFileFlush(std::chrono::steady_clock::duration took) {
  g_flushes.fetch_add(1, std::memory_order_relaxed);
  g_flushNanoseconds.fetch_add(
      static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(took).count()),
      std::memory_order_relaxed);
}

FileFlushTotals GetFileFlushTotals() {
  FileFlushTotals totals;
  totals.count = g_flushes.load(std::memory_order_relaxed);
  totals.seconds = static_cast<double>(g_flushNanoseconds.load(std::memory_order_relaxed)) / 1e9;
  return totals;
}

}  // namespace platform
