// CRecurrenceRule: zone handling, COUNT and UNTIL around the period
// expander (rrule_expander.h), which does the calendar work.
#include "model/recurrence/recurrence_rule.h"

#include <algorithm>

#include "model/dates/zone_rule.h"
#include "model/recurrence/rrule_expander.h"

namespace {

constexpr int64_t kDay = rrule::kSecondsPerDay;

// Everything a search depends on. The expansion state is rebuilt whenever
// it differs from the one it was built from, so callers may change the
// public fields (or the event's start) at any time.
struct RuleKey {
  int16_t frequency = 0;
  int32_t interval = 0, weekStart = 0, count = 0, offsetDays = 0, yearSearchLimit = 0;
  int16_t startIsOccurrence = 0;
  int32_t untilDay = 0, untilSeconds = 0, untilKind = 0;
  std::string untilTzid;
  int32_t startDay = 0, startSeconds = 0, startKind = 0;
  std::string startTzid;
  std::string zone;
  int32_t writtenDay = 0, writtenSeconds = 0;
  // Held inline for the lists rules usually have: building the key of a
  // new rule allocates nothing.
  rrule::InlineList<int16_t, 8> byWeekNo, byYearDay, byMonthDay, byDayWeekdays, byDayOrdinals, bySetPos, byMonth;
  rrule::InlineList<uint16_t, 4> hours, minutes, seconds;
};

// A key field against the rule's value, and storing it.
template <typename A, typename B>
bool Same(const A& field, const B& value) {
  return field == value;
}
template <typename T, size_t N>
bool Same(const rrule::InlineList<T, N>& field, const std::vector<T>& value) {
  return field.size() == value.size() && std::equal(field.begin(), field.end(), value.begin());
}
template <typename A, typename B>
void Store(A& field, const B& value) {
  field = value;
}
template <typename T, size_t N>
void Store(rrule::InlineList<T, N>& field, const std::vector<T>& value) {
  field.assign(value.begin(), value.end());
}

// Hands op each field of the key with the rule's (or its start's) value that
// the field records, in turn, while op answers true; answers whether it
// always did. The one list of what a search depends on, for storing the key
// and for comparing it in place.
template <typename Key, typename Op>
bool EachKeyField(Key& k, const CRecurrenceRule& r, const CDateTime& start, Op op) {
  return op(k.frequency, r.frequency) && op(k.interval, r.interval) && op(k.weekStart, r.weekStart) &&
         op(k.count, r.count) && op(k.offsetDays, r.offsetDays) && op(k.yearSearchLimit, r.yearSearchLimit) &&
         op(k.startIsOccurrence, r.startIsOccurrence) && op(k.untilDay, r.until.GetRawJulianDay()) &&
         op(k.untilSeconds, r.until.GetRawSecondsOfDay()) && op(k.untilKind, r.until.GetZoneKind()) &&
         op(k.untilTzid, r.until.GetTzid()) && op(k.startDay, start.GetRawJulianDay()) &&
         op(k.startSeconds, start.GetRawSecondsOfDay()) && op(k.startKind, start.GetZoneKind()) &&
         op(k.startTzid, start.GetTzid()) && op(k.zone, r.zone) && op(k.writtenDay, r.writtenStart.GetRawJulianDay()) &&
         op(k.writtenSeconds, r.writtenStart.GetRawSecondsOfDay()) && op(k.byWeekNo, r.byWeekNo) &&
         op(k.byYearDay, r.byYearDay) &&
         op(k.byMonthDay, r.byMonthDay) && op(k.byDayWeekdays, r.byDayWeekdays) &&
         op(k.byDayOrdinals, r.byDayOrdinals) && op(k.bySetPos, r.bySetPos) && op(k.byMonth, r.byMonth) &&
         op(k.hours, r.hours.Values()) && op(k.minutes, r.minutes.Values()) &&
         op(k.seconds, r.seconds.Values());
}

// The zone rule and UTC moment of a named-zone series start; false when
// the series runs on no zone's clock.
bool ZoneOfStart(const CRecurrenceRule& r, const CDateTime* start, CZoneRule* rule, int64_t* utc) {
  if (!start || start->IsEmpty() || start->GetZoneKind() != CDateTime::kNamedZone || !start->HasTimeOfDay() ||
      r.zone.empty() || !rule->Parse(r.zone))
    return false;
  int32_t jd = 0, secs = 0;
  start->GetParts(CDateTime::kAsUtc, &jd, &secs);
  *utc = int64_t{jd} * kDay + secs;
  return true;
}

// `wall` (floating) is a time written for the UTC moment that the zone
// reads otherwise; its seconds on the zone's clock in *seconds.
bool IsWrittenTime(const CZoneRule& rule, int64_t utc, const CDateTime& wall, int64_t* seconds) {
  if (wall.IsEmpty() || !wall.HasTimeOfDay() || wall.GetZoneKind() != CDateTime::kFloating) return false;
  *seconds = int64_t{wall.GetRawJulianDay()} * kDay + wall.GetRawSecondsOfDay();
  return rule.WallToUtc(*seconds) == utc && rule.UtcToWall(utc) != *seconds;
}

CDateTime FloatingOf(int64_t wall) {
  const int32_t jd = static_cast<int32_t>(rrule::FloorDiv(wall, kDay));
  return CDateTime::FromParts(jd, static_cast<int32_t>(wall - int64_t{jd} * kDay), CDateTime::kFloating);
}

}  // namespace

