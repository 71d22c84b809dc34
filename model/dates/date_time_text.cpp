// CDateTime text forms: the iCalendar date-time and the time of day shown in
// lists.
#include "model/dates/date_time.h"

#include <cstdio>

namespace {

// The decimal value of text[pos, pos + len), or -1 when any character is
// not a digit.
int ReadDigits(const std::string& text, size_t pos, size_t len) {
  int v = 0;
  for (size_t i = pos; i < pos + len; ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

bool CDateTime::ParseICal(const std::string& text) {
  const size_t n = text.size();
  if (n == 0) {
    julianDay_ = 0;
    seconds_ = 0;
    zoneKind_ = kFloating;
    return true;
  }
  bool ok = n == 8 || (n == 15 && text[8] == 'T') || (n == 16 && text[8] == 'T' && text[15] == 'Z');
  int year = -1, month = -1, day = -1, hour = 0, minute = 0, second = 0;
  if (ok) {
    year = ReadDigits(text, 0, 4);
    month = ReadDigits(text, 4, 2);
    day = ReadDigits(text, 6, 2);
    if (n > 8) {
      hour = ReadDigits(text, 9, 2);
      minute = ReadDigits(text, 11, 2);
      second = ReadDigits(text, 13, 2);
    }
    // Four-digit years only: 0005 must not turn into 1905.
    ok = year >= 100 && IsValidDate(month, day, year) && hour >= 0 && hour <= 23 && minute >= 0 &&
         minute <= 59 && second >= 0 && second <= 59;
  }
  if (!ok) {
    julianDay_ = 0;
    seconds_ = 0;
    zoneKind_ = kFloating;
    return false;
  }
  julianDay_ = JulianDayFromDate(month, day, year);
  seconds_ = 3600 * hour + 60 * minute + second;
  zoneKind_ = n == 16 ? kUtc : kFloating;
  return true;
}

std::string CDateTime::FormatICal(int mode) const {
  if (julianDay_ == 0) return std::string();
  char buf[40];
  if (seconds_ == kNoTimeOfDay) {
    int m, d, y;
    DateFromJulianDay(julianDay_, &m, &d, &y);
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
  }
  platform::CivilTime c;
  GetCivilTime(&c, mode);
  // The digits are UTC when UTC was asked for, or when a UTC value is
  // written as stored; local digits never carry the UTC mark.
  bool utcDigits = mode == kAsUtc || (mode != kAsLocal && zoneKind_ == kUtc);
  std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02d%s", c.year, c.month, c.day, c.hour, c.minute,
                c.second, utcDigits ? "Z" : "");
  return buf;
}

std::string CDateTime::FormatTime(int mode) const { return FormatTime(mode, IsLocale24Hour() != 0); }

std::string CDateTime::FormatTime(int mode, bool use24Hour) const {
  if (julianDay_ == 0 || seconds_ == kNoTimeOfDay) return std::string();
  int h = GetHour(mode);
  int mi = GetMinute(mode);
  char buf[24];
  if (use24Hour) {
    std::snprintf(buf, sizeof buf, "%d:%02d", h, mi);
    return buf;
  }
  int shown = h == 0 ? 12 : (h <= 12 ? h : h - 12);
  const char* suffix = h < 12 ? "am" : "pm";
  if (mi == 0)
    std::snprintf(buf, sizeof buf, "%d%s", shown, suffix);
  else
    std::snprintf(buf, sizeof buf, "%d:%02d%s", shown, mi, suffix);
  return buf;
}
