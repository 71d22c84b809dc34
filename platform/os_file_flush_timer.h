// Internal to platform/: the timer each side's FlushOsFile runs under,
// adding to the totals GetFileFlushTotals reports.
#pragma once

#include <chrono>

namespace platform {

void AddFileFlush(std::chrono::steady_clock::duration took);

class FlushTimer {
 public:
  FlushTimer() : from_(std::chrono::steady_clock::now()) {}
  ~FlushTimer() { AddFileFlush(std::chrono::steady_clock::now() - from_); }
  FlushTimer(const FlushTimer&) = delete;
  FlushTimer& operator=(const FlushTimer&) = delete;

 private:
  std::chrono::steady_clock::time_point from_;
};

}  // namespace platform