struct CRecurrenceRule::Compiled {
  RuleKey key;
  bool built = false;
  bool ok = false;
  rrule::Expander expander;
  int64_t start = 0;     // the series start on its own clock
  int64_t offset = 0;    // offset days in seconds
  bool hasUntil = false;
  int64_t until = 0;     // inclusive
  // A named-zone series with a readable zone rule runs on that zone's
  // wall clock.
  bool zoned = false;
  CZoneRule zoneRule;
  // The start was written at a wall-clock time the zone reads its moment
  // otherwise (in a skipped hour): `start` is that written time, and any
  // moment up to the start's (startUtc) is read as at most it.
  bool written = false;
  int64_t startUtc = 0;
  // COUNT rules: the first occurrences of the series, in order, from the
  // start on. Counting never restarts while the rule is unchanged.
  std::vector<int64_t> counted;
};

CRecurrenceRule::CRecurrenceRule(const CDateTime* seriesStart) : seriesStart_(seriesStart) {}

CRecurrenceRule::~CRecurrenceRule() = default;

CRecurrenceRule& CRecurrenceRule::operator=(const CRecurrenceRule& other) {
  if (this == &other) return *this;
  startIsOccurrence = other.startIsOccurrence;
  yearSearchLimit = other.yearSearchLimit;
  frequency = other.frequency;
  interval = other.interval;
  weekStart = other.weekStart;
  until = other.until;
  count = other.count;
  offsetDays = other.offsetDays;
  byWeekNo = other.byWeekNo;
  byYearDay = other.byYearDay;
  byMonthDay = other.byMonthDay;
  byDayWeekdays = other.byDayWeekdays;
  byDayOrdinals = other.byDayOrdinals;
  bySetPos = other.bySetPos;
  byMonth = other.byMonth;
  zone = other.zone;
  writtenStart = other.writtenStart;
  byMonthAutoFilled = other.byMonthAutoFilled;
  byDayAutoFilled = other.byDayAutoFilled;
  hours.RemoveAll();
  minutes.RemoveAll();
  seconds.RemoveAll();
  compiled_.reset();
  return *this;
}

void CRecurrenceRule::Clear() {
  count = 0;
  offsetDays = 0;
  until.Clear();
  byWeekNo.clear();
  byYearDay.clear();
  byMonthDay.clear();
  byDayWeekdays.clear();
  byDayOrdinals.clear();
  bySetPos.clear();
  byMonth.clear();
  byMonthAutoFilled = 0;
  byDayAutoFilled = 0;
  hours.RemoveAll();
  minutes.RemoveAll();
  seconds.RemoveAll();
  compiled_.reset();
}

void CRecurrenceRule::AddByDay(int weekday) { AddByDayOrdinal(weekday, 0); }

void CRecurrenceRule::AddByDayOrdinal(int weekday, int ordinal) {
  byDayWeekdays.push_back(static_cast<int16_t>(weekday));
  byDayOrdinals.push_back(static_cast<int16_t>(ordinal));
}

void CRecurrenceRule::ResetExpansion() {
  compiled_.reset();
  if (byDayAutoFilled) {
    byDayWeekdays.clear();
    byDayOrdinals.clear();
    byDayAutoFilled = 0;
  }
  if (byMonthAutoFilled) {
    byMonth.clear();
    byMonthAutoFilled = 0;
  }
  hours.RemoveAll();
  minutes.RemoveAll();
  seconds.RemoveAll();
}

bool CRecurrenceRule::HasAdvancedCriteria() const {
  return count > 0 || IsUntilSet() || offsetDays != 0 || !byMonthDay.empty() || !bySetPos.empty() ||
         !byWeekNo.empty() || !byYearDay.empty() || (!byMonth.empty() && !byMonthAutoFilled) ||
         ((!byDayWeekdays.empty() || !byDayOrdinals.empty()) && !byDayAutoFilled);
}

