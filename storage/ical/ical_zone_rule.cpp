// Zone rules from a file's VTIMEZONE at import, and a VTIMEZONE from a
// stored zone rule at export.
#include "storage/ical/ical_zone_rule.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "model/events/cal_event.h"
#include "storage/ical/ical_library.h"
#include "storage/ical/ical_rule.h"

namespace icalx {

namespace {

constexpr short kEnd = ICAL_RECURRENCE_ARRAY_MAX;

// One yearly change; false when it is not a fixed day, the n-th or last
// weekday, or the first weekday from a day on.
bool ChangeOf(const icalrecurrencetype& r, const icaltimetype& start, CZoneChange* out) {
  if (r.freq != ICAL_YEARLY_RECURRENCE || r.interval != 1 || (r.by_day[0] != kEnd && r.by_day[1] != kEnd))
    return false;
  CZoneChange c;
  c.month = r.by_month[0] != kEnd ? r.by_month[0] : start.month;
  const int hour = r.by_hour[0] != kEnd ? r.by_hour[0] : start.hour;
  const int minute = r.by_minute[0] != kEnd ? r.by_minute[0] : start.minute;
  c.second = hour * 3600 + minute * 60 + start.second;
  int firstDay = 0;
  for (int i = 0; i < ICAL_BY_MONTHDAY_SIZE && r.by_month_day[i] != kEnd; ++i) {
    if (r.by_month_day[i] > 0 && (firstDay == 0 || r.by_month_day[i] < firstDay)) firstDay = r.by_month_day[i];
  }
  if (r.by_day[0] == kEnd) {
    c.day = firstDay ? firstDay : start.day;
  } else {
    c.weekday = FromIcalWeekday(icalrecurrencetype_day_day_of_week(r.by_day[0]));
    const int position = icalrecurrencetype_day_position(r.by_day[0]);
    if (position >= 1 && position <= 4) {
      c.day = 7 * (position - 1) + 1;
    } else if (position == -1 || position == 5) {
      c.day = -1;
    } else if (position == 0 && firstDay > 0) {
      c.day = firstDay;
    } else {
      return false;
    }
  }
  *out = c;
  return true;
}

struct Observance {
  icalcomponent* part = nullptr;
  icaltimetype start = icaltime_null_time();
};

bool Later(icalcomponent* part, const Observance& than) {
  icalproperty* p = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
  return p && (!than.part || icaltime_compare(icalproperty_get_dtstart(p), than.start) > 0);
}

void Take(icalcomponent* part, Observance* o) {
  o->part = part;
  o->start = icalproperty_get_dtstart(icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY));
}

// The yearly rule of an observance, and whether it is open-ended; false when
// it has none.
bool YearlyRule(icalcomponent* part, icalrecurrencetype* r, bool* open) {
  icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY);
  if (!p) return false;
  *r = icalproperty_get_rrule(p);
  *open = icaltime_is_null_time(r->until) && r->count == 0;
  return true;
}

bool OpenRule(icalcomponent* part, icalrecurrencetype* r) {
  bool open = false;
  return YearlyRule(part, r, &open) && open;
}

int Offset(icalcomponent* part, icalproperty_kind kind, bool* ok) {
  icalproperty* p = icalcomponent_get_first_property(part, kind);
  if (!p) *ok = false;
  if (!p) return 0;
  return kind == ICAL_TZOFFSETTO_PROPERTY ? icalproperty_get_tzoffsetto(p) : icalproperty_get_tzoffsetfrom(p);
}

int OffsetTo(icalcomponent* part, bool* ok) { return Offset(part, ICAL_TZOFFSETTO_PROPERTY, ok); }

// A wall-clock time as seconds since Julian day 0; false when it is none.
bool WallSeconds(const icaltimetype& t, int64_t* out) {
  const CDateTime d = FromIcalTime(t);
  if (d.IsEmpty()) return false;
  int32_t day = 0, seconds = 0;
  d.GetParts(CDateTime::kAsStored, &day, &seconds);
  *out = int64_t{day} * CDateTime::kSecondsPerDay + (seconds < 0 ? 0 : seconds);
  return true;
}

struct Onset {
  int64_t utc;
  int32_t from, to;
};

