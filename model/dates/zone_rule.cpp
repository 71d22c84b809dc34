// CZoneRule: reading and writing the stored text, and the offset in force.
#include "model/dates/zone_rule.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "model/dates/date_time.h"

namespace {

constexpr int64_t kDay = CDateTime::kSecondsPerDay;
constexpr int32_t kMaxOffset = 18 * 3600;
// 1 January 1970 and 9999, the ends of what a record holds.
constexpr int64_t kUnixEpoch = int64_t{2440588} * kDay;
constexpr int64_t kFirstDated = int64_t{2086308} * kDay;  // 1 January 1000
constexpr int64_t kLastDated = int64_t{5373485} * kDay;   // 1 January 10000

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

// "<utc> <offset>": the moment in seconds since 1970.
bool ReadDated(const std::string& text, CZoneDatedChange* out) {
  const char* p = text.c_str();
  char* end = nullptr;
  if (*p != '-' && (*p < '0' || *p > '9')) return false;
  errno = 0;
  const long long at = std::strtoll(p, &end, 10);
  if (end == p || errno != 0 || *end != ' ') return false;
  std::vector<long> offset;
  if (!ReadInts(end + 1, &offset) || offset.size() != 1 || !OffsetOk(offset[0])) return false;
  if (at < (kFirstDated - kUnixEpoch) || at >= (kLastDated - kUnixEpoch)) return false;
  *out = CZoneDatedChange{at + kUnixEpoch, static_cast<int32_t>(offset[0])};
  return true;
}

}  // namespace

bool CZoneRule::Parse(const std::string& text) {
  const size_t cut = text.find(';');
  std::vector<CZoneDatedChange> changes;
  for (size_t at = cut; at != std::string::npos;) {
    const size_t next = text.find(';', at + 1);
    CZoneDatedChange c;
    if (!ReadDated(text.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1), &c))
      return false;
    if ((!changes.empty() && c.utc <= changes.back().utc) || changes.size() >= kMaxDatedChanges) return false;
    changes.push_back(c);
    at = next;
  }
  std::vector<long> v;
  if (!ReadInts(text.substr(0, cut), &v) || (v.size() != 1 && v.size() != 10) || !OffsetOk(v[0])) return false;
  CZoneRule r;
  r.dated = std::move(changes);
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
  for (const CZoneDatedChange& c : dated) s += ";" + std::to_string(c.utc - kUnixEpoch) + " " + std::to_string(c.offset);
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
  if (dated.empty()) return YearlyOffsetAtUtc(utc);
  const auto after = std::upper_bound(dated.begin(), dated.end(), utc,
                                      [](int64_t at, const CZoneDatedChange& c) { return at < c.utc; });
  if (after == dated.begin()) return dated.front().offset;
  const CZoneDatedChange& last = *(after - 1);
  if (after != dated.end() || !hasDaylight) return last.offset;
  return LatestYearlyChange(utc) > last.utc ? YearlyOffsetAtUtc(utc) : last.offset;
}

int64_t CZoneRule::LatestYearlyChange(int64_t utc) const {
  int month = 0, day = 0, year = 0;
  DateFromJulianDay(static_cast<int32_t>(FloorDiv(utc + standardOffset, kDay)), &month, &day, &year);
  int64_t latest = INT64_MIN;
  for (int y = year - 1; y <= year; ++y) {
    if (y < 1000 || y > 9999) continue;
    const int64_t on = ChangeDay(toDaylight, y) * kDay + toDaylight.second - standardOffset;
    const int64_t off = ChangeDay(toStandard, y) * kDay + toStandard.second - daylightOffset;
    if (on <= utc) latest = std::max(latest, on);
    if (off <= utc) latest = std::max(latest, off);
  }
  return latest;
}

int32_t CZoneRule::YearlyOffsetAtUtc(int64_t utc) const {
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
  if (!dated.empty()) {
    // The offsets in force a day either side; changes lie further apart.
    const int32_t before = OffsetAtUtc(wall - kDay), after = OffsetAtUtc(wall + kDay);
    const bool beforeOk = OffsetAtUtc(wall - before) == before, afterOk = OffsetAtUtc(wall - after) == after;
    if (beforeOk && afterOk) return std::min(wall - before, wall - after);
    if (afterOk) return wall - after;
    return wall - before;  // valid, or in the gap: the offset before it
  }
  const int64_t asDaylight = wall - daylightOffset, asStandard = wall - standardOffset;
  const bool daylightOk = OffsetAtUtc(asDaylight) == daylightOffset;
  const bool standardOk = OffsetAtUtc(asStandard) == standardOffset;
  if (daylightOk && standardOk) return asDaylight < asStandard ? asDaylight : asStandard;
  if (daylightOk) return asDaylight;
  if (standardOk) return asStandard;
  // In the gap: the offset before it, the smaller one.
  return wall - (daylightOffset < standardOffset ? daylightOffset : standardOffset);
}
