// CDateTime: construction, getters, zone conversion, arithmetic and the
// comparison rule.
#include "model/dates/date_time.h"

#include "model/dates/duration.h"
#include "platform/clock.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

platform::CivilTime ToCivil(int32_t julianDay, int32_t seconds) {
  platform::CivilTime c;
  DateFromJulianDay(julianDay, &c.month, &c.day, &c.year);
  c.hour = seconds / 3600;
  c.minute = (seconds % 3600) / 60;
  c.second = seconds % 60;
  return c;
}

void FromCivil(const platform::CivilTime& c, int32_t* julianDay, int32_t* seconds) {
  *julianDay = JulianDayFromDate(c.month, c.day, c.year);
  *seconds = 3600 * c.hour + 60 * c.minute + c.second;
}

}  // namespace

CDateTime::CDateTime(int day, int month, int year, int zoneKind)
    : julianDay_(JulianDayFromDate(month, day, year)), zoneKind_(zoneKind) {}

CDateTime::CDateTime(int32_t julianDay, int zoneKind) : julianDay_(julianDay), zoneKind_(zoneKind) {}

CDateTime CDateTime::Today(int zoneKind) {
  platform::CivilTime now = platform::LocalNow();
  return CDateTime(now.day, now.month, now.year, zoneKind);
}

CDateTime CDateTime::FromParts(int32_t julianDay, int32_t secondsOfDay, int zoneKind) {
  CDateTime v;
  v.SetParts(julianDay, secondsOfDay, zoneKind);
  return v;
}

CDateTime CDateTime::NowLocal() {
  CDateTime v;
  v.SetNowLocal();
  return v;
}

CDateTime CDateTime::NowUtc() {
  CDateTime v;
  v.SetNowUtc();
  return v;
}

void CDateTime::SetDate(int day, int month, int year) {
  julianDay_ = JulianDayFromDate(month, day, year);
  seconds_ = 0;
}

void CDateTime::SetJulianDay(int32_t julianDay) {
  julianDay_ = julianDay;
  seconds_ = 0;
}

void CDateTime::SetTime(int hours, int minutes, int seconds) { seconds_ = 3600 * hours + 60 * minutes + seconds; }

void CDateTime::SetSecondsOfDay(int32_t seconds) { seconds_ = seconds; }

void CDateTime::SetZoneKind(int zoneKind) { zoneKind_ = zoneKind; }

void CDateTime::SetTzid(const std::string& tzid) { tzid_ = tzid; }

void CDateTime::SetParts(int32_t julianDay, int32_t secondsOfDay, int zoneKind) {
  julianDay_ = julianDay;
  seconds_ = secondsOfDay;
  zoneKind_ = zoneKind;
}

void CDateTime::SetNowUtc() {
  FromCivil(platform::UtcNow(), &julianDay_, &seconds_);
  zoneKind_ = kUtc;
}

void CDateTime::SetNowLocal() {
  FromCivil(platform::LocalNow(), &julianDay_, &seconds_);
  zoneKind_ = kFloating;
}

void CDateTime::SetEaster(int year) {
  julianDay_ = EasterJulianDay(year);
  seconds_ = 0;
}

void CDateTime::Clear() {
  julianDay_ = 0;
  seconds_ = 0;
  zoneKind_ = kFloating;
  tzid_.clear();
}

void CDateTime::GetParts(int mode, int32_t* julianDay, int32_t* seconds) const {
  *julianDay = julianDay_;
  *seconds = seconds_;
  // No date, or a date without a time of day, is the same in every zone.
  if (julianDay_ == 0 || seconds_ == kNoTimeOfDay) return;
  bool toLocal = mode == kAsLocal && zoneKind_ != kFloating;
  bool toUtc = mode == kAsUtc && zoneKind_ == kFloating;
  if (!toLocal && !toUtc) return;
  platform::CivilTime in = ToCivil(julianDay_, seconds_);
  platform::CivilTime out;
  bool ok = toLocal ? platform::UtcToLocal(in, &out) : platform::LocalToUtc(in, &out);
  // Out of the platform's range (before 1601, impossible fields): as stored.
  if (!ok) return;
  FromCivil(out, julianDay, seconds);
}

int32_t CDateTime::GetJulianDay(int mode) const {
  int32_t d, s;
  GetParts(mode, &d, &s);
  return d;
}

