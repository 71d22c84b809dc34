#include "platform/date_format.h"

#include <windows.h>

namespace platform {

namespace {

bool ToSystemTime(const CivilTime& c, SYSTEMTIME* st) {
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
