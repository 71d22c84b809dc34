#include "platform/clock.h"
#include "platform/clock_source.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "platform/win32/civil_system_time.h"

namespace platform {

namespace {

CivilTime FromSystemTime(const SYSTEMTIME& st) {
  CivilTime c;
  c.year = st.wYear;
  c.month = st.wMonth;
  c.day = st.wDay;
  c.hour = st.wHour;
  c.minute = st.wMinute;
  c.second = st.wSecond;
  c.millisecond = st.wMilliseconds;
  return c;
}

bool ToSystemTime(const CivilTime& c, SYSTEMTIME* st) {
  if (c.millisecond < 0 || c.millisecond > 999 || !CivilToSystemTime(c, st)) return false;
  st->wMilliseconds = static_cast<WORD>(c.millisecond);
  // Reject impossible days (31 April) the way the conversions would.
  FILETIME ft;
  return SystemTimeToFileTime(st, &ft) != FALSE;
}

}  // namespace

CivilTime SystemUtcNow() {
  SYSTEMTIME st;
  GetSystemTime(&st);
  return FromSystemTime(st);
}

CivilTime SystemLocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return FromSystemTime(st);
}

namespace {

constexpr int64_t kDayTicks = 864000000000LL;

bool ToTicks(const SYSTEMTIME& s, int64_t* ticks) {
  FILETIME f;
  if (!SystemTimeToFileTime(&s, &f)) return false;
  *ticks = (static_cast<int64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  return true;
}

bool FromTicks(int64_t ticks, SYSTEMTIME* s) {
  const uint64_t u = static_cast<uint64_t>(ticks);
  FILETIME f{static_cast<DWORD>(u), static_cast<DWORD>(u >> 32)};
  return FileTimeToSystemTime(&f, s);
}

// The user's wall clock at the UTC moment `moment`, both in ticks.
bool WallAt(int64_t moment, int64_t* wall) {
  SYSTEMTIME u, l;
  return FromTicks(moment, &u) && SystemTimeToTzSpecificLocalTime(nullptr, &u, &l) && ToTicks(l, wall);
}

}  // namespace

// The Tz-specific calls apply the daylight rule of the date converted, where
// the FILETIME local conversions would apply today's offset.
bool LocalToUtc(const CivilTime& local, CivilTime* utc) {
  SYSTEMTIME in, out;
  if (!ToSystemTime(local, &in)) return false;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &in, &out)) return false;
  // The system's own choice in a gap and in a repeated hour differs between
  // versions; take them as the POSIX build and the program's zone rules do.
  int64_t wall = 0, moment = 0, read = 0, earlier = 0, again = 0;
  if (ToTicks(in, &wall) && ToTicks(out, &moment) && WallAt(moment, &read)) {
    int64_t fixed = moment;
    if (read != wall) {
      // In the gap of a change forward the time does not read back as
      // itself: take it in the offset before the gap, the smaller of the one
      // applied and the one in force at the result.
      fixed = wall - std::min(wall - moment, read - moment);
    } else if (WallAt(moment - kDayTicks, &earlier)) {
      // In the hour repeated by a change back: its first instance, read in
      // the offset in force a day earlier.
      const int64_t first = wall - (earlier - (moment - kDayTicks));
      if (first < moment && WallAt(first, &again) && again == wall) fixed = first;
    }
    if (fixed != moment && !FromTicks(fixed, &out)) return false;
  }
  *utc = FromSystemTime(out);
  return true;
}

bool UtcToLocal(const CivilTime& utc, CivilTime* local) {
  SYSTEMTIME in, out;
  if (!ToSystemTime(utc, &in)) return false;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &in, &out)) return false;
  *local = FromSystemTime(out);
  return true;
}

}  // namespace platform
