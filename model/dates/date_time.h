// CDateTime: the program's one date-and-time value, and the calendar
// arithmetic on plain numbers beside it.
//
// A value is a Julian day number (1 January 2000 is 2451545; 0 means "no
// date"), seconds since midnight, a zone kind saying how to read the two and,
// for named zones, the zone identifier. Weekdays are 1 Monday .. 7 Sunday
// everywhere.
//
// Getters take a mode: kAsLocal (0) reads the value as local wall-clock time,
// kAsUtc (1) as UTC, any other value (kAsStored, 2) as stored. A value of
// zone kind kNamedZone converts exactly as a UTC value does; its TZID only
// matters to the comparison rule.
//
// Two special values survive every conversion unchanged:
//   - the empty value (Julian day 0): it converts, formats and compares as
//     "no date" in every mode;
//   - a value with seconds of day kNoTimeOfDay (-1): a date without a time of
//     day. It is the same date in every zone, so local/UTC conversion leaves
//     it alone; its hour, minute and second read as 0.
//
// Local/UTC conversion goes through platform/clock.h and applies the offset
// in force on the converted date (a summer date converted in winter still
// gets the summer offset). Dates the platform cannot convert (before 1601)
// are returned as stored.
#pragma once

#include <cstdint>
#include <string>

#include "platform/civil_time.h"

class CDuration;

// ---- Calendar arithmetic on plain numbers ---------------------------------
// Years are full years unless stated otherwise.

// Gregorian rule: divisible by 4 and not by 100, or divisible by 400.
bool IsLeapYear(int year);
// 365 or 366.
int DaysInYear(int year);
// Length of month 1..12 of the year (February 29 in leap years); 0 for a
// month outside 1..12.
int DaysInMonth(int month, int year);
// day >= 1, month 1..12 and day <= DaysInMonth(month, year).
bool IsValidDate(int month, int day, int year);
// The Julian day of a Gregorian date, 0 for an invalid date. A year 0..99
// means 1900..1999 (so (3, 15, 5) is 15 March 1905).
int32_t JulianDayFromDate(int month, int day, int year);
// The calendar date of a Julian day (meaningful from 1 March of year 0 on).
// Julian day 0 yields month 0, day 0, year 0.
void DateFromJulianDay(int32_t julianDay, int* month, int* day, int* year);
// Weekday 1 Monday .. 7 Sunday of a Julian day.
int WeekdayOfJulianDay(int32_t julianDay);
// The Julian day of the Monday of ISO 8601 week `week` of `year` (a year
// 0..99 means 1900..1999); 0 when week is outside 1..53 or is 53 in a year
// of 52 weeks.
int32_t IsoWeekStart(int week, int year);
// 52 or 53: 53 when 1 January is a Thursday, or a Wednesday in a leap year.
int IsoWeeksInYear(int year);
// 7 * index + firstWeekday - 1: the Julian day on which week `index` of
// CDateTime::GetWeekIndex(firstWeekday) begins.
int32_t WeekIndexStart(int32_t index, int firstWeekday);
// The Julian day of Easter Sunday of a Gregorian year (general computus,
// valid for every year from 1583 on). A year 0..99 means 1900..1999.
int32_t EasterJulianDay(int year);
// "Monday" .. "Sunday" for 1..7; nullptr for any other number.
const char* GetWeekdayName(int weekday);
// 1 when the user's locale shows times on a 24-hour clock, else 0. Read
// afresh on every call.
int IsLocale24Hour();
// Makes IsLocale24Hour answer `value` (0 or 1) instead of the locale; -1
// returns to the locale. For tests of 12- and 24-hour texts.
void SetLocale24HourOverride(int value);

// ---- The value -------------------------------------------------------------

class CDateTime {
 public:
  // Zone kinds.
  static constexpr int kFloating = 0;   // local wall-clock time
  static constexpr int kUtc = 1;
  static constexpr int kNamedZone = 2;  // an iCalendar TZID, converted as UTC
  // Getter modes.
  static constexpr int kAsLocal = 0;
  static constexpr int kAsUtc = 1;
  static constexpr int kAsStored = 2;
  // Seconds-of-day value of a date without a time of day.
  static constexpr int32_t kNoTimeOfDay = -1;
  static constexpr int32_t kSecondsPerDay = 86400;

