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

// The Tz-specific calls apply the daylight rule of the date converted, where
// the FILETIME local conversions would apply today's offset.
bool LocalToUtc(const CivilTime& local, CivilTime* utc) {
  SYSTEMTIME in, out, back;
  if (!ToSystemTime(local, &in)) return false;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &in, &out)) return false;
  // A local time in the gap of a change forward does not read back as
  // itself. It is taken in the offset before the gap, the smaller of the
  // one applied and the one in force at the result, as the POSIX build and
  // the program's zone rules take it (the system's own choice differs
  // between versions).
  FILETIME a, b, c;
  if (SystemTimeToTzSpecificLocalTime(nullptr, &out, &back) && SystemTimeToFileTime(&in, &a) &&
      SystemTimeToFileTime(&out, &b) && SystemTimeToFileTime(&back, &c)) {
    const auto ticks = [](const FILETIME& f) { return (static_cast<int64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    const int64_t wall = ticks(a), moment = ticks(b), read = ticks(c);
    if (read != wall) {
      const int64_t before = std::min(wall - moment, read - moment);
      const uint64_t fixed = static_cast<uint64_t>(wall - before);
      FILETIME f{static_cast<DWORD>(fixed), static_cast<DWORD>(fixed >> 32)};
      if (!FileTimeToSystemTime(&f, &out)) return false;
    }
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
