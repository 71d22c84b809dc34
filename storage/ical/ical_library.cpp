// Shared libical plumbing of the converter: set-up, texts, dates, durations.
#include "storage/ical/ical_library.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/code_page.h"
#include "storage/ical/ical_zone_rule.h"

namespace icalx {

namespace {

// The record keeps duration parts up to this (model/events/field_buffer_bytes.h).
constexpr int kMaxDurationPart = 100000000;
// JulianDayFromDate reads years 0..99 as 1900..1999, and the record ends
// with 9999: anything outside is refused rather than moved a century.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

int Bounded(int value) { return std::min(std::max(value, 0), kMaxDurationPart); }

}  // namespace

void EnsureLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

std::string ToUtf8(const std::string& ansi) { return platform::AnsiToUtf8(ansi); }

std::string FromUtf8(const char* text, size_t limit) {
  if (!text) return std::string();
  std::string ansi = platform::Utf8ToAnsi(text);
  if (ansi.size() > limit) ansi.resize(limit);
  return ansi;
}

const char* PropertyText(icalproperty* property) {
  icalvalue* v = icalproperty_get_value(property);
  if (!v) return nullptr;
  switch (icalvalue_isa(v)) {
    case ICAL_TEXT_VALUE: return icalvalue_get_text(v);
    case ICAL_URI_VALUE: return icalvalue_get_uri(v);
    case ICAL_CALADDRESS_VALUE: return icalvalue_get_caladdress(v);
    case ICAL_X_VALUE: return icalvalue_get_x(v);
    default: return icalproperty_get_value_as_string(property);
  }
}

icaltimetype ToIcalTime(const CDateTime& value, bool asDate) {
  icaltimetype t = icaltime_null_time();
  int month = 0, day = 0, year = 0;
  value.GetDate(&month, &day, &year, CDateTime::kAsStored);
  t.year = year;
  t.month = month;
  t.day = day;
  if (asDate) {
    t.is_date = 1;
    return t;
  }
  t.hour = value.GetHour(CDateTime::kAsStored);
  t.minute = value.GetMinute(CDateTime::kAsStored);
  t.second = value.GetSecond(CDateTime::kAsStored);
  if (value.GetZoneKind() == CDateTime::kUtc || value.GetZoneKind() == CDateTime::kNamedZone)
    t.zone = icaltimezone_get_utc_timezone();
  return t;
}

CDateTime FromIcalTime(const icaltimetype& time) {
  if (icaltime_is_null_time(time)) return CDateTime();
  if (time.year < kFirstYear || time.year > kLastYear) return CDateTime();
  if (!IsValidDate(time.month, time.day, time.year)) return CDateTime();
  CDateTime value(time.day, time.month, time.year);
  if (value.IsEmpty()) return value;
  if (!time.is_date) {
    if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
        time.second > 60)
      return CDateTime();
    value.SetTime(time.hour, time.minute, std::min(time.second, 59));
    if (icaltime_is_utc(time)) value.SetZoneKind(CDateTime::kUtc);
  }
  return value;
}

namespace {

// An offset beyond 18 hours moves times by days: no zone has one.
constexpr int kMaxZoneOffset = 18 * 3600;

// "" for a zone the import can read, else why it cannot.
std::string ZoneFault(icalcomponent* zone) {
  static const char kRunaway[] =
      "its rules change the offset too often or in ways Almacora does not expand (more than 16 yearly rules or "
      "2000 dates)";
  int rules = 0, dates = 0;
  for (icalcomponent* o = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); o;
       o = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
    for (icalproperty* p = icalcomponent_get_first_property(o, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(o, ICAL_ANY_PROPERTY)) {
      const icalproperty_kind kind = icalproperty_isa(p);
      if (kind == ICAL_TZOFFSETTO_PROPERTY || kind == ICAL_TZOFFSETFROM_PROPERTY) {
        const int offset =
            kind == ICAL_TZOFFSETTO_PROPERTY ? icalproperty_get_tzoffsetto(p) : icalproperty_get_tzoffsetfrom(p);
        if (offset > kMaxZoneOffset || offset < -kMaxZoneOffset)
          return std::string("its ") + (kind == ICAL_TZOFFSETTO_PROPERTY ? "TZOFFSETTO" : "TZOFFSETFROM") +
                 " lies beyond 18 hours";
      }
      if (kind == ICAL_RDATE_PROPERTY && ++dates > kMaxZoneDates) return kRunaway;
      if (kind != ICAL_RRULE_PROPERTY) continue;
      if (++rules > kMaxZoneRules) return kRunaway;
      const icalrecurrencetype r = icalproperty_get_rrule(p);
      if (r.freq != ICAL_YEARLY_RECURRENCE || r.interval < 1) return kRunaway;
      if (r.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX || r.by_month[1] != ICAL_RECURRENCE_ARRAY_MAX) return kRunaway;
      if (r.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX)
        return kRunaway;
      // Many writers repeat the change's time as BYHOUR and BYMINUTE: one
      // value each still gives one change a year.
      if (r.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX && r.by_hour[1] != ICAL_RECURRENCE_ARRAY_MAX) return kRunaway;
      if (r.by_minute[0] != ICAL_RECURRENCE_ARRAY_MAX && r.by_minute[1] != ICAL_RECURRENCE_ARRAY_MAX) return kRunaway;
      if (r.by_second[0] != ICAL_RECURRENCE_ARRAY_MAX && r.by_second[1] != ICAL_RECURRENCE_ARRAY_MAX) return kRunaway;
    }
  }
  return std::string();
}

}  // namespace

