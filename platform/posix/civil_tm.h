// CivilTime into struct tm for the POSIX side. Internal to platform/posix.
#pragma once

#include <ctime>

#include "platform/civil_time.h"

namespace platform {

// The date and time of day of c as a struct tm (weekday, day of the year
// and daylight flag 0), unchecked: each caller checks the ranges it needs.
inline std::tm CivilToTm(const CivilTime& c) {
  std::tm tm{};
  tm.tm_year = c.year - 1900;
  tm.tm_mon = c.month - 1;
  tm.tm_mday = c.day;
  tm.tm_hour = c.hour;
  tm.tm_min = c.minute;
  tm.tm_sec = c.second;
  return tm;
}

}  // namespace platform
