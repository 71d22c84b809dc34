#include "platform/date_format.h"

#include <windows.h>

#include "platform/win32/civil_system_time.h"

namespace platform {

namespace {

bool ToSystemTime(const CivilTime& c, SYSTEMTIME* st) {
  if (!CivilToSystemTime(c, st)) return false;
  // A round trip through FILETIME fills the weekday and rejects 31 April.
  FILETIME ft;
  if (!SystemTimeToFileTime(st, &ft)) return false;
  return FileTimeToSystemTime(&ft, st) != FALSE;
}

}  // namespace

std::string FormatShortDate(const CivilTime& date) {
  SYSTEMTIME st;
  if (!ToSystemTime(date, &st)) return std::string();
  char buf[80] = {0};
  int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf) : std::string();
}

std::string FormatAbbreviatedDayName(const CivilTime& date) {
  SYSTEMTIME st;
  if (!ToSystemTime(date, &st)) return std::string();
  char buf[40] = {0};
  int n = GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "ddd", buf, sizeof buf);
  return n > 0 ? std::string(buf) : std::string();
}

std::string FormatTimeNoSeconds(const CivilTime& time) {
  SYSTEMTIME st;
  if (!ToSystemTime(time, &st)) return std::string();
  char buf[80] = {0};
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf) : std::string();
}

}  // namespace platform