int64_t CRecurrenceRule::ToStartClock(const Compiled& c, const CDateTime& value) const {
  const CDateTime& start = *seriesStart_;
  // A floating or date-only series runs on local wall-clock time; a UTC or
  // named-zone series on UTC, or on its zone's wall clock when it has the
  // zone's rule.
  int mode = (start.GetZoneKind() == CDateTime::kFloating || !start.HasTimeOfDay()) ? CDateTime::kAsLocal
                                                                                   : CDateTime::kAsUtc;
  int32_t jd = 0, secs = 0;
  value.GetParts(mode, &jd, &secs);
  if (secs < 0) return int64_t{jd} * kDay;  // no time of day: its midnight
  const int64_t moment = int64_t{jd} * kDay + secs;
  if (!c.zoned) return moment;
  const int64_t wall = c.zoneRule.UtcToWall(moment);
  return c.written && moment <= c.startUtc ? std::min(wall, c.start) : wall;
}

void CRecurrenceRule::SetWrittenStart(const CDateTime& wall) {
  CZoneRule rule;
  int64_t utc = 0, seconds = 0;
  const bool keep = ZoneOfStart(*this, seriesStart_, &rule, &utc) && IsWrittenTime(rule, utc, wall, &seconds);
  writtenStart = keep ? wall : CDateTime();
}

CDateTime CRecurrenceRule::StartAsWritten() const {
  CZoneRule rule;
  int64_t utc = 0, seconds = 0;
  if (!ZoneOfStart(*this, seriesStart_, &rule, &utc)) return CDateTime();
  return IsWrittenTime(rule, utc, writtenStart, &seconds) ? writtenStart : FloatingOf(rule.UtcToWall(utc));
}

CDateTime CRecurrenceRule::FromStartClock(const Compiled& c, int64_t moment, const CDateTime& like) const {
  const CDateTime& start = *seriesStart_;
  if (c.zoned && start.HasTimeOfDay()) moment = c.zoneRule.WallToUtc(moment);
  int32_t jd = static_cast<int32_t>(rrule::FloorDiv(moment, kDay));
  int32_t secs = static_cast<int32_t>(moment - int64_t{jd} * kDay);
  if (!start.HasTimeOfDay()) {
    // A date without a time of day is the same date in every zone.
    CDateTime r = CDateTime::FromParts(jd, CDateTime::kNoTimeOfDay, like.GetZoneKind());
    r.SetTzid(like.GetTzid());
    return r;
  }
  CDateTime r = CDateTime::FromParts(jd, secs, start.GetZoneKind());
  if (start.GetZoneKind() == CDateTime::kNamedZone) r.SetTzid(start.GetTzid());
  int kind = like.GetZoneKind();
  if (kind == start.GetZoneKind() && (kind != CDateTime::kNamedZone || like.GetTzid() == start.GetTzid()))
    return r;
  if (kind == CDateTime::kFloating) return r.ConvertedTo(CDateTime::kAsLocal);
  CDateTime u = r.ConvertedTo(CDateTime::kAsUtc);
  if (kind == CDateTime::kNamedZone) {
    u.SetZoneKind(CDateTime::kNamedZone);
    u.SetTzid(like.GetTzid());
  }
  return u;
}

// The key of a rule and its start, compared in place: the hot path asks
// this on every question, so nothing is copied unless something changed.
bool CRecurrenceRule::IsPrepared(const Compiled& c) const {
  if (!c.built) return false;
  return EachKeyField(c.key, *this, *seriesStart_,
                      [](const auto& field, const auto& value) { return Same(field, value); });
}