std::vector<DroppedZone> DropRunawayZones(icalcomponent* vcalendar) {
  std::vector<icalcomponent*> drop;
  std::vector<DroppedZone> dropped;
  for (icalcomponent* z = icalcomponent_get_first_component(vcalendar, ICAL_VTIMEZONE_COMPONENT); z;
       z = icalcomponent_get_next_component(vcalendar, ICAL_VTIMEZONE_COMPONENT)) {
    std::string why = ZoneFault(z);
    if (why.empty()) continue;
    drop.push_back(z);
    icalproperty* id = icalcomponent_get_first_property(z, ICAL_TZID_PROPERTY);
    const char* name = id ? icalproperty_get_tzid(id) : nullptr;
    dropped.push_back(DroppedZone{name ? name : "", std::move(why)});
  }
  for (icalcomponent* z : drop) {
    icalcomponent_remove_component(vcalendar, z);
    icalcomponent_free(z);
  }
  return dropped;
}

bool HasLibraryError(icalcomponent* component, const char* part) {
  for (icalproperty* e = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); e;
       e = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
    const char* text = icalproperty_get_xlicerror(e);
    if (text && std::strstr(text, part)) return true;
  }
  return false;
}

bool PropertyIsDate(icalproperty* property) {
  icalvalue* v = icalproperty_get_value(property);
  return v && icalvalue_isa(v) == ICAL_DATE_VALUE;
}

namespace {

// The time of a DATE or DATE-TIME value; false for any other value.
bool DateValue(icalproperty* property, icaltimetype* t) {
  icalvalue* v = icalproperty_get_value(property);
  if (!v) return false;
  const icalvalue_kind kind = icalvalue_isa(v);
  if (kind != ICAL_DATE_VALUE && kind != ICAL_DATETIME_VALUE) return false;
  *t = icalvalue_get_datetime(v);
  return true;
}

}  // namespace

icaltimezone* PropertyZone(icalproperty* property) {
  icalparameter* tzParam = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
  const char* tzid = tzParam ? icalparameter_get_tzid(tzParam) : nullptr;
  if (!tzid || !*tzid) return nullptr;
  // Only the text's own VTIMEZONE: the library's built-in lookup would read
  // zone files named by the text, and differs between the two platforms.
  icaltimezone* zone = nullptr;
  for (icalcomponent* c = icalproperty_get_parent(property); c && !zone; c = icalcomponent_get_parent(c)) {
    if (icalcomponent_isa(c) == ICAL_VCALENDAR_COMPONENT) zone = icalcomponent_get_timezone(c, tzid);
  }
  return zone;
}

CDateTime ZonedTime(icalproperty* property, const icaltimetype& time) {
  icalparameter* tzParam = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
  if (!tzParam || time.is_date || icaltime_is_utc(time)) return FromIcalTime(time);
  if (FromIcalTime(time).IsEmpty()) return CDateTime();
  CDateTime value;
  if (ZonedWallToUtc(property, time, &value)) return value;
  icaltimezone* zone = PropertyZone(property);
  if (!zone) return FromIcalTime(time);
  // Rules no zone rule can say: the library's own reading.
  icaltimetype t = time;
  t.zone = zone;
  value = FromIcalTime(icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone()));
  if (value.IsEmpty()) return value;
  value.SetZoneKind(CDateTime::kNamedZone);
  value.SetTzid(FromUtf8(icalparameter_get_tzid(tzParam), 255));
  return value;
}

CDateTime PropertyTime(icalproperty* property) {
  icaltimetype t;
  if (!DateValue(property, &t)) return CDateTime();
  return ZonedTime(property, t);
}

CDateTime PropertyDateAsWritten(icalproperty* property, bool dateOnly) {
  icaltimetype t;
  if (!DateValue(property, &t)) return CDateTime();
  if (dateOnly) t.is_date = 1;
  t.zone = nullptr;
  return FromIcalTime(t);
}

icaldurationtype ToIcalDuration(const CDuration& d, bool negative) {
  icaldurationtype out = icaldurationtype_null_duration();
  out.is_neg = negative ? 1 : 0;
  out.days = static_cast<unsigned int>(Bounded(d.days));
  out.weeks = static_cast<unsigned int>(Bounded(d.weeks));
  out.hours = static_cast<unsigned int>(Bounded(d.hours));
  out.minutes = static_cast<unsigned int>(Bounded(d.minutes));
  out.seconds = static_cast<unsigned int>(Bounded(d.seconds));
  return out;
}

CDuration FromIcalDuration(const icaldurationtype& d) {
  CDuration out;
  out.sign = 1;
  const auto part = [](unsigned int v) { return v > static_cast<unsigned int>(kMaxDurationPart) ? kMaxDurationPart : static_cast<int>(v); };
  out.days = part(d.days);
  out.weeks = part(d.weeks);
  out.hours = part(d.hours);
  out.minutes = part(d.minutes);
  out.seconds = part(d.seconds);
  return out;
}

}  // namespace icalx