// The changes an observance makes on single dates, up to `last` (UTC): its
// start and RDATEs, and the yearly changes of an RRULE that ends; an
// open-ended RRULE is the zone's yearly rule, not dated changes.
void DatedOnsets(icalcomponent* part, int64_t last, std::vector<Onset>* out) {
  bool ok = true;
  const int32_t from = Offset(part, ICAL_TZOFFSETFROM_PROPERTY, &ok), to = OffsetTo(part, &ok);
  icalproperty* dtstart = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
  if (!ok || !dtstart) return;
  const icaltimetype start = icalproperty_get_dtstart(dtstart);
  const auto add = [&](const icaltimetype& t) {
    int64_t wall = 0;
    if (!WallSeconds(t, &wall) || wall - from > last) return false;
    out->push_back(Onset{wall - from, from, to});
    return true;
  };
  icalrecurrencetype r;
  bool open = false;
  const bool ruled = YearlyRule(part, &r, &open);
  if (!ruled || !open) add(start);
  if (ruled && !open) {
    // Bounded by the check before import (yearly rules only) and by `last`.
    icalrecur_iterator* it = icalrecur_iterator_new(r, start);
    for (int n = 0; it && n < 10000; ++n) {
      const icaltimetype t = icalrecur_iterator_next(it);
      if (icaltime_is_null_time(t) || !add(t)) break;
    }
    if (it) icalrecur_iterator_free(it);
  }
  for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); p;
       p = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY)) {
    const icaldatetimeperiodtype d = icalproperty_get_rdate(p);
    add(icaltime_is_null_time(d.time) ? d.period.start : d.time);
  }
}

// The dated changes a rule needs from the UTC moment `from` to `last` beside
// its yearly rule, out of the zone's onsets in order: the change in force
// at `from` (or, before the first, the offset it changes from) and those
// after it, without those that change nothing. None when the yearly rule
// alone gives the same.
std::vector<CZoneDatedChange> DatedChanges(const std::vector<Onset>& onsets, const CZoneRule& yearly, int64_t from,
                                           int64_t last) {
  std::vector<CZoneDatedChange> out;
  if (onsets.empty()) return out;
  const auto after = std::upper_bound(onsets.begin(), onsets.end(), from,
                                      [](int64_t at, const Onset& o) { return at < o.utc; });
  size_t first = after == onsets.begin() ? 0 : static_cast<size_t>(after - onsets.begin()) - 1;
  if (onsets[first].utc > from) out.push_back(CZoneDatedChange{from, onsets[first].from});
  for (size_t i = first; i < onsets.size() && onsets[i].utc <= last && out.size() < CZoneRule::kMaxDatedChanges;
       ++i) {
    if (!out.empty() && out.back().utc == onsets[i].utc) out.pop_back();
    if (out.empty() || out.back().offset != onsets[i].to) out.push_back(CZoneDatedChange{onsets[i].utc, onsets[i].to});
  }
  if (out.size() == 1) {
    // Only the change in force at the start: needed while it says other
    // than the yearly rule does from then on.
    CZoneRule with = yearly;
    with.dated = out;
    if (with.OffsetAtUtc(from) == yearly.OffsetAtUtc(from)) out.clear();
  }
  return out;
}

// What a zone's times are read by, worked out once for all the times and
// series of a calendar that name the zone (until ForgetZoneOnsets): its
// latest yearly rule and the onsets of its dated changes in order, complete
// up to `horizon` (UTC). A bounded rule is walked only that far, and on
// again when a later series needs more.
struct ZoneData {
  bool ok = false;
  CZoneRule yearly;
  int64_t horizon = INT64_MIN;
  std::vector<Onset> onsets;
};
thread_local std::map<icalcomponent*, ZoneData> tZones;

bool YearlyOf(icalcomponent* z, CZoneRule* rule);

