// Export: the VCALENDAR header, each event's VEVENT and its override
// VEVENTs, serialised by the library.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "model/events/cal_event.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_export_parts.h"
#include "storage/ical/ical_library.h"
#include "storage/ical/ical_rule.h"
#include "storage/ical/ical_zone_rule.h"

namespace icalx {

namespace {

void AddText(icalcomponent* c, icalproperty* (*make)(const char*), const std::string& ansi) {
  if (!ansi.empty()) icalcomponent_add_property(c, make(ToUtf8(ansi).c_str()));
}

}  // namespace

icalproperty* XTime(const char* name, const CDateTime& value, bool asDate) {
  icalproperty* p = icalproperty_new(ICAL_X_PROPERTY);
  icalproperty_set_x_name(p, name);
  icaltimetype t = ToIcalTime(value, asDate);
  icalproperty_set_value(p, asDate ? icalvalue_new_date(t) : icalvalue_new_datetime(t));
  return p;
}

icalproperty* TimeProperty(icalproperty* (*make)(icaltimetype), const CDateTime& value, bool asDate) {
  icalproperty* p = make(ToIcalTime(value, asDate));
  if (asDate) icalproperty_add_parameter(p, icalparameter_new_value(ICAL_VALUE_DATE));
  return p;
}

// An all-day end is the day after the last day, as a DATE (the exclusive
// end other programs expect); any other end is the end itself.
icalproperty* EndProperty(const CDateTime& end, bool allDay) {
  if (!allDay) return TimeProperty(icalproperty_new_dtend, end, false);
  CDateTime next = end;
  next.AddDays(1);
  return TimeProperty(icalproperty_new_dtend, next, true);
}

void AddTexts(icalcomponent* c, const std::string& type, const std::string& notes, const std::string& url) {
  AddText(c, icalproperty_new_categories, type);
  AddText(c, icalproperty_new_description, notes);
  AddText(c, icalproperty_new_url, url);
}

}  // namespace icalx

using namespace icalx;