int32_t CDateTime::GetSecondsOfDay(int mode) const {
  int32_t d, s;
  GetParts(mode, &d, &s);
  return s;
}

void CDateTime::GetDate(int* month, int* day, int* year, int mode) const {
  DateFromJulianDay(GetJulianDay(mode), month, day, year);
}

int CDateTime::GetDay(int mode) const {
  int m, d, y;
  GetDate(&m, &d, &y, mode);
  return d;
}

int CDateTime::GetMonth(int mode) const {
  int m, d, y;
  GetDate(&m, &d, &y, mode);
  return m;
}

int CDateTime::GetYear(int mode) const {
  int m, d, y;
  GetDate(&m, &d, &y, mode);
  return y;
}

int CDateTime::GetHour(int mode) const {
  int32_t s = GetSecondsOfDay(mode);
  return s < 0 ? 0 : s / 3600;
}

int CDateTime::GetMinute(int mode) const {
  int32_t s = GetSecondsOfDay(mode);
  return s < 0 ? 0 : (s % 3600) / 60;
}

int CDateTime::GetSecond(int mode) const {
  int32_t s = GetSecondsOfDay(mode);
  return s < 0 ? 0 : s % 60;
}

int CDateTime::GetWeekday(int mode) const { return WeekdayOfJulianDay(GetJulianDay(mode)); }

int CDateTime::GetDayOfYear(int mode) const {
  int32_t j = GetJulianDay(mode);
  int m, d, y;
  DateFromJulianDay(j, &m, &d, &y);
  return static_cast<int>(j - (JulianDayFromDate(1, 1, y) - 1));
}

int CDateTime::GetDaysInMonth(int mode) const {
  int m, d, y;
  GetDate(&m, &d, &y, mode);
  return DaysInMonth(m, y);
}

int CDateTime::GetIsoWeek(int mode) const {
  int32_t j = GetJulianDay(mode);
  int m, d, y;
  DateFromJulianDay(j, &m, &d, &y);
  // The Monday of week 1 of a real year (four hundred years later has the
  // same weekdays and is never taken for a two-digit year).
  auto weekOne = [](int year) {
    int32_t j1 = JulianDayFromDate(1, 1, year + 400) - 146097;
    int w = WeekdayOfJulianDay(j1) - 1;
    return j1 - w + (w > 3 ? 7 : 0);
  };
  int32_t next = weekOne(y + 1);
  if (j >= next) return 1;
  int32_t own = weekOne(y);
  if (j < own) return static_cast<int>((j - weekOne(y - 1)) / 7 + 1);
  return static_cast<int>((j - own) / 7 + 1);
}

CDateTime CDateTime::GetWeekStart(int firstWeekday, int mode) const {
  // Both the weekday and the day moved back from are read in the mode, so a
  // UTC value late in the evening finds the week of its local day.
  int32_t j = GetJulianDay(mode);
  int w = WeekdayOfJulianDay(j) - 1;
  int f = firstWeekday - 1;
  int back = f <= w ? w - f : w + 7 - f;
  return CDateTime(j - back, kFloating);
}

int32_t CDateTime::GetWeekIndex(int firstWeekday, int mode) const {
  return static_cast<int32_t>(FloorDiv(static_cast<int64_t>(GetJulianDay(mode)) - firstWeekday + 1, 7));
}

void CDateTime::GetCivilTime(platform::CivilTime* out, int mode) const {
  int32_t d, s;
  GetParts(mode, &d, &s);
  *out = ToCivil(d, s < 0 ? 0 : s);
  out->millisecond = 0;
}

CDateTime CDateTime::ConvertedTo(int mode) const {
  if (mode != kAsLocal && mode != kAsUtc) return *this;
  CDateTime v;
  GetParts(mode, &v.julianDay_, &v.seconds_);
  v.zoneKind_ = mode;
  return v;
}

CDateTime CDateTime::ConvertedToZoneOf(const CDateTime& reference) const {
  CDateTime v;
  GetParts(reference.zoneKind_ == kFloating ? kAsLocal : kAsUtc, &v.julianDay_, &v.seconds_);
  v.zoneKind_ = reference.zoneKind_;
  v.tzid_ = reference.tzid_;
  return v;
}