const ZoneData& DataOf(icalcomponent* z, int64_t last) {
  ZoneData& data = tZones[z];
  if (data.horizon == INT64_MIN) data.ok = YearlyOf(z, &data.yearly);
  if (last <= data.horizon) return data;
  // A century beyond what is asked, so that the series of one calendar
  // seldom make it walk again.
  constexpr int64_t kCentury = int64_t{36525} * CDateTime::kSecondsPerDay;
  data.horizon = last > INT64_MAX - kCentury ? INT64_MAX : last + kCentury;
  std::vector<Onset>& onsets = data.onsets;
  onsets.clear();
  for (icalcomponent* part = icalcomponent_get_first_component(z, ICAL_ANY_COMPONENT); part;
       part = icalcomponent_get_next_component(z, ICAL_ANY_COMPONENT)) {
    const icalcomponent_kind kind = icalcomponent_isa(part);
    if (kind == ICAL_XSTANDARD_COMPONENT || kind == ICAL_XDAYLIGHT_COMPONENT)
      DatedOnsets(part, data.horizon, &onsets);
  }
  std::stable_sort(onsets.begin(), onsets.end(), [](const Onset& a, const Onset& b) { return a.utc < b.utc; });
  return data;
}

const char* const kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

icalcomponent* ObservanceOf(icalcomponent_kind kind, const CZoneChange& change, int from, int to, bool repeats,
                           int firstYear = 1970) {
  icalcomponent* o = icalcomponent_new(kind);
  int month = 1, day = 1, year = 1970;
  if (repeats) DateFromJulianDay(CZoneRule::ChangeDay(change, firstYear), &month, &day, &year);
  icaltimetype t = icaltime_null_time();
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = change.second / 3600;
  t.minute = change.second / 60 % 60;
  t.second = change.second % 60;
  icalcomponent_add_property(o, icalproperty_new_dtstart(t));
  icalcomponent_add_property(o, icalproperty_new_tzoffsetfrom(from));
  icalcomponent_add_property(o, icalproperty_new_tzoffsetto(to));
  if (!repeats) return o;
  std::string rule = "FREQ=YEARLY;BYMONTH=" + std::to_string(change.month);
  if (change.weekday == 0) {
    rule += ";BYMONTHDAY=" + std::to_string(change.day);
  } else if (change.day == -1 || change.day % 7 == 1) {
    rule += ";BYDAY=" + std::to_string(change.day == -1 ? -1 : change.day / 7 + 1) + kDays[change.weekday - 1];
  } else {
    rule += ";BYMONTHDAY=";
    for (int d = change.day; d < change.day + 7 && d <= 31; ++d)
      rule += (d == change.day ? "" : ",") + std::to_string(d);
    rule += std::string(";BYDAY=") + kDays[change.weekday - 1];
  }
  icalcomponent_add_property(o, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.c_str())));
  return o;
}

}  // namespace

void ForgetZoneOnsets() { tZones.clear(); }

namespace {

// The zone's latest rules: a daylight and a standard sub-component with
// open yearly rules give a zone with changes, else the offset the latest
// sub-component changes to. False when they cannot be put that way or lie
// outside what the stored form holds.
bool YearlyOf(icalcomponent* z, CZoneRule* out) {
  Observance latest, standard, daylight;
  for (icalcomponent* part = icalcomponent_get_first_component(z, ICAL_ANY_COMPONENT); part;
       part = icalcomponent_get_next_component(z, ICAL_ANY_COMPONENT)) {
    const icalcomponent_kind kind = icalcomponent_isa(part);
    if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT) continue;
    if (Later(part, latest)) Take(part, &latest);
    icalrecurrencetype r;
    Observance& own = kind == ICAL_XSTANDARD_COMPONENT ? standard : daylight;
    if (OpenRule(part, &r) && Later(part, own)) Take(part, &own);
  }
  if (!latest.part) return false;
  bool ok = true;
  CZoneRule rule;
  if (standard.part && daylight.part) {
    icalrecurrencetype toStandard, toDaylight;
    OpenRule(standard.part, &toStandard);
    OpenRule(daylight.part, &toDaylight);
    rule.hasDaylight = true;
    rule.standardOffset = OffsetTo(standard.part, &ok);
    rule.daylightOffset = OffsetTo(daylight.part, &ok);
    ok = ok && ChangeOf(toStandard, standard.start, &rule.toStandard) &&
         ChangeOf(toDaylight, daylight.start, &rule.toDaylight);
  } else {
    rule.standardOffset = rule.daylightOffset = OffsetTo(latest.part, &ok);
  }
  // The stored form's own checks decide what is in range.
  if (!ok || !CZoneRule().Parse(rule.Format())) return false;
  *out = rule;
  return true;
}