  // The empty value: Julian day 0, seconds 0, floating, no TZID.
  CDateTime() = default;
  // That date at 00:00:00; Julian day 0 when the date is invalid. A year
  // 0..99 means 1900..1999.
  CDateTime(int day, int month, int year, int zoneKind = kFloating);
  // That Julian day at 00:00:00. CDateTime(0, 0) is the empty value.
  CDateTime(int32_t julianDay, int zoneKind);

  // Today's local date at 00:00:00 with the given zone kind (the digits are
  // the local date whatever the kind, as the program has always done).
  static CDateTime Today(int zoneKind = kFloating);
  // A value from its raw members.
  static CDateTime FromParts(int32_t julianDay, int32_t secondsOfDay, int zoneKind);
  // The current local time (floating) / UTC time (zone kind kUtc), to the
  // second, from the platform clock (tests freeze it with SetFixedUtcNow).
  static CDateTime NowLocal();
  static CDateTime NowUtc();

  // ---- Setters: each leaves the members it does not name unchanged.
  // Julian day of that date (0 when invalid) and seconds 0.
  void SetDate(int day, int month, int year);
  // The Julian day and seconds 0.
  void SetJulianDay(int32_t julianDay);
  // Seconds of day = 3600 * hours + 60 * minutes + seconds; no range check.
  void SetTime(int hours, int minutes, int seconds);
  void SetSecondsOfDay(int32_t seconds);
  void SetZoneKind(int zoneKind);
  void SetTzid(const std::string& tzid);
  // Julian day, seconds and zone kind at once; the TZID is kept.
  void SetParts(int32_t julianDay, int32_t secondsOfDay, int zoneKind);
  // The current UTC date and time; zone kind kUtc; TZID unchanged.
  void SetNowUtc();
  // The current local date and time; zone kind kFloating; TZID unchanged.
  void SetNowLocal();
  // Easter Sunday of the year at 00:00:00; zone kind and TZID unchanged.
  void SetEaster(int year);
  // Makes the value empty (Julian day 0, seconds 0, floating, no TZID).
  void Clear();

  // ---- Raw members.
  bool IsEmpty() const { return julianDay_ == 0; }
  bool HasTimeOfDay() const { return seconds_ != kNoTimeOfDay; }
  int32_t GetRawJulianDay() const { return julianDay_; }
  int32_t GetRawSecondsOfDay() const { return seconds_; }
  int GetZoneKind() const { return zoneKind_; }
  const std::string& GetTzid() const { return tzid_; }

  // ---- Getters in a mode.
  // Julian day and seconds of day in the mode. Mode kAsLocal converts zone
  // kinds kUtc and kNamedZone to local time; mode kAsUtc converts kFloating
  // to UTC; anything else is as stored. Empty values and values without a
  // time of day are never converted.
  void GetParts(int mode, int32_t* julianDay, int32_t* seconds) const;
  int32_t GetJulianDay(int mode = kAsStored) const;
  int32_t GetSecondsOfDay(int mode = kAsStored) const;
  // Calendar date in the mode; month, day and year 0 for the empty value.
  void GetDate(int* month, int* day, int* year, int mode = kAsStored) const;
  int GetDay(int mode = kAsStored) const;
  int GetMonth(int mode = kAsStored) const;
  int GetYear(int mode = kAsStored) const;  // four digits
  // Hour 0..23, minute 0..59, second 0..59; all 0 without a time of day.
  int GetHour(int mode = kAsStored) const;
  int GetMinute(int mode = kAsStored) const;
  int GetSecond(int mode = kAsStored) const;
  // 1 Monday .. 7 Sunday.
  int GetWeekday(int mode = kAsStored) const;
  // 1..366.
  int GetDayOfYear(int mode = kAsStored) const;
  int GetDaysInMonth(int mode = kAsStored) const;
  // ISO 8601 week number 1..53.
  int GetIsoWeek(int mode = kAsStored) const;
  // The start of the week (beginning on firstWeekday, 1..7) that holds the
  // value's day in the mode: that day at 00:00:00, floating, no TZID.
  CDateTime GetWeekStart(int firstWeekday, int mode = kAsStored) const;
  // (Julian day in the mode - firstWeekday + 1) div 7 (floor): goes up by
  // one on every firstWeekday. WeekIndexStart is its inverse.
  int32_t GetWeekIndex(int firstWeekday, int mode = kAsStored) const;
  // Year, month, day, hour, minute and second in the mode; milliseconds 0.
  void GetCivilTime(platform::CivilTime* out, int mode = kAsStored) const;
  // The same under the name the views and dialogs use; the platform's
  // system-time record is a CivilTime here (the window code converts it).
  void GetSystemTime(platform::CivilTime* out, int mode = kAsStored) const { GetCivilTime(out, mode); }
  // A new value holding the parts in that mode, with zone kind equal to the
  // mode (kAsLocal gives floating, kAsUtc gives UTC) and an empty TZID. Any
  // other mode gives a plain copy.
  CDateTime ConvertedTo(int mode) const;
  // A new value denoting the same moment read the way `reference` is read:
  // for a floating reference the local parts, floating; for a UTC or
  // named-zone reference the UTC parts with the reference's zone kind and
  // TZID (so the result compares with the reference as stored).
  CDateTime ConvertedToZoneOf(const CDateTime& reference) const;
  // The basis of every comparison: both values as stored when their zone
  // kinds are equal (and, for named zones, their TZIDs are equal), else both
  // as local time.
  void GetComparableParts(const CDateTime& other, int32_t* day1, int32_t* seconds1,
                          int32_t* day2, int32_t* seconds2) const;

