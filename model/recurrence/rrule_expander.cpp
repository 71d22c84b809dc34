// Period expansion of a recurrence pattern. See rrule_expander.h.
#include "model/recurrence/rrule_expander.h"

#include <algorithm>
#include <numeric>

#include "model/dates/date_time.h"

namespace rrule {

namespace {

constexpr int kLastYear = 9999;  // searches never go beyond this year

int32_t DayOf(int64_t moment) { return static_cast<int32_t>(FloorDiv(moment, kSecondsPerDay)); }

int YearOfDay(int32_t jd) {
  int m, d, y;
  DateFromJulianDay(jd, &m, &d, &y);
  return y;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// DaysInMonth for a month known to be 1..12, without the call.
int MonthLength(int month, int year) {
  static const int kLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kLengths[month] + ((month == 2 && IsLeap(year)) ? 1 : 0);
}

// JulianDayFromDate for a date known to be valid, worked out here rather
// than called: the searches ask it for every period. The same number,
// including its reading of a year 0..99 as 1900..1999.
// WeekdayOfJulianDay, worked out here.
int Weekday(int32_t jd) {
  int r = jd % 7;
  return (r < 0 ? r + 7 : r) + 1;
}

// Calls f(first day, month, its length) for each month of first..last
// (whole months; (m, y) is the month of `first`) that `monthMask` allows
// (0: every month). A whole year goes straight to the months allowed.
template <typename F>
void ForEachMonth(int32_t first, int32_t last, int m, int y, uint16_t monthMask, F f) {
  const bool leap = IsLeap(y);
  if (monthMask && m == 1 && last - first + 1 == (leap ? 366 : 365)) {
    static const int kDaysBefore[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    for (int month = 1; month <= 12; ++month)
      if ((monthMask >> month) & 1) f(first + kDaysBefore[month] + (leap && month > 2 ? 1 : 0), month, MonthLength(month, y));
    return;
  }
  for (int32_t monthStart = first; monthStart <= last;) {
    const int dim = MonthLength(m, y);
    if (!monthMask || ((monthMask >> m) & 1)) f(monthStart, m, dim);
    monthStart += dim;
    if (++m > 12) {
      m = 1;
      ++y;
    }
  }
}

int Widened(int year) { return (year >= 0 && year <= 99) ? year + 1900 : year; }

int32_t Jd(int month, int day, int year) {
  year = Widened(year);
  int64_t m = month > 2 ? month - 3 : month + 9;
  int64_t y = month > 2 ? year : year - 1;
  int64_t c = FloorDiv(y, 100);
  int64_t ya = y - 100 * c;
  return static_cast<int32_t>(FloorDiv(146097 * c, 4) + (153 * m + 2) / 5 + day + (1461 * ya) / 4 + 1721119);
}

// The allowed values 0..hi of one time-of-day level as a bit set: the given
// ones in range, else the start's value (coarser frequencies) or all of them.
// 0 when values were given and none is in range.
uint64_t TimeMask(Span<uint16_t> given, int hi, bool fromStart, int startValue) {
  uint64_t mask = 0;
  if (!given.empty()) {
    for (int v : given)
      if (v <= hi) mask |= uint64_t{1} << v;
    return mask;
  }
  if (fromStart) return uint64_t{1} << startValue;
  return hi == 63 ? ~uint64_t{0} : (uint64_t{1} << (hi + 1)) - 1;
}

// The values of a bit set, ascending.
template <size_t N>
void ListOfMask(uint64_t mask, InlineList<uint8_t, N>* out) {
  out->clear();
  for (int v = 0; mask; ++v, mask >>= 1)
    if (mask & 1) out->push_back(static_cast<uint8_t>(v));
}

// Periods of a frequency in one year, roughly: how many years one interval
// spans decides how far beyond the usual limit a search must look.
int64_t PeriodsPerYear(int frequency) {
  switch (frequency) {
    case kMonthly: return 12;
    case kWeekly: return 52;
    case kDaily: return 365;
    case kHourly: return 365 * 24;
    case kMinutely: return 365 * 24 * 60;
    case kSecondly: return 365LL * 24 * 3600;
    default: return 1;
  }
}

}  // namespace

bool Expander::Compile(const Pattern& pattern, int64_t workingStart) {
  valid_ = false;
  cacheValid_ = false;
  cachedMoments_.clear();
  if (pattern.frequency < kSecondly || pattern.frequency > kEaster || pattern.interval < 1) return false;

  frequency_ = pattern.frequency;
  interval_ = pattern.interval;
  weekStart_ = (pattern.weekStart >= 1 && pattern.weekStart <= 7) ? pattern.weekStart : 1;
  start_ = workingStart;
  int32_t startDay = DayOf(start_);
  startSeconds_ = static_cast<int32_t>(start_ - int64_t{startDay} * kSecondsPerDay);
  int startMonth, startDom, startYear;
  DateFromJulianDay(startDay, &startMonth, &startDom, &startYear);
  int startWeekday = WeekdayOfJulianDay(startDay);
  startPeriod_ = PeriodOf(start_);

  int64_t perYear = PeriodsPerYear(frequency_);
  int64_t extra = (interval_ - 1 + perYear - 1) / perYear;
  limitYears_ = static_cast<int>(std::min<int64_t>(int64_t{pattern.yearSearchLimit} + extra, kLastYear));

  monthMask_ = 0;
  weekNos_.clear();
  yearDays_.clear();
  monthDays_.clear();
  setPos_.clear();
  byDay_.clear();
  leapDayFallback_ = false;
  ordinalsUsed_ = false;
  ordinalsByMonth_ = false;

  if (frequency_ == kEaster) {
    // Easter rules take no BY lists: every Easter Sunday at the start's time.
    valid_ = true;
    return true;
  }

  bool hasMonth = !pattern.byMonth.empty();
  bool hasWeekNo = !pattern.byWeekNo.empty();
  bool hasYearDay = !pattern.byYearDay.empty();
  bool hasMonthDay = !pattern.byMonthDay.empty();
  bool hasDay = !pattern.byDayWeekdays.empty();

  for (int m : pattern.byMonth)
    if (m >= 1 && m <= 12) monthMask_ |= static_cast<uint16_t>(1u << m);
  if (hasMonth && monthMask_ == 0) return false;  // only impossible months
  weekNos_.assign(pattern.byWeekNo.begin(), pattern.byWeekNo.end());
  yearDays_.assign(pattern.byYearDay.begin(), pattern.byYearDay.end());
  monthDays_.assign(pattern.byMonthDay.begin(), pattern.byMonthDay.end());
  setPos_.assign(pattern.bySetPos.begin(), pattern.bySetPos.end());
  for (size_t i = 0; i < pattern.byDayWeekdays.size(); ++i) {
    int w = pattern.byDayWeekdays[i];
    int ord = i < pattern.byDayOrdinals.size() ? pattern.byDayOrdinals[i] : 0;
    if (w >= 1 && w <= 7) byDay_.push_back({w, ord});
  }
  anyOrdinal_ = false;
  for (const ByDay& e : byDay_) anyOrdinal_ = anyOrdinal_ || e.ordinal != 0;
  if (hasDay && byDay_.empty()) return false;  // only impossible weekdays

  // What the series start supplies when the BY lists leave a level open.
  switch (frequency_) {
    case kYearly:
      if (!hasWeekNo && !hasYearDay && !hasMonthDay && !hasDay) {
        if (!hasMonth) {
          monthMask_ = static_cast<uint16_t>(1u << startMonth);
          // A yearly date of 29 February is kept on 28 February in common
          // years rather than skipping three years out of four.
          leapDayFallback_ = (startMonth == 2 && startDom == 29);
        }
        monthDays_.push_back(startDom);
      } else if (hasWeekNo && !hasYearDay && !hasMonthDay && !hasDay) {
        byDay_.push_back({startWeekday, 0});
      } else if (hasMonthDay && !hasMonth && !hasYearDay && !hasWeekNo && !hasDay) {
        monthMask_ = static_cast<uint16_t>(1u << startMonth);
      }
      ordinalsUsed_ = true;
      ordinalsByMonth_ = hasMonth;
      break;
    case kMonthly:
      if (!hasMonthDay && !hasYearDay && !hasDay) monthDays_.push_back(startDom);
      ordinalsUsed_ = true;
      ordinalsByMonth_ = true;
      break;
    case kWeekly:
      if (!hasDay) byDay_.push_back({startWeekday, 0});
      break;
    default:
      break;
  }

  everyWeekdayMask_ = 0;
  if (!ordinalsUsed_ || !anyOrdinal_)
    for (const ByDay& e : byDay_) everyWeekdayMask_ = static_cast<uint8_t>(everyWeekdayMask_ | (1u << e.weekday));

  int startHour = startSeconds_ / 3600, startMinute = startSeconds_ / 60 % 60, startSecond = startSeconds_ % 60;
  hourMask_ = static_cast<uint32_t>(TimeMask(pattern.hours, 23, frequency_ > kHourly, startHour));
  minuteMask_ = TimeMask(pattern.minutes, 59, frequency_ > kMinutely, startMinute);
  secondMask_ = TimeMask(pattern.seconds, 59, frequency_ > kSecondly, startSecond);
  if (!hourMask_ || !minuteMask_ || !secondMask_) return false;
  ListOfMask(hourMask_, &hourList_);
  ListOfMask(minuteMask_, &minuteList_);
  ListOfMask(secondMask_, &secondList_);
  // Daily and coarser rules put the same times on every selected day.
  dayTimes_.clear();
  if (frequency_ >= kDaily)
    for (int h : hourList_)
      for (int m : minuteList_)
        for (int s : secondList_) dayTimes_.push_back(h * 3600 + m * 60 + s);

  const bool onlyWeekdays = monthMask_ == 0 && weekNos_.empty() && yearDays_.empty() && monthDays_.empty() &&
                            setPos_.empty();
  plainPeriods_ = onlyWeekdays && ((frequency_ == kDaily && byDay_.empty()) || frequency_ == kWeekly);
  periodMoments_.clear();
  if (plainPeriods_) {
    // A week starts on its week-start day; a weekly rule's BYDAY ordinals
    // count for nothing.
    const int days = frequency_ == kWeekly ? 7 : 1;
    for (int offset = 0; offset < days; ++offset) {
      const int weekday = (weekStart_ - 1 + offset) % 7 + 1;
      bool picked = frequency_ == kDaily;
      for (const ByDay& e : byDay_) picked = picked || e.weekday == weekday;
      if (!picked) continue;
      for (int32_t t : dayTimes_) periodMoments_.push_back(offset * 86400 + t);
    }
  }

  CompileTimesOfDay();

  valid_ = true;
  return true;
}

void Expander::CompileTimesOfDay() {
  noTimeReachable_ = false;
  passingTimesListed_ = false;
  passingTimes_.clear();
  if (frequency_ >= kDaily) return;
  const int64_t unit = frequency_ == kHourly ? 3600 : frequency_ == kMinutely ? 60 : 1;
  const int64_t step = (interval_ % kSecondsPerDay) * unit % kSecondsPerDay;
  timeClass_ = std::gcd(step, kSecondsPerDay);  // a whole number of days: kSecondsPerDay
  timeCycle_ = kSecondsPerDay / timeClass_;
  // The inverse of step / class modulo the cycle, by the extended Euclid.
  int64_t a = (step / timeClass_) % timeCycle_, b = timeCycle_, x0 = 1, x1 = 0;
  while (b) {
    const int64_t q = a / b;
    std::swap(a, b);
    b -= q * a;
    std::swap(x0, x1);
    x1 -= q * x0;
  }
  stepInverse_ = timeCycle_ == 1 ? 0 : ((x0 % timeCycle_) + timeCycle_) % timeCycle_;

  const int64_t startPeriodStart = PeriodStart(startPeriod_);
  const int64_t startTime = startPeriodStart - FloorDiv(startPeriodStart, kSecondsPerDay) * kSecondsPerDay;
  // A period passes on its start's hour (hourly), hour and minute
  // (minutely), or hour, minute and second (secondly).
  static const uint8_t kZero[1] = {0};
  const uint8_t* minutes = frequency_ <= kMinutely ? minuteList_.begin() : kZero;
  const size_t minuteCount = frequency_ <= kMinutely ? minuteList_.size() : 1;
  const uint8_t* seconds = frequency_ == kSecondly ? secondList_.begin() : kZero;
  const size_t secondCount = frequency_ == kSecondly ? secondList_.size() : 1;
  size_t found = 0;
  for (int h : hourList_)
    for (size_t mi = 0; mi < minuteCount; ++mi)
      for (size_t si = 0; si < secondCount; ++si) {
        const int32_t t = h * 3600 + minutes[mi] * 60 + seconds[si];
        if ((t - startTime) % timeClass_ != 0) continue;
        // Many passing times: the period-by-period walk meets one soon.
        if (++found > 16) return;
        passingTimes_.push_back(t);
      }
  noTimeReachable_ = found == 0;
  passingTimesListed_ = found > 0;
}

int64_t Expander::IntervalsToPassingTime(int64_t periodStart) const {
  const int64_t time = periodStart - FloorDiv(periodStart, kSecondsPerDay) * kSecondsPerDay;
  int64_t best = timeCycle_;
  for (int32_t t : passingTimes_) {
    // k steps reach t when k * step = t - time modulo a day.
    int64_t gap = t - time;
    if (gap < 0) gap += kSecondsPerDay;
    best = std::min(best, gap / timeClass_ * stepInverse_ % timeCycle_);
  }
  return best;
}

int64_t Expander::PeriodOf(int64_t moment) const {
  int32_t jd = DayOf(moment);
  switch (frequency_) {
    case kYearly:
    case kEaster: return YearOfDay(jd);
    case kMonthly: {
      int m, d, y;
      DateFromJulianDay(jd, &m, &d, &y);
      return int64_t{y} * 12 + (m - 1);
    }
    case kWeekly: return FloorDiv(int64_t{jd} - weekStart_ + 1, 7);
    case kDaily: return jd;
    case kHourly: return FloorDiv(moment, 3600);
    case kMinutely: return FloorDiv(moment, 60);
    default: return moment;
  }
}

int64_t Expander::PeriodStart(int64_t period) const {
  switch (frequency_) {
    case kYearly:
    case kEaster: return int64_t{Jd(1, 1, static_cast<int>(period))} * kSecondsPerDay;
    case kMonthly: {
      int64_t y = FloorDiv(period, 12);
      return int64_t{Jd(static_cast<int>(period - 12 * y + 1), 1, static_cast<int>(y))} * kSecondsPerDay;
    }
    case kWeekly: return (7 * period + weekStart_ - 1) * kSecondsPerDay;
    case kDaily: return period * kSecondsPerDay;
    case kHourly: return period * 3600;
    case kMinutely: return period * 60;
    default: return period;
  }
}

int64_t Expander::AlignUp(int64_t period) const {
  if (period <= startPeriod_) return startPeriod_;
  int64_t steps = (period - startPeriod_ + interval_ - 1) / interval_;
  return startPeriod_ + steps * interval_;
}

int Expander::YearOfPeriod(int64_t period) const {
  switch (frequency_) {
    case kYearly:
    case kEaster: return period > kLastYear ? kLastYear + 1 : static_cast<int>(period);
    case kMonthly: {
      int64_t y = FloorDiv(period, 12);
      return y > kLastYear ? kLastYear + 1 : static_cast<int>(y);
    }
    default: break;
  }
  // Keep the day number inside 32 bits before asking for its year.
  static const int64_t kLastDay = Jd(12, 31, kLastYear);
  int64_t perDay = frequency_ == kWeekly ? -7 : frequency_ == kDaily ? 1 : frequency_ == kHourly ? 24
                                                  : frequency_ == kMinutely ? 1440 : 86400;
  int64_t day = perDay < 0 ? 7 * period : FloorDiv(period, perDay);
  if (day > kLastDay) return kLastYear + 1;
  return YearOfDay(static_cast<int32_t>(day));
}

bool Expander::WeekNoMatches(int week, int weeksInYear) const {
  for (int v : weekNos_) {
    if (v > 0 && v == week) return true;
    if (v < 0 && weeksInYear + v + 1 == week) return true;
  }
  return false;
}

bool Expander::ByDayMatches(int32_t /*jd*/, int day, int dayOfYear, int weekday, int daysInMonth,
                            int daysInYear) const {
  for (const ByDay& e : byDay_) {
    if (e.weekday != weekday) continue;
    if (!ordinalsUsed_ || e.ordinal == 0) return true;
    int fromFirst, fromLast;
    if (ordinalsByMonth_) {
      fromFirst = (day - 1) / 7 + 1;
      fromLast = (daysInMonth - day) / 7 + 1;
    } else {
      fromFirst = (dayOfYear - 1) / 7 + 1;
      fromLast = (daysInYear - dayOfYear) / 7 + 1;
    }
    if (e.ordinal > 0 ? fromFirst == e.ordinal : fromLast == -e.ordinal) return true;
  }
  return false;
}

bool Expander::DayMatches(int32_t jd, int year, int month, int day, int dayOfYear, int weekday,
                          int daysInMonth, int daysInYear, bool isoYearKnown, int isoYear,
                          int32_t isoStart) const {
  (void)year;
  if (monthMask_ && !((monthMask_ >> month) & 1)) return false;
  if (!weekNos_.empty()) {
    int week, weeks;
    if (isoYearKnown) {
      week = (jd - isoStart) / 7 + 1;
      weeks = IsoWeeksInYear(isoYear);
    } else {
      // The ISO week-year is the one holding this week's Thursday.
      int32_t thursday = jd - (weekday - 1) + 3;
      int ty = YearOfDay(thursday);
      week = (thursday - Jd(1, 1, ty)) / 7 + 1;
      weeks = IsoWeeksInYear(ty);
    }
    if (!WeekNoMatches(week, weeks)) return false;
  }
  if (!yearDays_.empty()) {
    bool ok = false;
    for (int v : yearDays_)
      if ((v > 0 && v == dayOfYear) || (v < 0 && daysInYear + v + 1 == dayOfYear)) ok = true;
    if (!ok) return false;
  }
  if (!monthDays_.empty()) {
    bool ok = false;
    for (int v : monthDays_) {
      if (v > 0 && v == day) ok = true;
      if (v < 0 && daysInMonth + v + 1 == day) ok = true;
      if (leapDayFallback_ && v == 29 && month == 2 && daysInMonth == 28 && day == 28) ok = true;
    }
    if (!ok) return false;
  }
  if (!byDay_.empty() && !ByDayMatches(jd, day, dayOfYear, weekday, daysInMonth, daysInYear)) return false;
  return true;
}

bool Expander::DayOfMomentMatches(int64_t moment) const {
  int32_t jd = DayOf(moment);
  int m, d, y;
  DateFromJulianDay(jd, &m, &d, &y);
  int doy = jd - Jd(1, 1, y) + 1;
  return DayMatches(jd, y, m, d, doy, WeekdayOfJulianDay(jd), DaysInMonth(m, y), DaysInYear(y), false, 0, 0);
}

void Expander::ExpandDays(int32_t first, int32_t last, int m, int d, int y, bool isoYearKnown, int isoYear,
                          Days* days) const {
  int dim = MonthLength(m, y);
  // Monthly and yearly periods are whole months, which the fast paths
  // below resolve month by month.
  const bool wholeMonths = (frequency_ == kMonthly || frequency_ == kYearly) && d == 1 && !isoYearKnown;
  if (wholeMonths && byDay_.empty() && yearDays_.empty() && weekNos_.empty() && !monthDays_.empty()) {
    // Whole months selected by month days alone (the commonest monthly and
    // yearly rules): resolve the days instead of testing each one.
    ForEachMonth(first, last, m, y, monthMask_, [&](int32_t monthStart, int month, int dim) {
      size_t from = days->size();
      for (int v : monthDays_) {
        int day = v > 0 ? v : dim + v + 1;
        if (leapDayFallback_ && v == 29 && month == 2 && dim == 28) day = 28;
        if (day >= 1 && day <= dim) days->push_back(monthStart + day - 1);
      }
      if (days->size() - from > 1) {
        std::sort(days->begin() + from, days->end());
        days->truncate(std::unique(days->begin() + from, days->end()));
      }
    });
    return;
  }
  if (wholeMonths && monthDays_.empty() && yearDays_.empty() && weekNos_.empty() && !byDay_.empty() &&
      (!ordinalsUsed_ || ordinalsByMonth_ || !anyOrdinal_)) {
    // Whole months selected by weekdays alone, ordinals counted in the month.
    ForEachMonth(first, last, m, y, monthMask_, [&](int32_t monthStart, int, int dim) {
      const int wd = Weekday(monthStart);
      if (everyWeekdayMask_) {
        // Only whole weekdays: the month's days in order, no sorting.
        int w = wd;
        for (int day = 1; day <= dim; ++day) {
          if ((everyWeekdayMask_ >> w) & 1) days->push_back(monthStart + day - 1);
          w = w == 7 ? 1 : w + 1;
        }
        return;
      }
      size_t from = days->size();
      for (const ByDay& e : byDay_) {
        int firstDay = 1 + (e.weekday - wd + 7) % 7;
        if (!ordinalsUsed_ || e.ordinal == 0) {
          for (int day = firstDay; day <= dim; day += 7) days->push_back(monthStart + day - 1);
        } else if (e.ordinal > 0) {
          int day = firstDay + 7 * (e.ordinal - 1);
          if (day <= dim) days->push_back(monthStart + day - 1);
        } else {
          int day = firstDay + 7 * ((dim - firstDay) / 7) + 7 * (e.ordinal + 1);
          if (day >= 1) days->push_back(monthStart + day - 1);
        }
      }
      if (days->size() - from > 1) {
        std::sort(days->begin() + from, days->end());
        days->truncate(std::unique(days->begin() + from, days->end()));
      }
    });
    return;
  }
  int diy = IsLeap(y) ? 366 : 365;
  int doy = first - Jd(1, 1, y) + 1;
  int wd = WeekdayOfJulianDay(first);
  int32_t jd = first;
  auto nextMonth = [&]() {
    d = 1;
    if (++m > 12) {
      m = 1;
      ++y;
      doy = 1;
      diy = IsLeap(y) ? 366 : 365;
    }
    dim = MonthLength(m, y);
  };
  while (jd <= last) {
    if (monthMask_ && !((monthMask_ >> m) & 1)) {
      // Skip the rest of a month BYMONTH leaves out.
      int skip = dim - d + 1;
      jd += skip;
      doy += skip;
      wd = (wd - 1 + skip) % 7 + 1;
      nextMonth();
      continue;
    }
    if (DayMatches(jd, y, m, d, doy, wd, dim, diy, isoYearKnown, isoYear, first)) days->push_back(jd);
    ++jd;
    ++doy;
    wd = wd % 7 + 1;
    if (++d > dim) nextMonth();
  }
}

void Expander::ApplySetPos(Moments* moments) {
  if (setPos_.empty()) return;
  int64_t n = static_cast<int64_t>(moments->size());
  InlineList<char, 64>& keep = keep_;
  keep.fill(moments->size(), 0);
  for (int v : setPos_) {
    // Positions outside the period's size select nothing (and a position of
    // 0 is no position at all); the valid ones still apply.
    int64_t index = v > 0 ? v : n + v + 1;
    if (v != 0 && index >= 1 && index <= n) keep[static_cast<size_t>(index - 1)] = 1;
  }
  size_t out = 0;
  for (size_t i = 0; i < moments->size(); ++i)
    if (keep[i]) (*moments)[out++] = (*moments)[i];
  moments->truncate(moments->begin() + out);
}

const Expander::Moments& Expander::Expand(int64_t period) {
  if (cacheValid_ && cachedPeriod_ == period) return cachedMoments_;
  Moments& out = cachedMoments_;
  out.clear();
  Days& days = days_;
  days.clear();
  switch (frequency_) {
    case kYearly: {
      int year = static_cast<int>(period);
      if (!weekNos_.empty()) {
        // Week numbers belong to ISO week-years: week 1 may begin in the
        // December before, the last week may end in the January after.
        const int32_t first = IsoWeekStart(1, year);
        int m, d, y;
        DateFromJulianDay(first, &m, &d, &y);
        ExpandDays(first, IsoWeekStart(1, year + 1) - 1, m, d, y, true, year, &days);
      } else {
        ExpandDays(Jd(1, 1, year), Jd(12, 31, year), 1, 1, Widened(year), false, 0, &days);
      }
      break;
    }
    case kMonthly: {
      const int y = static_cast<int>(FloorDiv(period, 12));
      const int m = static_cast<int>(period - 12 * int64_t{y} + 1);
      const int32_t first = Jd(m, 1, y);
      ExpandDays(first, first + MonthLength(m, Widened(y)) - 1, m, 1, Widened(y), false, 0, &days);
      break;
    }
    case kWeekly:
    case kDaily: {
      const int32_t first = DayOf(PeriodStart(period));
      int m, d, y;
      DateFromJulianDay(first, &m, &d, &y);
      ExpandDays(first, frequency_ == kWeekly ? first + 6 : first, m, d, y, false, 0, &days);
      break;
    }
    default: {
      // Hourly, minutely, secondly: one period lies inside one day.
      int64_t ps = PeriodStart(period);
      if (!DayOfMomentMatches(ps)) break;
      int64_t dayStart = int64_t{DayOf(ps)} * kSecondsPerDay;
      int secs = static_cast<int>(ps - dayStart);
      int h = secs / 3600, mi = secs / 60 % 60, s = secs % 60;
      if (!((hourMask_ >> h) & 1)) break;
      if (frequency_ == kHourly) {
        for (int m2 : minuteList_)
          for (int s2 : secondList_) out.push_back(dayStart + h * 3600 + m2 * 60 + s2);
        break;
      }
      if (!((minuteMask_ >> mi) & 1)) break;
      if (frequency_ == kMinutely) {
        for (int s2 : secondList_) out.push_back(dayStart + h * 3600 + mi * 60 + s2);
        break;
      }
      if ((secondMask_ >> s) & 1) out.push_back(ps);
      break;
    }
  }
  for (int32_t jd : days) {
    const int64_t base = int64_t{jd} * kSecondsPerDay;
    for (int32_t t : dayTimes_) out.push_back(base + t);
  }
  ApplySetPos(&out);
  cachedPeriod_ = period;
  cacheValid_ = true;
  return out;
}

int64_t Expander::SkipPast(int64_t period, int64_t unitSeconds) const {
  int64_t ps = PeriodStart(period);
  int64_t next = (FloorDiv(ps, unitSeconds) + 1) * unitSeconds;
  return PeriodOf(next);
}

bool Expander::FindEaster(int64_t from, int64_t limitYear, int64_t* found) const {
  for (int64_t y = AlignUp(YearOfDay(DayOf(from))); y <= limitYear && y <= kLastYear; y += interval_) {
    int64_t t = int64_t{EasterJulianDay(static_cast<int>(y))} * kSecondsPerDay + startSeconds_;
    if (t >= from) {
      *found = t;
      return true;
    }
  }
  return false;
}

void Expander::DateOf(int32_t jd, int* month, int* day, int* year) {
  if (jd >= memoFirst_ && jd <= memoLast_) {
    *month = memoMonth_;
    *day = jd - memoFirst_ + 1;
    *year = memoYear_;
    return;
  }
  DateFromJulianDay(jd, month, day, year);
  if (*month < 1) return;
  memoFirst_ = jd - *day + 1;
  memoLast_ = memoFirst_ + MonthLength(*month, *year) - 1;
  memoMonth_ = *month;
  memoYear_ = *year;
}

bool Expander::FindPlain(int64_t from, int64_t lastDay, int64_t* found) const {
  // What the general loop does for such a rule, without its day tests: the
  // period of `from` (aligned to the interval) holds the answer unless its
  // moments all lie before `from`; then the next period of the series does.
  // The year limit is tested on the day the general loop tests.
  for (int64_t period = AlignUp(PeriodOf(from));; period += interval_) {
    if ((frequency_ == kWeekly ? 7 * period : period) > lastDay) return false;
    const int64_t base = PeriodStart(period);
    auto it = std::lower_bound(periodMoments_.begin(), periodMoments_.end(), from - base);
    if (it != periodMoments_.end()) {
      *found = base + *it;
      return true;
    }
  }
}

bool Expander::FindOnOrAfter(int64_t from, int64_t* found) {
  if (!valid_ || noTimeReachable_) return false;
  if (from < start_) from = start_;
  // The date of `from` is worked out once: the year limit and the yearly
  // and monthly periods all come from it.
  int fromMonth, fromDom, fromYear;
  DateOf(DayOf(from), &fromMonth, &fromDom, &fromYear);
  int64_t lastYear = std::min<int64_t>(int64_t{fromYear} + limitYears_, kLastYear);
  if (frequency_ == kEaster) return FindEaster(from, lastYear, found);

  if (plainPeriods_) {
    if (lastYear != memoLimitYear_) {
      memoLimitYear_ = lastYear;
      memoLimitDay_ = Jd(12, 31, static_cast<int>(lastYear));
    }
    return FindPlain(from, memoLimitDay_, found);
  }

  int64_t period = frequency_ == kYearly    ? int64_t{fromYear}
                   : frequency_ == kMonthly ? int64_t{fromYear} * 12 + (fromMonth - 1)
                                            : PeriodOf(from);
  // A date early in January may belong to the last ISO week of the year before.
  if (frequency_ == kYearly && !weekNos_.empty()) --period;
  period = AlignUp(period);
  for (;;) {
    if (YearOfPeriod(period) > lastYear) return false;
    if (frequency_ <= kDaily) {
      // Finer frequencies first test the day, hour and minute the period
      // lies in, and jump past the whole unit when it is left out, so a
      // rule that never matches does not walk its years second by second.
      int64_t ps = PeriodStart(period);
      if (!DayOfMomentMatches(ps)) {
        int32_t jd = DayOf(ps);
        int m, d, y;
        DateFromJulianDay(jd, &m, &d, &y);
        int64_t next = int64_t{jd} + 1;
        if (monthMask_ && !((monthMask_ >> m) & 1)) next = int64_t{jd} + DaysInMonth(m, y) - d + 1;
        int64_t nextPeriod = AlignUp(PeriodOf(next * kSecondsPerDay));
        period = nextPeriod > period ? nextPeriod : period + interval_;
        continue;
      }
      if (frequency_ < kDaily) {
        if (passingTimesListed_) {
          const int64_t k = IntervalsToPassingTime(ps);
          if (k > 0) {
            period += k * interval_;
            continue;
          }
        }
        int secs = static_cast<int>(ps - FloorDiv(ps, kSecondsPerDay) * kSecondsPerDay);
        if (!((hourMask_ >> (secs / 3600)) & 1)) {
          int64_t nextPeriod = AlignUp(SkipPast(period, 3600));
          period = nextPeriod > period ? nextPeriod : period + interval_;
          continue;
        }
        if (frequency_ < kHourly && !((minuteMask_ >> (secs / 60 % 60)) & 1)) {
          int64_t nextPeriod = AlignUp(SkipPast(period, 60));
          period = nextPeriod > period ? nextPeriod : period + interval_;
          continue;
        }
      }
    }
    const Moments& moments = Expand(period);
    auto it = std::lower_bound(moments.begin(), moments.end(), from);
    if (it != moments.end()) {
      *found = *it;
      return true;
    }
    period += interval_;
  }
}

}  // namespace rrule
