// Freezes the platform clock for the life of a scope, so tests of anything
// that asks "what time is it" are repeatable.
#pragma once

#include "platform/clock.h"

namespace testsupport {

class FixedClock {
 public:
  explicit FixedClock(const platform::CivilTime& utc) { platform::SetFixedUtcNow(&utc); }
  ~FixedClock() { platform::SetFixedUtcNow(nullptr); }
  void Set(const platform::CivilTime& utc) { platform::SetFixedUtcNow(&utc); }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;
};

inline platform::CivilTime Civil(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  platform::CivilTime c;
  c.year = y;
  c.month = mo;
  c.day = d;
  c.hour = h;
  c.minute = mi;
  c.second = s;
  c.millisecond = ms;
  return c;
}

}  // namespace testsupport
