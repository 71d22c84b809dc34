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

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/dates/inline_list.h"

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

// Read-only view of a caller's list.
template <typename T>
struct Span {
  const T* data = nullptr;
  size_t count = 0;
  Span() = default;
  explicit Span(const std::vector<T>& v) : data(v.data()), count(v.size()) {}
  const T* begin() const { return data; }
  const T* end() const { return data + count; }
  size_t size() const { return count; }
  bool empty() const { return count == 0; }
  T operator[](size_t i) const { return data[i]; }
};

// The rule as the expander reads it: values as stored, not yet defaulted.
// The lists are views of the caller's own, read during Compile only.
struct Pattern {
  int frequency = 0;
  int32_t interval = 1;
  int weekStart = 1;                   // 1 Monday .. 7 Sunday
  Span<int16_t> byWeekNo;              // signed ISO weeks
  Span<int16_t> byYearDay;             // signed
  Span<int16_t> byMonthDay;            // signed
  Span<int16_t> byDayWeekdays;         // 1..7
  Span<int16_t> byDayOrdinals;         // parallel; 0 = every such weekday
  Span<int16_t> bySetPos;              // signed
  Span<int16_t> byMonth;               // 1..12
  Span<uint16_t> hours, minutes, seconds;  // empty: taken from the start
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
  // False at once for a finer rule whose interval never lands on a time of
  // day its hour, minute and second lists allow.
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
  // A period's days and moments: most periods hold fewer than the inline
  // room, so expanding them allocates nothing.
  using Days = InlineList<int32_t, 64>;
  using Moments = InlineList<int64_t, 64>;

  const Moments& Expand(int64_t period);
  // The selected days first..last; (m, d, y) is the date of `first`.
  void ExpandDays(int32_t first, int32_t last, int m, int d, int y, bool isoYearKnown, int isoYear,
                  Days* days) const;
  bool DayMatches(int32_t jd, int year, int month, int day, int dayOfYear, int weekday, int daysInMonth,
                  int daysInYear, bool isoYearKnown, int isoYear, int32_t isoStart) const;
  bool WeekNoMatches(int week, int weeksInYear) const;
  bool ByDayMatches(int32_t jd, int day, int dayOfYear, int weekday, int daysInMonth, int daysInYear) const;
  bool DayOfMomentMatches(int64_t moment) const;
  void ApplySetPos(Moments* moments);
  // The last day a search may reach is `lastDay`.
  bool FindPlain(int64_t from, int64_t lastDay, int64_t* found) const;
  // DateFromJulianDay, remembering the month of the last answer: questions
  // mostly follow one another within a month.
  void DateOf(int32_t jd, int* month, int* day, int* year);
  // For the finer frequencies: the first period past the part of time
  // (day, hour, minute) holding `period` that failed its filter.
  int64_t SkipPast(int64_t period, int64_t unitSeconds) const;
  bool FindEaster(int64_t from, int64_t limit, int64_t* found) const;
  // Finer frequencies: which seconds of day a period may start on and still
  // pass the hour, minute and second lists, among those the interval reaches.
  void CompileTimesOfDay();
  // How many intervals on from the period starting at `periodStart` the
  // next one starting on a passing time lies (0: this one passes).
  int64_t IntervalsToPassingTime(int64_t periodStart) const;

  bool valid_ = false;
  int frequency_ = 0;
  int64_t interval_ = 1;
  int weekStart_ = 1;
  int64_t start_ = 0;      // working start
  int64_t startPeriod_ = 0;
  int32_t startSeconds_ = 0;
  int limitYears_ = 10;

  uint16_t monthMask_ = 0;  // bit m for month m; 0 = every month
  InlineList<int, 4> weekNos_, yearDays_, setPos_;
  InlineList<int, 8> monthDays_;
  InlineList<ByDay, 8> byDay_;
  bool ordinalsByMonth_ = false;  // BYDAY ordinals count within the month, else the year
  bool ordinalsUsed_ = false;
  bool anyOrdinal_ = false;       // some BYDAY entry has an ordinal
  uint8_t everyWeekdayMask_ = 0;  // bit w: BYDAY takes every weekday w (only when no ordinal counts)
  bool leapDayFallback_ = false;  // a yearly 29 February falls on the 28th in common years
  uint32_t hourMask_ = 0;         // 0 = every hour (only finer frequencies leave it open)
  uint64_t minuteMask_ = 0, secondMask_ = 0;
  InlineList<uint8_t, 24> hourList_;
  InlineList<uint8_t, 60> minuteList_, secondList_;
  InlineList<int32_t, 8> dayTimes_;  // seconds of day of every time, ascending (daily and coarser)

  // Finer frequencies step their period starts by a fixed number of seconds,
  // so the seconds of day they reach are the start's plus the multiples of
  // the step's gcd with a day: one residue class. When no passing time is
  // in it the rule selects nothing; when a few are, the search steps
  // straight to the next period starting on one of them.
  bool noTimeReachable_ = false;
  bool passingTimesListed_ = false;  // passingTimes_ holds every reachable passing time
  InlineList<int32_t, 16> passingTimes_;
  int64_t timeClass_ = kSecondsPerDay;  // gcd(step, day)
  int64_t timeCycle_ = 1;               // periods before the seconds of day repeat
  int64_t stepInverse_ = 0;             // (step / timeClass_)^-1 modulo timeCycle_

  // Daily rules that no BY list narrows, and weekly ones that only pick
  // weekdays: every period holds the same moments (seconds from the period's
  // start, ascending), so they are answered without expanding the period.
  bool plainPeriods_ = false;
  InlineList<int32_t, 16> periodMoments_;

  int32_t memoFirst_ = 1, memoLast_ = 0;  // the remembered month's days
  int memoMonth_ = 0, memoYear_ = 0;
  int64_t memoLimitYear_ = INT64_MIN, memoLimitDay_ = 0;  // last year of a search and its last day

  int64_t cachedPeriod_ = 0;
  bool cacheValid_ = false;
  Moments cachedMoments_;
  // Scratch lists kept between expansions so that each one allocates nothing.
  Days days_;
  InlineList<char, 64> keep_;
};

}  // namespace rrule
