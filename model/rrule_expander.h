// RRuleExpander: the arithmetic core of the recurrence rule. It knows
// nothing of zones, COUNT or UNTIL; it answers "the first instant the
// pattern selects on or after t" on plain moments.
//
// A moment is seconds since the start of Julian day 0 (Julian day * 86400 +
// seconds of day) in the series start's own clock. The rule's frequency
// divides time into periods (years, months, weeks, days, hours, minutes,
// seconds); the BY lists select instants inside one period; BYSETPOS picks
// among them. A search jumps straight to the first interval-aligned period
// that can hold t, so its cost does not depend on how far t lies from the
// series start, and gives up after a bounded stretch of years.
#pragma once

#include <cstdint>
#include <vector>

namespace rrule {

constexpr int64_t kSecondsPerDay = 86400;

enum Frequency : int {
  kSecondly = 1,
  kMinutely = 2,
  kHourly = 3,
  kDaily = 4,
  kWeekly = 5,
  kMonthly = 6,
  kYearly = 7,
  kEaster = 8,
};

// The rule as the expander reads it: values as stored, not yet defaulted.
struct Pattern {
  int frequency = 0;
  int32_t interval = 1;
  int weekStart = 1;                   // 1 Monday .. 7 Sunday
  std::vector<int> byWeekNo;           // signed ISO weeks
  std::vector<int> byYearDay;          // signed
  std::vector<int> byMonthDay;         // signed
  std::vector<int> byDayWeekdays;      // 1..7
  std::vector<int> byDayOrdinals;      // parallel; 0 = every such weekday
  std::vector<int> bySetPos;           // signed
  std::vector<int> byMonth;            // 1..12
  std::vector<int> hours, minutes, seconds;  // empty: taken from the start
  int yearSearchLimit = 10;
};

inline int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

class Expander {
 public:
  // Prepares the pattern for searches from the given working start (the
  // series start moved back by the rule's day offset). Returns false, and
  // every later search finds nothing, when the pattern can never select
  // anything: unknown frequency, interval below 1.
  bool Compile(const Pattern& pattern, int64_t workingStart);

  // The first selected moment that is not before `from` and not before the
  // working start. False when there is none up to the end of the year
  // yearSearchLimit years (plus the length of one interval) after `from`.
  // Not const: the last expanded period is kept for the next question.
  bool FindOnOrAfter(int64_t from, int64_t* found);

 private:
  struct ByDay {
    int weekday;
    int ordinal;
  };

  int64_t PeriodOf(int64_t moment) const;
  int64_t PeriodStart(int64_t period) const;
  int64_t AlignUp(int64_t period) const;
  int YearOfPeriod(int64_t period) const;
  // The selected moments of one period, ascending (BYSETPOS applied).
  const std::vector<int64_t>& Expand(int64_t period);
  void ExpandDays(int32_t first, int32_t last, bool isoYearKnown, int isoYear, std::vector<int32_t>* days) const;
  bool DayMatches(int32_t jd, int year, int month, int day, int dayOfYear, int weekday, int daysInMonth,
                  int daysInYear, bool isoYearKnown, int isoYear, int32_t isoStart) const;
  bool WeekNoMatches(int week, int weeksInYear) const;
  bool ByDayMatches(int32_t jd, int day, int dayOfYear, int weekday, int daysInMonth, int daysInYear) const;
  bool DayOfMomentMatches(int64_t moment) const;
  void ApplySetPos(std::vector<int64_t>* moments);
  bool FindPlain(int64_t from, int lastYear, int64_t* found) const;
  // For the finer frequencies: the first period past the part of time
  // (day, hour, minute) holding `period` that failed its filter.
  int64_t SkipPast(int64_t period, int64_t unitSeconds) const;
  bool FindEaster(int64_t from, int64_t limit, int64_t* found) const;

  bool valid_ = false;
  int frequency_ = 0;
  int64_t interval_ = 1;
  int weekStart_ = 1;
  int64_t start_ = 0;      // working start
  int64_t startPeriod_ = 0;
  int32_t startSeconds_ = 0;
  int limitYears_ = 10;

  uint16_t monthMask_ = 0;  // bit m for month m; 0 = every month
  std::vector<int> weekNos_, yearDays_, monthDays_, setPos_;
  std::vector<ByDay> byDay_;
  bool ordinalsByMonth_ = false;  // BYDAY ordinals count within the month, else the year
  bool ordinalsUsed_ = false;
  bool anyOrdinal_ = false;       // some BYDAY entry has an ordinal
  bool leapDayFallback_ = false;  // a yearly 29 February falls on the 28th in common years
  uint32_t hourMask_ = 0;         // 0 = every hour (only finer frequencies leave it open)
  uint64_t minuteMask_ = 0, secondMask_ = 0;
  std::vector<int> hourList_, minuteList_, secondList_;

  // Daily rules that no BY list narrows, and weekly ones that only pick
  // weekdays: every period holds the same moments (seconds from the period's
  // start, ascending), so they are answered without expanding the period.
  bool plainPeriods_ = false;
  std::vector<int32_t> periodMoments_;

  int64_t cachedPeriod_ = 0;
  bool cacheValid_ = false;
  std::vector<int64_t> cachedMoments_;
  // Scratch lists kept between expansions so that each one allocates nothing.
  std::vector<int32_t> days_;
  std::vector<char> keep_;
};

}  // namespace rrule
