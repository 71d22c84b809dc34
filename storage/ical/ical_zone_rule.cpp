// Zone rules from a file's VTIMEZONE at import, and a VTIMEZONE from a
// stored zone rule at export.
#include "storage/ical/ical_zone_rule.h"

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

// The open-ended yearly rule of an observance; false when it has none.
bool OpenRule(icalcomponent* part, icalrecurrencetype* r) {
  icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY);
  if (!p) return false;
  *r = icalproperty_get_rrule(p);
  return icaltime_is_null_time(r->until) && r->count == 0;
}

int OffsetTo(icalcomponent* part, bool* ok) {
  icalproperty* p = icalcomponent_get_first_property(part, ICAL_TZOFFSETTO_PROPERTY);
  if (!p) *ok = false;
  return p ? icalproperty_get_tzoffsetto(p) : 0;
}

const char* const kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

icalcomponent* ObservanceOf(icalcomponent_kind kind, const CZoneChange& change, int from, int to, bool repeats) {
  icalcomponent* o = icalcomponent_new(kind);
  int month = 1, day = 1, year = 1970;
  if (repeats) DateFromJulianDay(CZoneRule::ChangeDay(change, 1970), &month, &day, &year);
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

std::string PropertyZoneRule(icalproperty* property) {
  icaltimezone* zone = PropertyZone(property);
  icalcomponent* z = zone ? icaltimezone_get_component(zone) : nullptr;
  if (!z) return std::string();
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
  if (!latest.part) return std::string();
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
  const std::string text = rule.Format();
  return ok && CZoneRule().Parse(text) ? text : std::string();
}

icalcomponent* ZoneComponent(const std::string& tzid, const CZoneRule& rule) {
  icalcomponent* z = icalcomponent_new(ICAL_VTIMEZONE_COMPONENT);
  icalcomponent_add_property(z, icalproperty_new_tzid(ToUtf8(tzid).c_str()));
  const int standard = rule.standardOffset, daylight = rule.daylightOffset;
  if (!rule.hasDaylight) {
    icalcomponent_add_component(z, ObservanceOf(ICAL_XSTANDARD_COMPONENT, CZoneChange(), standard, standard, false));
    return z;
  }
  icalcomponent_add_component(z, ObservanceOf(ICAL_XSTANDARD_COMPONENT, rule.toStandard, daylight, standard, true));
  icalcomponent_add_component(z, ObservanceOf(ICAL_XDAYLIGHT_COMPONENT, rule.toDaylight, standard, daylight, true));
  return z;
}

icalproperty* ZonedTimeProperty(icalproperty* (*make)(icaltimetype), const CDateTime& value, const std::string& tzid,
                                const CZoneRule& rule) {
  int32_t day = 0, seconds = 0;
  value.GetParts(CDateTime::kAsUtc, &day, &seconds);
  const int64_t wall = rule.UtcToWall(int64_t{day} * CDateTime::kSecondsPerDay + seconds);
  const CDateTime local = CDateTime::FromParts(static_cast<int32_t>(wall / CDateTime::kSecondsPerDay),
                                               static_cast<int32_t>(wall % CDateTime::kSecondsPerDay),
                                               CDateTime::kFloating);
  icalproperty* p = make(ToIcalTime(local, false));
  icalproperty_add_parameter(p, icalparameter_new_tzid(ToUtf8(tzid).c_str()));
  return p;
}

bool SeriesZone(const CCalEvent& e, CZoneRule* rule) {
  const CRecurrenceRule* r = e.oneTime ? nullptr : e.recurrence.FindRule();
  return r && !e.allDay && !r->zone.empty() && e.start.GetZoneKind() == CDateTime::kNamedZone &&
         e.start.HasTimeOfDay() && !e.start.GetTzid().empty() && rule->Parse(r->zone);
}

}  // namespace icalx
