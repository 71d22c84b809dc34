// Calendar arithmetic on plain numbers: Julian days, month lengths, ISO
// weeks and Easter.
#include "model/dates/date_time.h"

#include <atomic>

#include "platform/locale.h"

namespace {

const int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

const char* const kWeekdayNames[7] = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                      "Friday", "Saturday", "Sunday"};

// Older callers pass two-digit years meaning the 1900s.
int WidenYear(int year) { return (year >= 0 && year <= 99) ? year + 1900 : year; }

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Julian day of a date known to be valid, full year.
int32_t JulianDayOfValidDate(int month, int day, int year) {
  int64_t m, y;
  if (month > 2) {
    m = month - 3;
    y = year;
  } else {
    m = month + 9;
    y = year - 1;
  }
  int64_t c = FloorDiv(y, 100);
  int64_t ya = y - 100 * c;
  return static_cast<int32_t>(FloorDiv(146097 * c, 4) + (153 * m + 2) / 5 + day + (1461 * ya) / 4 + 1721119);
}

// The Monday of ISO week 1 of a full year: the week that holds 4 January.
int32_t IsoWeekOneMonday(int year) {
  int32_t j1 = JulianDayOfValidDate(1, 1, year);
  int w = WeekdayOfJulianDay(j1) - 1;
  int32_t monday = j1 - w;
  if (w > 3) monday += 7;
  return monday;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInYear(int year) { return IsLeapYear(year) ? 366 : 365; }

int DaysInMonth(int month, int year) {
  if (month < 1 || month > 12) return 0;
  return kMonthLengths[month - 1] + ((month == 2 && IsLeapYear(year)) ? 1 : 0);
}

bool IsValidDate(int month, int day, int year) {
  return day >= 1 && month >= 1 && month <= 12 && day <= DaysInMonth(month, year);
}

int32_t JulianDayFromDate(int month, int day, int year) {
  year = WidenYear(year);
  if (!IsValidDate(month, day, year)) return 0;
  return JulianDayOfValidDate(month, day, year);
}

void DateFromJulianDay(int32_t julianDay, int* month, int* day, int* year) {
  if (julianDay == 0) {
    *month = *day = *year = 0;
    return;
  }
  // 4 * (J - 1721119) - 1 split into 400-year, year and month parts. Moved
  // forward by whole 400-year cycles (which shift only the year) so that
  // every division is of a non-negative number: right for days before the
  // year 0 too, and cheaper than floor divisions on the recurrence hot path.
  constexpr uint64_t kCycles = 16000;  // beyond any 32-bit day number
  const uint64_t t = static_cast<uint64_t>(4 * static_cast<int64_t>(julianDay) - 6884477 +
                                           static_cast<int64_t>(4 * 146097 * kCycles));
  const uint64_t c = t / 146097;
  uint64_t r = (t - 146097 * c) / 4;
  const uint64_t u = 4 * r + 3;
  const uint64_t ya = u / 1461;
  r = (u - 1461 * ya + 4) / 4;
  const uint64_t v = 5 * r - 3;
  const uint64_t m = v / 153;
  int d = static_cast<int>((v - 153 * m + 5) / 5);
  int64_t y = static_cast<int64_t>(100 * c + ya) - static_cast<int64_t>(400 * kCycles);
  int mo;
  if (m < 10) {
    mo = static_cast<int>(m + 3);
  } else {
    mo = static_cast<int>(m - 9);
    ++y;
  }
  *month = mo;
  *day = d;
  *year = static_cast<int>(y);
}

int WeekdayOfJulianDay(int32_t julianDay) {
  // Julian day 0 mod 7 is a Monday.
  int64_t r = static_cast<int64_t>(julianDay) % 7;
  if (r < 0) r += 7;
  return static_cast<int>(r) + 1;
}

int32_t IsoWeekStart(int week, int year) {
  if (week < 1 || week > 53) return 0;
  year = WidenYear(year);
  if (week == 53 && IsoWeeksInYear(year) == 52) return 0;
  return IsoWeekOneMonday(year) + 7 * (week - 1);
}

int IsoWeeksInYear(int year) {
  int w = WeekdayOfJulianDay(JulianDayOfValidDate(1, 1, year));
  if (w == 4 || (w == 3 && IsLeapYear(year))) return 53;
  return 52;
}

int32_t WeekIndexStart(int32_t index, int firstWeekday) { return 7 * index + firstWeekday - 1; }

int32_t EasterJulianDay(int year) {
  // The general Gregorian computus: the moon's epact corrections (the
  // century terms) change over the centuries, so fixed constants for one
  // range of years give non-Sundays outside it.
  year = WidenYear(year);
  int a = year % 19;
  int b = year / 100;
  int c = year % 100;
  int d = b / 4;
  int e = b % 4;
  int f = (b + 8) / 25;
  int g = (b - f + 1) / 3;
  int h = (19 * a + b - d - g + 15) % 30;
  int i = c / 4;
  int k = c % 4;
  int l = (32 + 2 * e + 2 * i - h - k) % 7;
  int m = (a + 11 * h + 22 * l) / 451;
  int n = h + l - 7 * m + 114;
  return JulianDayOfValidDate(n / 31, n % 31 + 1, year);
}

const char* GetWeekdayName(int weekday) {
  if (weekday < 1 || weekday > 7) return nullptr;
  return kWeekdayNames[weekday - 1];
}

namespace {
std::atomic<int> g_24HourOverride{-1};
}  // namespace

void SetLocale24HourOverride(int value) { g_24HourOverride = value < 0 ? -1 : (value ? 1 : 0); }

int IsLocale24Hour() {
  int forced = g_24HourOverride;
  if (forced >= 0) return forced;
  return platform::LocaleUses24HourClock() ? 1 : 0;
}
