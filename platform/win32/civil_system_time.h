// CivilTime into SYSTEMTIME for the Win32 side. Internal to platform/win32.
#pragma once

#include <windows.h>

#include "platform/civil_time.h"

namespace platform {

// False when c's date or time of day lies outside what a SYSTEMTIME holds
// (year 1601..30827, month 1..12, day 1..31, hour 0..23, minute and second
// 0..59). Else *st holds them, with milliseconds and weekday 0; impossible
// days (31 April) are left to the caller's FILETIME conversion to refuse.
inline bool CivilToSystemTime(const CivilTime& c, SYSTEMTIME* st) {
  if (c.year < 1601 || c.year > 30827 || c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 ||
      c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59)
    return false;
  *st = SYSTEMTIME{};
  st->wYear = static_cast<WORD>(c.year);
  st->wMonth = static_cast<WORD>(c.month);
  st->wDay = static_cast<WORD>(c.day);
  st->wHour = static_cast<WORD>(c.hour);
  st->wMinute = static_cast<WORD>(c.minute);
  st->wSecond = static_cast<WORD>(c.second);
  return true;
}

}  // namespace platform