namespace {

icalcomponent* WriteICalHeader(const ICalCalendarHeader& header) {
  icalcomponent* cal = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
  icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
  icalcomponent_add_property(cal, icalproperty_new_prodid("-//Corvelle Software//Almacora 5.0//EN"));
  icalcomponent_add_property(cal, icalproperty_new_method(ICAL_METHOD_PUBLISH));
  const struct {
    const char* name;
    const std::string& value;
  } xs[] = {{"X-WR-CALNAME", header.name}, {"X-WR-RELCALID", header.relCalId}, {"X-WR-TIMEZONE", header.timeZone}};
  for (const auto& x : xs) {
    if (x.value.empty()) continue;
    icalproperty* p = icalproperty_new_x(ToUtf8(x.value).c_str());
    icalproperty_set_x_name(p, x.name);
    icalcomponent_add_property(cal, p);
  }
  return cal;
}

icalproperty* XValue(const char* name, const std::string& value) {
  icalproperty* p = icalproperty_new_x(value.c_str());
  icalproperty_set_x_name(p, name);
  return p;
}

// The DTSTAMP written: the stamp, or the last change when there is none.
const CDateTime& StampOf(const CCalEvent& e) { return e.dtStamp.IsEmpty() ? e.lastModified : e.dtStamp; }

void AddIdentity(icalcomponent* c, const CCalEvent& e) {
  icalcomponent_add_property(c, icalproperty_new_uid(ToUtf8(e.uid).c_str()));
  icalcomponent_add_property(c, icalproperty_new_sequence(e.sequence));
  // DTSTAMP is required; an event that never had one is stamped now.
  const CDateTime stamp = StampOf(e).IsEmpty() ? CDateTime::NowUtc() : StampOf(e);
  icalcomponent_add_property(c, icalproperty_new_dtstamp(ToIcalTime(stamp, false)));
}

// A time property only for a set time: "no date" has no iCalendar form.
void AddTime(icalcomponent* c, icalproperty* (*make)(icaltimetype), const CDateTime& value) {
  if (!value.IsEmpty()) icalcomponent_add_property(c, make(ToIcalTime(value, false)));
}

// An RDATE: a date, a time, or a period with its end; a zoned series' in
// its zone.
icalproperty* AddedDate(const CDateRange& r, bool allDay, const CZoneRule* zone, const std::string& tzid) {
  const auto time = [&](const CDateTime& t) { return zone ? ZonedWallTime(t, *zone) : ToIcalTime(t, allDay); };
  icaldatetimeperiodtype dp;
  dp.time = icaltime_null_time();
  dp.period = icalperiodtype_null_period();
  icalproperty* p;
  if (r.HasEnd()) {
    dp.period.start = time(r.start);
    dp.period.end = time(r.end);
    p = icalproperty_new_rdate(dp);
    icalproperty_add_parameter(p, icalparameter_new_value(ICAL_VALUE_PERIOD));
  } else {
    dp.time = time(r.start);
    p = icalproperty_new_rdate(dp);
    if (allDay) icalproperty_add_parameter(p, icalparameter_new_value(ICAL_VALUE_DATE));
  }
  if (zone) icalproperty_add_parameter(p, icalparameter_new_tzid(ToUtf8(tzid).c_str()));
  return p;
}

// `exportedTzid`: the name its zone is exported under, when that is not
// the start's own.
icalcomponent* EventComponent(const CCalEvent& e, const ICalCalendarHeader& header, bool* advanced,
                              const std::string* exportedTzid = nullptr) {
  const bool allDay = e.allDay != 0;
  icalcomponent* v = icalcomponent_new(ICAL_VEVENT_COMPONENT);
  icalcomponent_add_property(v, icalproperty_new_summary(ToUtf8(e.name).c_str()));
  // A series of a named zone keeps its zone, so other programs repeat it
  // on that zone's wall clock too.
  CZoneRule zone;
  const CZoneRule* zoned = SeriesZone(e, &zone) ? &zone : nullptr;
  const std::string& tzid = exportedTzid ? *exportedTzid : e.start.GetTzid();
  if (zoned) {
    // At the time it was written, also where that lies in a skipped hour.
    icalproperty* start = icalproperty_new_dtstart(ToIcalTime(e.recurrence.FindRule()->StartAsWritten(), false));
    icalproperty_add_parameter(start, icalparameter_new_tzid(ToUtf8(tzid).c_str()));
    icalcomponent_add_property(v, start);
    if (e.showEnd && !e.end.IsEmpty())
      icalcomponent_add_property(v, ZonedTimeProperty(icalproperty_new_dtend, e.end, tzid, zone));
  } else {
    icalcomponent_add_property(v, TimeProperty(icalproperty_new_dtstart, e.start, allDay));
    if (e.showEnd && !e.end.IsEmpty()) icalcomponent_add_property(v, EndProperty(e.end, allDay));
  }
  AddTexts(v, e.type, e.notes, e.url);
  if (!e.oneTime) {
    if (const CRecurrenceRule* rule = e.recurrence.FindRule()) {
      icalrecurrencetype r;
      if (ToIcalRecurrence(*rule, allDay, &r, advanced)) icalcomponent_add_property(v, icalproperty_new_rrule(r));
      if (e.calculateAge) icalcomponent_add_property(v, XValue("X-AK-CALC-AGE", "TRUE"));
      if (rule->frequency == CRecurrenceRule::kEaster) {
        *advanced = true;
        char offset[16];
        std::snprintf(offset, sizeof offset, "%d", rule->offsetDays);
        icalcomponent_add_property(v, XValue("X-AK-RECUR-EASTER", "TRUE"));
        icalcomponent_add_property(v, XValue("X-AK-RECUR-OFFSET", offset));
      }
    } else if (e.calculateAge) {
      icalcomponent_add_property(v, XValue("X-AK-CALC-AGE", "TRUE"));
    }
  }
  for (const CDateTime& d : e.recurrence.excludedDates)
    icalcomponent_add_property(v, TimeProperty(icalproperty_new_exdate, d, allDay));
  for (const CDateRange& r : e.recurrence.addedDates) icalcomponent_add_property(v, AddedDate(r, allDay, zoned, tzid));
  if (!e.nextOccurrence.IsEmpty()) icalcomponent_add_property(v, XTime("X-AK-NEXT-ALARM", e.nextOccurrence, allDay));
  if (e.autoAcknowledge > 0) icalcomponent_add_property(v, XValue("X-AK-AUTO-ACKNOWLEDGE", "TRUE"));
  if (e.acknowledged) icalcomponent_add_property(v, XValue("X-AK-ACKNOWLEDGED", "TRUE"));
  AddIdentity(v, e);
  AddTime(v, icalproperty_new_created, e.created);
  AddTime(v, icalproperty_new_lastmodified, e.lastModified);
  if (header.publishAlarms) {
    AddAlarms(v, e, e.alarmOn != 0, e.leadTime);
    for (const auto& entry : e.occurrenceStates) {
      icalproperty* p = XTime("X-AK-ALARM-OCCUR", entry.first, false);
      if (entry.second.acknowledged) icalproperty_set_parameter_from_string(p, "X-ACK", "TRUE");
      if (entry.second.HasSnoozeTime())
        icalproperty_set_parameter_from_string(p, "X-SNOOZE-TIME",
                                               entry.second.snoozeTime.FormatICal(CDateTime::kAsLocal).c_str());
      icalcomponent_add_property(v, p);
    }
  }
  return v;
}

// An occurrence of its own as other programs read it: RECURRENCE-ID the
// scheduled date, DTSTART where the occurrence now starts. The series needs
// no EXDATE for it (the override replaces the occurrence).
icalcomponent* OverrideComponent(const CCalEvent& e, const CDateTime& date, const COccurrenceOverride& o,
                                 const ICalCalendarHeader& header) {
  const bool allDay = e.allDay != 0;
  icalcomponent* v = icalcomponent_new(ICAL_VEVENT_COMPONENT);
  icalcomponent_add_property(v, TimeProperty(icalproperty_new_recurrenceid, date, allDay));
  icalcomponent_add_property(v, icalproperty_new_summary(ToUtf8(e.GetOccurrenceName(date)).c_str()));
  icalcomponent_add_property(v, TimeProperty(icalproperty_new_dtstart, o.IsMoved() ? o.start : date, allDay));
  if (e.showEnd) {
    CDateTime end = o.end;
    if (!o.IsMoved()) {
      end = date;
      end.AddDuration(e.GetOccurrenceLength());
    }
    icalcomponent_add_property(v, EndProperty(end, allDay));
  }
  AddTexts(v, e.GetOccurrenceType(date), e.GetOccurrenceNotes(date), e.GetOccurrenceUrl(date));
  AddIdentity(v, e);
  if (header.publishAlarms) AddAlarms(v, e, e.GetOccurrenceAlarmEnabled(date) != 0, e.GetOccurrenceLeadTime(date));
  return v;
}

void AddEvent(icalcomponent* cal, const CCalEvent& e, const ICalCalendarHeader& header, bool* advanced,
              const std::string* tzid) {
  icalcomponent_add_component(cal, EventComponent(e, header, advanced, tzid));
  for (const auto& entry : e.occurrenceOverrides)
    icalcomponent_add_component(cal, OverrideComponent(e, entry.first, entry.second, header));
}

// The exported name is the TZID or one made from it for a second zone of
// that TZID ("Custom-2"); counts in *same those made so far.
bool SameZoneName(const std::string& exported, const std::string& tzid, int* same) {
  if (exported == tzid) return ++*same, true;
  if (exported.compare(0, tzid.size(), tzid) != 0 || exported.size() <= tzid.size() + 1 ||
      exported[tzid.size()] != '-' || exported.find_first_not_of("0123456789", tzid.size() + 1) != std::string::npos)
    return false;
  return ++*same, true;
}

struct ExportedZone {
  std::string name;
  CZoneRule rule;
  int64_t from;  // the earliest start of its series (UTC seconds)
};

int64_t UtcSeconds(const CDateTime& t) {
  int32_t day = 0, seconds = 0;
  t.GetParts(CDateTime::kAsUtc, &day, &seconds);
  return int64_t{day} * CDateTime::kSecondsPerDay + (seconds < 0 ? 0 : seconds);
}

// Adds a series' zone (its dated changes from `from` on) to a zone of the
// same name when both have one yearly rule and say the same offset at every
// change either holds from the later of their starts; false when they
// differ.
bool MergeZone(const CZoneRule& zone, int64_t from, ExportedZone* z) {
  CZoneRule* into = &z->rule;
  const auto yearly = [](const CZoneRule& r) {
    CZoneRule y = r;
    y.dated.clear();
    return y.Format();
  };
  if (yearly(zone) != yearly(*into)) return false;
  const int64_t both = std::max(from, z->from);
  for (const CZoneDatedChange& c : zone.dated)
    if (c.utc >= both && into->OffsetAtUtc(c.utc) != c.offset) return false;
  for (const CZoneDatedChange& c : into->dated)
    if (c.utc >= both && zone.OffsetAtUtc(c.utc) != c.offset) return false;
  z->from = std::min(z->from, from);
  std::vector<CZoneDatedChange>& all = into->dated;
  all.insert(all.end(), zone.dated.begin(), zone.dated.end());
  std::stable_sort(all.begin(), all.end(),
                   [](const CZoneDatedChange& a, const CZoneDatedChange& b) { return a.utc < b.utc; });
  all.erase(std::unique(all.begin(), all.end(),
                        [](const CZoneDatedChange& a, const CZoneDatedChange& b) { return a.utc == b.utc; }),
            all.end());
  return true;
}

std::string Serialise(icalcomponent* cal) {
  char* text = icalcomponent_as_ical_string_r(cal);
  std::string out = text ? text : "";
  std::free(text);
  icalcomponent_free(cal);
  return out;
}

}  // namespace

