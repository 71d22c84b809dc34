// CZoneRule: reading and writing the stored text, and the offset in force.
#include "model/dates/zone_rule.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "model/dates/date_time.h"

namespace {

constexpr int64_t kDay = CDateTime::kSecondsPerDay;
constexpr int32_t kMaxOffset = 18 * 3600;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

bool ReadInts(const std::string& text, std::vector<long>* out) {
  const char* p = text.c_str();
  if (text.empty() || text.back() == ' ') return false;
  while (*p) {
    if (*p != '-' && (*p < '0' || *p > '9')) return false;  // strtol would skip spaces
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(p, &end, 10);
    if (end == p || errno != 0 || (*end != ' ' && *end != '\0')) return false;
    out->push_back(v);
    p = *end ? end + 1 : end;
    if (out->size() > 10) return false;
  }
  return true;
}

bool OffsetOk(long v) { return v >= -kMaxOffset && v <= kMaxOffset; }

bool ReadChange(const long* v, CZoneChange* c) {
  if (v[0] < 1 || v[0] > 12 || v[2] < 0 || v[2] > 7 || v[3] < 0 || v[3] >= kDay) return false;
  if (v[2] == 0 ? (v[1] < 1 || v[1] > 31) : (v[1] != -1 && (v[1] < 1 || v[1] > 31))) return false;
  *c = CZoneChange{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int32_t>(v[3])};
  return true;
}

std::string ChangeText(const CZoneChange& c) {
  return " " + std::to_string(c.month) + " " + std::to_string(c.day) + " " + std::to_string(c.weekday) + " " +
         std::to_string(c.second);
}

}  // namespace

bool CZoneRule::Parse(const std::string& text) {
  std::vector<long> v;
  if (!ReadInts(text, &v) || (v.size() != 1 && v.size() != 10) || !OffsetOk(v[0])) return false;
  CZoneRule r;
  r.standardOffset = static_cast<int32_t>(v[0]);
  r.daylightOffset = r.standardOffset;
  if (v.size() == 10) {
    if (!OffsetOk(v[1]) || !ReadChange(&v[2], &r.toDaylight) || !ReadChange(&v[6], &r.toStandard)) return false;
    r.daylightOffset = static_cast<int32_t>(v[1]);
    r.hasDaylight = true;
  }
  *this = r;
  return true;
}

std::string CZoneRule::Format() const {
  std::string s = std::to_string(standardOffset);
  if (hasDaylight) s += " " + std::to_string(daylightOffset) + ChangeText(toDaylight) + ChangeText(toStandard);
  return s;
}

int32_t CZoneRule::ChangeDay(const CZoneChange& c, int year) {
  const int length = DaysInMonth(c.month, year);
  if (c.weekday == 0) return JulianDayFromDate(c.month, c.day < length ? c.day : length, year);
  if (c.day == -1) {
    const int32_t last = JulianDayFromDate(c.month, length, year);
    return last - (WeekdayOfJulianDay(last) - c.weekday + 7) % 7;
  }
  const int32_t from = JulianDayFromDate(c.month, c.day < length ? c.day : length, year);
  return from + (c.weekday - WeekdayOfJulianDay(from) + 7) % 7;
}

int32_t CZoneRule::OffsetAtUtc(int64_t utc) const {
  if (!hasDaylight) return standardOffset;
  int month = 0, day = 0, year = 0;
  DateFromJulianDay(static_cast<int32_t>(FloorDiv(utc + standardOffset, kDay)), &month, &day, &year);
  // Years before 1000 or after 9999 are outside what a record holds; they
  // keep standard time rather than read a two-digit year.
  if (year < 1000 || year > 9999) return standardOffset;
  const int64_t on = ChangeDay(toDaylight, year) * kDay + toDaylight.second - standardOffset;
  const int64_t off = ChangeDay(toStandard, year) * kDay + toStandard.second - daylightOffset;
  const bool daylight = on < off ? (utc >= on && utc < off) : !(utc >= off && utc < on);
  return daylight ? daylightOffset : standardOffset;
}

int64_t CZoneRule::WallToUtc(int64_t wall) const {
  const int64_t asDaylight = wall - daylightOffset, asStandard = wall - standardOffset;
  const bool daylightOk = OffsetAtUtc(asDaylight) == daylightOffset;
  const bool standardOk = OffsetAtUtc(asStandard) == standardOffset;
  if (daylightOk && standardOk) return asDaylight < asStandard ? asDaylight : asStandard;
  if (daylightOk) return asDaylight;
  if (standardOk) return asStandard;
  // In the gap: the offset before it, the smaller one.
  return wall - (daylightOffset < standardOffset ? daylightOffset : standardOffset);
}