bool CRecurrenceRule::Prepare(Compiled& c) {
  if (!seriesStart_ || seriesStart_->IsEmpty()) return false;
  if (IsPrepared(c)) return c.ok;
  EachKeyField(c.key, *this, *seriesStart_, [](auto& field, const auto& value) {
    Store(field, value);
    return true;
  });
  c.built = true;
  c.counted.clear();
  c.zoned = ZoneOfStart(*this, seriesStart_, &c.zoneRule, &c.startUtc);
  c.written = false;
  c.start = ToStartClock(c, *seriesStart_);
  int64_t written = 0;
  if (c.zoned && IsWrittenTime(c.zoneRule, c.startUtc, writtenStart, &written)) {
    c.written = true;
    c.start = written;
  }
  c.offset = int64_t{offsetDays} * kDay;
  c.hasUntil = IsUntilSet();
  c.until = c.hasUntil ? ToStartClock(c, until) : 0;
  if (c.hasUntil && !until.HasTimeOfDay()) c.until += kDay - 1;  // a date-only UNTIL includes its day

  rrule::Pattern p;
  p.frequency = frequency;
  p.interval = interval;
  p.weekStart = weekStart;
  p.byWeekNo = rrule::Span<int16_t>(byWeekNo);
  p.byYearDay = rrule::Span<int16_t>(byYearDay);
  p.byMonthDay = rrule::Span<int16_t>(byMonthDay);
  p.byDayWeekdays = rrule::Span<int16_t>(byDayWeekdays);
  p.byDayOrdinals = rrule::Span<int16_t>(byDayOrdinals);
  p.bySetPos = rrule::Span<int16_t>(bySetPos);
  p.byMonth = rrule::Span<int16_t>(byMonth);
  p.hours = rrule::Span<uint16_t>(hours.Values());
  p.minutes = rrule::Span<uint16_t>(minutes.Values());
  p.seconds = rrule::Span<uint16_t>(seconds.Values());
  p.yearSearchLimit = yearSearchLimit;
  // Interval arithmetic and the defaults count from the start moved back
  // by the offset; the offset is added again to every answer.
  c.ok = c.expander.Compile(p, c.start - c.offset);
  return c.ok;
}

int16_t CRecurrenceRule::NextCounted(Compiled& c, int64_t from, int64_t* found) {
  std::vector<int64_t>& v = c.counted;
  int64_t t = 0;
  if (v.empty()) {
    if (startIsOccurrence) {
      v.push_back(c.start);
    } else {
      if (!c.expander.FindOnOrAfter(c.start - c.offset, &t)) return kNone;
      t += c.offset;
      if (c.hasUntil && t > c.until) return kEnded;
      v.push_back(t);
    }
  }
  if (v.back() >= from) {
    *found = *std::lower_bound(v.begin(), v.end(), from);
    return kFound;
  }
  while (static_cast<int64_t>(v.size()) < count) {
    // One second past the last counted occurrence, so the start (counted
    // first) is never counted a second time when the rule selects it too.
    if (!c.expander.FindOnOrAfter(v.back() + 1 - c.offset, &t)) return kNone;
    t += c.offset;
    if (c.hasUntil && t > c.until) return kEnded;
    v.push_back(t);
    if (t >= from) {
      *found = t;
      return kFound;
    }
  }
  return kEnded;
}

int16_t CRecurrenceRule::GetNextOccurrence(CDateTime& date) {
  // The alarm worker and the user interface both ask events for their next
  // occurrences; the cache must not be rebuilt under another question. The
  // second of two questions at once answers from expansion state of its
  // own instead of waiting: the same answer, and no lock object, which
  // under Windows allocates on its first use by each rule.
  if (busy_.exchange(true, std::memory_order_acquire)) {
    Compiled own;
    return Answer(own, date);
  }
  struct Release {
    std::atomic<bool>& busy;
    ~Release() { busy.store(false, std::memory_order_release); }
  } release{busy_};
  // Not make_unique: value-initialising would clear the inline lists' room.
  if (!compiled_) compiled_.reset(new Compiled);
  return Answer(*compiled_, date);
}

int16_t CRecurrenceRule::Answer(Compiled& c, CDateTime& date) {
  if (!Prepare(c)) return kNone;
  int64_t from = ToStartClock(c, date);
  int64_t result = 0;
  if (from <= c.start && startIsOccurrence) {
    result = c.start;
  } else {
    if (from < c.start) from = c.start;
    if (c.hasUntil && from > c.until) return kEnded;
    if (count > 0) {
      int16_t r = NextCounted(c, from, &result);
      if (r != kFound) return r;
    } else {
      if (!c.expander.FindOnOrAfter(from - c.offset, &result)) return kNone;
      result += c.offset;
      if (c.hasUntil && result > c.until) return kEnded;
    }
  }
  const CDateTime& start = *seriesStart_;
  if (start.HasTimeOfDay() && start.GetZoneKind() != CDateTime::kNamedZone &&
      date.GetZoneKind() == start.GetZoneKind() && date.GetTzid().empty()) {
    // What FromStartClock gives when nothing is converted, set in place.
    const int32_t jd = static_cast<int32_t>(rrule::FloorDiv(result, kDay));
    date.SetParts(jd, static_cast<int32_t>(result - int64_t{jd} * kDay), start.GetZoneKind());
  } else {
    date = FromStartClock(c, result, date);
  }
  return kFound;
}
