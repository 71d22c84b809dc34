// CDuration: a signed span of calendar and clock time.
//
// The parts are kept separately and never normalised into each other:
// years and months are calendar units, weeks and days count days, hours,
// minutes and seconds are clock time. The parts are magnitudes (0 or more in
// every value the program builds); the direction belongs to the sign alone:
// 0 no duration (adding it changes nothing, whatever the parts hold), > 0
// forward, < 0 backward. The program writes 1 and -1.
//
// Adding a duration to a date-time is CDateTime::AddDuration.
#pragma once

#include <cstdint>

class CDateTime;

class CDuration {
 public:
  int16_t sign = 0;
  int32_t years = 0;
  int32_t months = 0;
  int32_t days = 0;
  int32_t weeks = 0;
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;

  // Sign 0, every part 0.
  CDuration() = default;

  // A duration of one part. A negative amount gives sign -1 and the
  // magnitude; 0 gives sign 1 and no parts.
  static CDuration Years(int32_t n);
  static CDuration Months(int32_t n);
  static CDuration Weeks(int32_t n);
  static CDuration Days(int32_t n);
  static CDuration Hours(int32_t n);
  static CDuration Minutes(int32_t n);
  static CDuration Seconds(int32_t n);

  // Sign 0 and every part 0.
  void Clear();
  // True when adding it changes nothing: sign 0, or every part 0.
  bool IsNone() const;
  // The same parts with the sign negated.
  CDuration Negated() const;

  // Sign and all seven parts equal, member by member: one week is not equal
  // to seven days, and sign 0 is not equal to sign 1 with no parts.
  bool operator==(const CDuration& other) const;
  bool operator!=(const CDuration& other) const { return !(*this == other); }

  // The duration from `first` to `second`, in days, hours, minutes and
  // seconds (never weeks, months or years), measured on local time when
  // both are local (floating) values, else between their UTC instants. The sign
  // is 1 when first is not later than second, -1 otherwise; equal values
  // (under the CDateTime comparison rule) give sign 1 and no parts. When
  // either value is empty the result is sign 1 and no parts, and a value
  // without a time of day counts as its midnight.
  void SetBetween(const CDateTime& first, const CDateTime& second);

  // The signed length in seconds of the days, weeks, hours, minutes and
  // seconds parts (years and months are not fixed lengths and are left out);
  // 0 for sign 0.
  int64_t ClockSeconds() const;
};
