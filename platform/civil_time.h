// A broken-down calendar time as the operating system reports it. The
// platform layer speaks only in these; the event model turns them into its
// own date-time values.
#pragma once

#include <cstdint>

namespace platform {

struct CivilTime {
  int year = 0;        // full year, e.g. 2026
  int month = 0;       // 1..12
  int day = 0;         // 1..31
  int hour = 0;        // 0..23
  int minute = 0;      // 0..59
  int second = 0;      // 0..59
  int millisecond = 0; // 0..999
};

inline bool operator==(const CivilTime& a, const CivilTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second && a.millisecond == b.millisecond;
}
inline bool operator!=(const CivilTime& a, const CivilTime& b) { return !(a == b); }

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar
// (negative before it); month 1..12, day 1..31. Pure arithmetic: no zone,
// no system call, defined for every year.
long long DaysFromCivil(long long year, unsigned month, unsigned day);

}  // namespace platform