std::string CICalConverter::ExportEventICal(const CCalEvent& event, const ICalCalendarHeader& header) {
  return ExportCalendarICal({&event}, header);
}

std::string CICalConverter::ExportCalendarICal(const std::vector<const CCalEvent*>& events,
                                              const ICalCalendarHeader& header) {
  EnsureLibrary();
  advancedRule_ = 0;
  icalcomponent* cal = WriteICalHeader(header);
  bool advanced = false;
  // One VTIMEZONE a zone, with the dated changes of every series in it.
  // Two series of one TZID whose zones differ (two calendars that each
  // define "Custom", or names the code page could not hold) get a name each.
  std::vector<ExportedZone> zones;
  std::vector<size_t> zoneOf(events.size(), SIZE_MAX);
  for (size_t i = 0; i < events.size(); ++i) {
    const CCalEvent* e = events[i];
    CZoneRule zone;
    if (!e || e->alarmSuppressed || e->disabled || !SeriesZone(*e, &zone)) continue;
    const std::string& tzid = e->start.GetTzid();
    const int64_t from = UtcSeconds(e->start);
    size_t known = 0;
    int same = 0;
    for (; known < zones.size(); ++known) {
      if (!SameZoneName(zones[known].name, tzid, &same)) continue;
      if (MergeZone(zone, from, &zones[known])) break;
    }
    if (known == zones.size())
      zones.push_back(ExportedZone{same ? tzid + "-" + std::to_string(same + 1) : tzid, zone, from});
    zoneOf[i] = known;
  }
  for (const auto& z : zones) icalcomponent_add_component(cal, ZoneComponent(z.name, z.rule));
  for (size_t i = 0; i < events.size(); ++i) {
    const CCalEvent* e = events[i];
    if (!e || e->alarmSuppressed || e->disabled) continue;
    AddEvent(cal, *e, header, &advanced, zoneOf[i] == SIZE_MAX ? nullptr : &zones[zoneOf[i]].name);
  }
  advancedRule_ = advanced ? 1 : 0;
  return Serialise(cal);
}
