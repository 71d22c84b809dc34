// CDuration: factories, equality and the span between two date-times.
#include "model/dates/duration.h"

#include "model/dates/date_time.h"

namespace {

CDuration OnePart(int32_t n, int32_t CDuration::*part) {
  CDuration d;
  d.sign = n < 0 ? -1 : 1;
  d.*part = n < 0 ? -n : n;
  return d;
}

}  // namespace

CDuration CDuration::Years(int32_t n) { return OnePart(n, &CDuration::years); }
CDuration CDuration::Months(int32_t n) { return OnePart(n, &CDuration::months); }
CDuration CDuration::Weeks(int32_t n) { return OnePart(n, &CDuration::weeks); }
CDuration CDuration::Days(int32_t n) { return OnePart(n, &CDuration::days); }
CDuration CDuration::Hours(int32_t n) { return OnePart(n, &CDuration::hours); }
CDuration CDuration::Minutes(int32_t n) { return OnePart(n, &CDuration::minutes); }
CDuration CDuration::Seconds(int32_t n) { return OnePart(n, &CDuration::seconds); }

void CDuration::Clear() { *this = CDuration(); }

bool CDuration::IsNone() const {
  return sign == 0 ||
         (years == 0 && months == 0 && days == 0 && weeks == 0 && hours == 0 && minutes == 0 && seconds == 0);
}

CDuration CDuration::Negated() const {
  CDuration d = *this;
  d.sign = static_cast<int16_t>(-sign);
  return d;
}

bool CDuration::operator==(const CDuration& o) const {
  return sign == o.sign && years == o.years && months == o.months && days == o.days && weeks == o.weeks &&
         hours == o.hours && minutes == o.minutes && seconds == o.seconds;
}

void CDuration::SetBetween(const CDateTime& first, const CDateTime& second) {
  Clear();
  sign = 1;
  if (first.IsEmpty() || second.IsEmpty() || first == second) return;
  const bool forward = first < second;
  if (!forward) sign = -1;
  // Measured on the clock AddDuration adds to: two local times on the
  // local wall clock, anything else between its UTC instants (a span over
  // the computer's own change is then as long as it really is).
  const int clock = first.GetZoneKind() == CDateTime::kFloating && second.GetZoneKind() == CDateTime::kFloating
                        ? CDateTime::kAsLocal
                        : CDateTime::kAsUtc;
  CDateTime earlier = (forward ? first : second).ConvertedTo(clock);
  CDateTime later = (forward ? second : first).ConvertedTo(clock);
  int32_t es = earlier.GetRawSecondsOfDay() < 0 ? 0 : earlier.GetRawSecondsOfDay();
  int32_t ls = later.GetRawSecondsOfDay() < 0 ? 0 : later.GetRawSecondsOfDay();
  int32_t s;
  if (ls >= es) {
    days = later.GetRawJulianDay() - earlier.GetRawJulianDay();
    s = ls - es;
  } else {
    days = later.GetRawJulianDay() - earlier.GetRawJulianDay() - 1;
    s = CDateTime::kSecondsPerDay - es + ls;
  }
  hours = s / 3600;
  minutes = (s % 3600) / 60;
  seconds = s % 60;
}

int64_t CDuration::ClockSeconds() const {
  if (sign == 0) return 0;
  int64_t total = (7LL * weeks + days) * 86400 + 3600LL * hours + 60LL * minutes + seconds;
  return sign > 0 ? total : -total;
}