void CDateTime::GetComparableParts(const CDateTime& other, int32_t* day1, int32_t* seconds1, int32_t* day2,
                                   int32_t* seconds2) const {
  bool sameBasis = zoneKind_ == other.zoneKind_ && (zoneKind_ != kNamedZone || tzid_ == other.tzid_);
  int mode = sameBasis ? kAsStored : kAsLocal;
  GetParts(mode, day1, seconds1);
  other.GetParts(mode, day2, seconds2);
}

namespace {
// -1, 0, 1 on the comparison basis.
int Compare(const CDateTime& a, const CDateTime& b) {
  int32_t d1, s1, d2, s2;
  a.GetComparableParts(b, &d1, &s1, &d2, &s2);
  if (d1 != d2) return d1 < d2 ? -1 : 1;
  if (s1 != s2) return s1 < s2 ? -1 : 1;
  return 0;
}
}  // namespace

bool CDateTime::operator==(const CDateTime& other) const { return Compare(*this, other) == 0; }
bool CDateTime::operator!=(const CDateTime& other) const { return Compare(*this, other) != 0; }
bool CDateTime::operator<(const CDateTime& other) const { return Compare(*this, other) < 0; }
bool CDateTime::operator>(const CDateTime& other) const { return Compare(*this, other) > 0; }
bool CDateTime::operator<=(const CDateTime& other) const { return Compare(*this, other) <= 0; }
bool CDateTime::operator>=(const CDateTime& other) const { return Compare(*this, other) >= 0; }

int32_t CDateTime::operator-(const CDateTime& other) const {
  int32_t d1, s1, d2, s2;
  GetComparableParts(other, &d1, &s1, &d2, &s2);
  return d1 - d2;
}

bool CDateTime::IsIdenticalTo(const CDateTime& other) const {
  return julianDay_ == other.julianDay_ && seconds_ == other.seconds_ && zoneKind_ == other.zoneKind_ &&
         tzid_ == other.tzid_;
}

void CDateTime::AddTime(int hours, int minutes, int seconds) {
  if (julianDay_ == 0) return;
  int64_t start = seconds_ < 0 ? 0 : seconds_;
  int64_t total = 3600LL * hours + 60LL * minutes + seconds + start;
  int64_t days = FloorDiv(total, kSecondsPerDay);
  julianDay_ = static_cast<int32_t>(julianDay_ + days);
  seconds_ = static_cast<int32_t>(total - days * kSecondsPerDay);
}

void CDateTime::AddDays(int32_t days) {
  if (julianDay_ == 0) return;
  julianDay_ += days;
}

void CDateTime::AddDuration(const CDuration& duration) {
  if (duration.sign == 0 || julianDay_ == 0) return;
  const int64_t dir = duration.sign > 0 ? 1 : -1;
  if (duration.years != 0 || duration.months != 0) {
    int m, d, y;
    DateFromJulianDay(julianDay_, &m, &d, &y);
    // Months counted from year 0 make carrying and borrowing one floor
    // division; the day is limited to the new month's length and the time
    // of day is kept.
    int64_t monthIndex = static_cast<int64_t>(y) * 12 + (m - 1) + dir * (12LL * duration.years + duration.months);
    int64_t ny = FloorDiv(monthIndex, 12);
    int nm = static_cast<int>(monthIndex - ny * 12) + 1;
    int len = DaysInMonth(nm, static_cast<int>(ny));
    int32_t j = JulianDayFromDate(nm, d > len ? len : d, static_cast<int>(ny));
    // Years 0..99 would be read as the 1900s: such a result has no date.
    julianDay_ = (ny >= 0 && ny <= 99) ? 0 : j;
    if (julianDay_ == 0) return;
  }
  julianDay_ = static_cast<int32_t>(julianDay_ + dir * (7LL * duration.weeks + duration.days));
  int64_t clock = 3600LL * duration.hours + 60LL * duration.minutes + duration.seconds;
  if (clock == 0) return;
  int64_t start = seconds_ < 0 ? 0 : seconds_;
  int64_t total = start + dir * clock;
  int64_t days = FloorDiv(total, kSecondsPerDay);
  julianDay_ = static_cast<int32_t>(julianDay_ + days);
  seconds_ = static_cast<int32_t>(total - days * kSecondsPerDay);
}

void CDateTime::SubtractDuration(const CDuration& duration) { AddDuration(duration.Negated()); }
