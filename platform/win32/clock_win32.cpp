#include "platform/clock.h"
#include "platform/clock_source.h"

#include <windows.h>

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
  SYSTEMTIME in, out;
  if (!ToSystemTime(local, &in)) return false;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &in, &out)) return false;
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