  // ---- Arithmetic. Zone kind and TZID are kept; the empty value stays
  // empty (there is no date to move).
  // Adds the time, carrying or borrowing whole days; the seconds of day end
  // in 0..86399 (a value without a time of day starts from 00:00:00).
  void AddTime(int hours, int minutes, int seconds);
  // Adds (or subtracts) whole days; the time of day is kept.
  void AddDays(int32_t days);
  // Adds the duration; sign 0 changes nothing. Years and months keep the day
  // of month (limited to the resulting month's length) and the time of day.
  // Keeping the time is deliberate, not a slip: resetting it to 00:00:00 on
  // a month or year step lost the time of every monthly or yearly value
  // (31 January 2005 10:00:00 plus one month is 28 February 2005 10:00:00).
  void AddDuration(const CDuration& duration);
  // Adds a copy of the duration with its sign negated.
  void SubtractDuration(const CDuration& duration);

  // ---- Comparison on the basis of GetComparableParts: (Julian day, seconds
  // of day) in that order. Zone kinds and TZIDs themselves are never compared.
  bool operator==(const CDateTime& other) const;
  bool operator!=(const CDateTime& other) const;
  bool operator<(const CDateTime& other) const;
  bool operator>(const CDateTime& other) const;
  bool operator<=(const CDateTime& other) const;
  bool operator>=(const CDateTime& other) const;
  // First Julian day minus the second on the same basis, in whole days.
  int32_t operator-(const CDateTime& other) const;
  // Same Julian day, seconds, zone kind and TZID (member by member).
  bool IsIdenticalTo(const CDateTime& other) const;

  // ---- iCalendar text.
  // Accepts "" (the empty value), "YYYYMMDD" (that date at 00:00:00),
  // "YYYYMMDDTHHMMSS" (floating) and "YYYYMMDDTHHMMSSZ" (UTC); hours 0..23,
  // minutes and seconds 0..59. Returns true and sets Julian day, seconds and
  // zone kind (floating unless "Z") on success. Any other text (wrong length,
  // non-digits, impossible date or time) returns false and makes the value
  // empty. The TZID is not touched.
  bool ParseICal(const std::string& text);
  // "YYYYMMDDTHHMMSS" in the mode, followed by "Z" only when those digits
  // are UTC (mode kAsUtc, or as stored for zone kind kUtc). The empty value
  // gives ""; a value without a time of day gives "YYYYMMDD".
  std::string FormatICal(int mode) const;
  // Time of day in the mode for lists and labels: "14:30", "0:00" on a
  // 24-hour clock; "9am", "9:30am", "12am", "12pm", "1:05pm" on a 12-hour
  // clock. "" for the empty value and for a value without a time of day.
  std::string FormatTime(int mode) const;
  // As FormatTime, with the clock convention given instead of read.
  std::string FormatTime(int mode, bool use24Hour) const;

 private:
  int32_t julianDay_ = 0;
  int32_t seconds_ = 0;
  int32_t zoneKind_ = kFloating;
  std::string tzid_;
};