// The zone's rule with the dated changes from the UTC moment `from` to
// `last`; false when its rules cannot be put that way.
bool RuleOver(icalcomponent* z, int64_t from, int64_t last, CZoneRule* rule) {
  const ZoneData& data = DataOf(z, last);
  if (!data.ok) return false;
  *rule = data.yearly;
  rule->dated = DatedChanges(data.onsets, data.yearly, from, last);
  return true;
}

icalcomponent* ZoneOf(icalproperty* property) {
  icaltimezone* zone = PropertyZone(property);
  return zone ? icaltimezone_get_component(zone) : nullptr;
}

}  // namespace

bool ZonedWallToUtc(icalproperty* property, const icaltimetype& wall, CDateTime* out) {
  icalcomponent* z = ZoneOf(property);
  int64_t seconds = 0;
  if (!z || !WallSeconds(wall, &seconds)) return false;
  // Offsets lie within a day: the changes of two days either side decide,
  // with the next one after them (until which a dated offset holds).
  constexpr int64_t kTwoDays = 2 * int64_t{CDateTime::kSecondsPerDay};
  const std::vector<Onset>& onsets = DataOf(z, seconds + kTwoDays).onsets;
  const auto next = std::upper_bound(onsets.begin(), onsets.end(), seconds + kTwoDays,
                                     [](int64_t at, const Onset& o) { return at < o.utc; });
  CZoneRule rule;
  if (!RuleOver(z, seconds - kTwoDays, next == onsets.end() ? seconds + kTwoDays : next->utc, &rule)) return false;
  const int64_t utc = rule.WallToUtc(seconds);
  const int64_t day = utc / CDateTime::kSecondsPerDay;
  CDateTime value = CDateTime::FromParts(static_cast<int32_t>(day),
                                         static_cast<int32_t>(utc - day * CDateTime::kSecondsPerDay), CDateTime::kUtc);
  if (value.IsEmpty() || FromIcalTime(ToIcalTime(value, false)).IsEmpty()) return false;
  icalparameter* tz = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
  value.SetZoneKind(CDateTime::kNamedZone);
  value.SetTzid(FromUtf8(tz ? icalparameter_get_tzid(tz) : "", 255));
  *out = value;
  return true;
}

std::string PropertyZoneRule(icalproperty* property) {
  icalcomponent* z = ZoneOf(property);
  if (!z) return std::string();
  // The dated changes kept: from two days before the series start (so a
  // start in a change's skipped hour still reads as written) to 50 years on.
  int32_t day = 0, seconds = 0;
  PropertyTime(property).GetParts(CDateTime::kAsUtc, &day, &seconds);
  const int64_t from = (int64_t{day} - 2) * CDateTime::kSecondsPerDay + (seconds < 0 ? 0 : seconds);
  const int64_t last = from + int64_t{50} * 36525 * CDateTime::kSecondsPerDay / 100;
  CZoneRule rule;
  if (!RuleOver(z, from, last, &rule)) return std::string();
  const std::string text = rule.Format();
  return CZoneRule().Parse(text) ? text : std::string();
}

namespace {

icaltimetype WallTime(int64_t wall) {
  const int32_t day = static_cast<int32_t>(wall / CDateTime::kSecondsPerDay);
  return ToIcalTime(CDateTime::FromParts(day, static_cast<int32_t>(wall - int64_t{day} * CDateTime::kSecondsPerDay),
                                         CDateTime::kFloating),
                    false);
}

// The dated changes as one observance per pair of offsets: its first change
// as DTSTART, the others as RDATEs, each on the wall clock before it.
void AddDatedObservances(icalcomponent* z, const std::vector<CZoneDatedChange>& dated) {
  struct Group {
    int32_t from, to;
    icalcomponent* part;
  };
  std::vector<Group> groups;
  int32_t previous = dated.front().offset;
  for (const CZoneDatedChange& c : dated) {
    auto g = std::find_if(groups.begin(), groups.end(),
                          [&](const Group& x) { return x.from == previous && x.to == c.offset; });
    const icaltimetype at = WallTime(c.utc + previous);
    if (g == groups.end()) {
      icalcomponent* o =
          icalcomponent_new(c.offset > previous ? ICAL_XDAYLIGHT_COMPONENT : ICAL_XSTANDARD_COMPONENT);
      icalcomponent_add_property(o, icalproperty_new_dtstart(at));
      icalcomponent_add_property(o, icalproperty_new_tzoffsetfrom(previous));
      icalcomponent_add_property(o, icalproperty_new_tzoffsetto(c.offset));
      groups.push_back(Group{previous, c.offset, o});
    } else {
      icaldatetimeperiodtype d;
      d.time = at;
      d.period = icalperiodtype_null_period();
      icalcomponent_add_property(g->part, icalproperty_new_rdate(d));
    }
    previous = c.offset;
  }
  for (const Group& g : groups) icalcomponent_add_component(z, g.part);
}

// The year of the yearly rule's first change of this kind after the moment.
int FirstYearAfter(const CZoneChange& change, int32_t before, int64_t utc) {
  int month = 0, day = 0, year = 0;
  DateFromJulianDay(static_cast<int32_t>(utc / CDateTime::kSecondsPerDay), &month, &day, &year);
  for (int y = year - 1; y < year + 2; ++y)
    if (CZoneRule::ChangeDay(change, y) * int64_t{CDateTime::kSecondsPerDay} + change.second - before > utc) return y;
  return year + 2;
}

}  // namespace

