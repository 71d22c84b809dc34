#include "platform/clock.h"
#include "platform/clock_source.h"

#include <atomic>
#include <mutex>

namespace platform {

namespace {
std::mutex g_fixedMutex;
bool g_fixed = false;
CivilTime g_fixedValue;
}  // namespace

void SetFixedUtcNow(const CivilTime* utc) {
  std::lock_guard<std::mutex> lock(g_fixedMutex);
  g_fixed = utc != nullptr;
  if (utc) g_fixedValue = *utc;
}

CivilTime UtcNow() {
  {
    std::lock_guard<std::mutex> lock(g_fixedMutex);
    if (g_fixed) return g_fixedValue;
  }
  return SystemUtcNow();
}

CivilTime LocalNow() {
  bool fixed;
  CivilTime value;
  {
    std::lock_guard<std::mutex> lock(g_fixedMutex);
    fixed = g_fixed;
    value = g_fixedValue;
  }
  if (!fixed) return SystemLocalNow();
  CivilTime local;
  if (!UtcToLocal(value, &local)) return value;
  return local;
}

}  // namespace platform
