#include "platform/clock.h"
#include "platform/clock_source.h"

#include <windows.h>

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
  if (c.year < 1601 || c.year > 30827 || c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 ||
      c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59 ||
      c.millisecond < 0 || c.millisecond > 999)
    return false;
  *st = SYSTEMTIME{};
  st->wYear = static_cast<WORD>(c.year);
  st->wMonth = static_cast<WORD>(c.month);
  st->wDay = static_cast<WORD>(c.day);
  st->wHour = static_cast<WORD>(c.hour);
  st->wMinute = static_cast<WORD>(c.minute);
  st->wSecond = static_cast<WORD>(c.second);
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