icalcomponent* ZoneComponent(const std::string& tzid, const CZoneRule& rule) {
  icalcomponent* z = icalcomponent_new(ICAL_VTIMEZONE_COMPONENT);
  icalcomponent_add_property(z, icalproperty_new_tzid(ToUtf8(tzid).c_str()));
  const int standard = rule.standardOffset, daylight = rule.daylightOffset;
  if (!rule.dated.empty()) {
    // The yearly rule starts with its first change after the last dated one,
    // as the stored rule reads it.
    AddDatedObservances(z, rule.dated);
    if (!rule.hasDaylight) return z;
    const int64_t last = rule.dated.back().utc;
    icalcomponent_add_component(z, ObservanceOf(ICAL_XSTANDARD_COMPONENT, rule.toStandard, daylight, standard, true,
                                                FirstYearAfter(rule.toStandard, daylight, last)));
    icalcomponent_add_component(z, ObservanceOf(ICAL_XDAYLIGHT_COMPONENT, rule.toDaylight, standard, daylight, true,
                                                FirstYearAfter(rule.toDaylight, standard, last)));
    return z;
  }
  if (!rule.hasDaylight) {
    icalcomponent_add_component(z, ObservanceOf(ICAL_XSTANDARD_COMPONENT, CZoneChange(), standard, standard, false));
    return z;
  }
  icalcomponent_add_component(z, ObservanceOf(ICAL_XSTANDARD_COMPONENT, rule.toStandard, daylight, standard, true));
  icalcomponent_add_component(z, ObservanceOf(ICAL_XDAYLIGHT_COMPONENT, rule.toDaylight, standard, daylight, true));
  return z;
}

icaltimetype ZonedWallTime(const CDateTime& value, const CZoneRule& rule) {
  int32_t day = 0, seconds = 0;
  value.GetParts(CDateTime::kAsUtc, &day, &seconds);
  const int64_t wall = rule.UtcToWall(int64_t{day} * CDateTime::kSecondsPerDay + seconds);
  const CDateTime local = CDateTime::FromParts(static_cast<int32_t>(wall / CDateTime::kSecondsPerDay),
                                               static_cast<int32_t>(wall % CDateTime::kSecondsPerDay),
                                               CDateTime::kFloating);
  return ToIcalTime(local, false);
}

icalproperty* ZonedTimeProperty(icalproperty* (*make)(icaltimetype), const CDateTime& value, const std::string& tzid,
                                const CZoneRule& rule) {
  icalproperty* p = make(ZonedWallTime(value, rule));
  icalproperty_add_parameter(p, icalparameter_new_tzid(ToUtf8(tzid).c_str()));
  return p;
}

bool SeriesZone(const CCalEvent& e, CZoneRule* rule) {
  const CRecurrenceRule* r = e.oneTime ? nullptr : e.recurrence.FindRule();
  return r && !e.allDay && !r->zone.empty() && e.start.GetZoneKind() == CDateTime::kNamedZone &&
         e.start.HasTimeOfDay() && !e.start.GetTzid().empty() && rule->Parse(r->zone);
}

}  // namespace icalx
