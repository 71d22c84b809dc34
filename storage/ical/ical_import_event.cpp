// Import of one VEVENT's own properties and of the program's extension
// properties.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "storage/ical/ical_import_parts.h"
#include "storage/ical/ical_library.h"
#include "storage/ical/ical_rule.h"
#include "storage/ical/ical_zone_rule.h"

namespace icalx {

namespace {

bool SameNoCase(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  }
  return *a == *b;
}

// Sorted once and appended in order: inserting a hostile number of dates
// one by one into the middle would take quadratic time.
template <class List, class Entry, class Less>
void FillSorted(List* list, std::vector<Entry>& entries, Less less) {
  std::stable_sort(entries.begin(), entries.end(), less);
  for (const Entry& e : entries) list->AddTailCopy(e);
}

// An added date in its own TZID (a date has no zone).
void ReadAddedDate(icalproperty* p, std::vector<CDateRange>* added) {
  icalvalue* value = icalproperty_get_value(p);
  if (!value) return;
  const icaldatetimeperiodtype dp = icalproperty_get_rdate(p);
  icalparameter* vp = icalproperty_get_first_parameter(p, ICAL_VALUE_PARAMETER);
  const icalparameter_value kind = vp ? icalparameter_get_value(vp) : ICAL_VALUE_NONE;
  CDateRange range;
  const bool period = !icalperiodtype_is_null_period(dp.period);
  if (kind == ICAL_VALUE_DATE || kind == ICAL_VALUE_DATETIME || (kind == ICAL_VALUE_NONE && !period)) {
    range.start = ZonedTime(p, dp.time);
  } else if (kind == ICAL_VALUE_PERIOD || kind == ICAL_VALUE_NONE) {
    range.start = ZonedTime(p, dp.period.start);
    if (!icaltime_is_null_time(dp.period.end)) {
      range.end = ZonedTime(p, dp.period.end);
    } else {
      range.end = range.start;
      range.end.AddDuration(FromIcalDuration(dp.period.duration));
    }
  }
  // An added date without a start would be no occurrence at all.
  if (!range.start.IsEmpty()) added->push_back(range);
}

// A floating UNTIL of a zoned series is a wall-clock time of the series'
// zone, as its start is.
void ReadUntilInZone(icalproperty* dtstart, CCalEvent* e) {
  CRecurrenceRule* r = e->recurrence.FindRule();
  if (!dtstart || e->oneTime || !r || e->start.GetZoneKind() != CDateTime::kNamedZone || !r->IsUntilSet() ||
      r->until.GetZoneKind() != CDateTime::kFloating || !r->until.HasTimeOfDay())
    return;
  const CDateTime until = ZonedTime(dtstart, ToIcalTime(r->until, false));
  if (!until.IsEmpty()) r->until = until;
}

}  // namespace

std::string JoinedText(icalcomponent* c, icalproperty_kind kind, size_t limit) {
  std::string out;
  for (icalproperty* p = icalcomponent_get_first_property(c, kind); p; p = icalcomponent_get_next_property(c, kind)) {
    const char* text = PropertyText(p);
    if (!text) continue;
    if (!out.empty()) out += ',';
    out += FromUtf8(text, limit);
    if (out.size() >= limit) break;
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

std::string FirstText(icalcomponent* c, icalproperty_kind kind, size_t limit) {
  icalproperty* p = icalcomponent_get_first_property(c, kind);
  return p ? FromUtf8(PropertyText(p), limit) : std::string();
}

std::string XParameter(icalproperty* p, const char* name) {
  for (icalparameter* q = icalproperty_get_first_parameter(p, ICAL_X_PARAMETER); q;
       q = icalproperty_get_next_parameter(p, ICAL_X_PARAMETER)) {
    if (SameNoCase(icalparameter_get_xname(q), name)) {
      const char* v = icalparameter_get_xvalue(q);
      return v ? std::string(v).substr(0, 64) : std::string();
    }
  }
  return std::string();
}

CDateTime XPropertyTime(icalproperty* p) {
  icalvalue* v = icalproperty_get_value(p);
  if (!v) return CDateTime();
  const icalvalue_kind kind = icalvalue_isa(v);
  if (kind == ICAL_DATE_VALUE || kind == ICAL_DATETIME_VALUE) return PropertyTime(p);
  const char* text = icalproperty_get_value_as_string(p);
  CDateTime value;
  if (!text || std::strlen(text) > 16 || !value.ParseICal(text)) return CDateTime();
  return value;
}

void ReadEventProperties(icalcomponent* v, ReadEvent* read) {
  read->event.reset(new CCalEvent());
  CCalEvent& e = *read->event;
  e.oneTime = 1;
  e.dtStamp.Clear();
  e.type.clear();
  e.alarmOn = 0;
  std::vector<CDateTime> excluded;
  std::vector<CDateRange> added;
  bool typeRead = false;
  icalproperty* dtstart = nullptr;
  for (icalproperty* p = icalcomponent_get_first_property(v, ICAL_ANY_PROPERTY); p;
       p = icalcomponent_get_next_property(v, ICAL_ANY_PROPERTY)) {
    switch (icalproperty_isa(p)) {
      case ICAL_CATEGORIES_PROPERTY:
        // The library splits the value at its commas into several
        // properties; the type is all of them together, in order.
        if (e.type.size() < kMaxText) {
          if (typeRead) e.type += ',';
          e.type += FromUtf8(PropertyText(p));
          if (e.type.size() > kMaxText) e.type.resize(kMaxText);
        }
        typeRead = true;
        break;
      case ICAL_CREATED_PROPERTY:
        e.created = PropertyTime(p);
        read->created = true;
        break;
      case ICAL_LASTMODIFIED_PROPERTY:
        e.lastModified = PropertyTime(p);
        read->lastModified = true;
        break;
      case ICAL_DTSTAMP_PROPERTY:
        e.dtStamp = PropertyTime(p);
        read->stamp = true;
        break;
      case ICAL_DESCRIPTION_PROPERTY: e.notes = FromUtf8(PropertyText(p)); break;
      case ICAL_SUMMARY_PROPERTY: e.name = FromUtf8(PropertyText(p)); break;
      case ICAL_URL_PROPERTY: e.url = FromUtf8(PropertyText(p)); break;
      case ICAL_UID_PROPERTY: e.uid = FromUtf8(PropertyText(p)); break;
      case ICAL_SEQUENCE_PROPERTY: e.sequence = std::max(icalproperty_get_sequence(p), 0); break;
      case ICAL_DTSTART_PROPERTY:
        e.start = PropertyTime(p);
        dtstart = p;
        // A series of a named zone repeats on that zone's wall clock.
        e.recurrence.GetRule()->zone =
            e.start.GetZoneKind() == CDateTime::kNamedZone ? PropertyZoneRule(p) : std::string();
        // A start written in a skipped hour repeats at the written time.
        e.recurrence.GetRule()->SetWrittenStart(PropertyDateAsWritten(p, false));
        // A DATE value makes the event all-day, with or without VALUE=DATE.
        e.allDay = PropertyIsDate(p) ? 1 : 0;
        break;
      case ICAL_DTEND_PROPERTY:
        e.end = PropertyTime(p);
        read->endGiven = true;
        break;
      case ICAL_DURATION_PROPERTY: {
        const icaldurationtype d = icalproperty_get_duration(p);
        if (icaldurationtype_is_bad_duration(d)) break;
        read->duration = FromIcalDuration(d);
        read->duration.sign = d.is_neg ? -1 : 1;
        read->durationGiven = true;
        break;
      }
      case ICAL_EXDATE_PROPERTY:
        if (excluded.size() < kMaxDateEntries) {
          const CDateTime d = PropertyTime(p);
          if (!d.IsEmpty()) excluded.push_back(d);
        }
        break;
      case ICAL_RDATE_PROPERTY:
        if (added.size() < kMaxDateEntries) ReadAddedDate(p, &added);
        break;
      case ICAL_RRULE_PROPERTY:
        if (++read->ruleCount == 1) {
          FromIcalRecurrence(icalproperty_get_rrule(p), e.recurrence.GetRule());
          e.oneTime = 0;
        }
        break;
      case ICAL_EXRULE_PROPERTY: read->exclusionRule = true; break;
      default: break;
    }
  }
  read->startGiven = dtstart && !icaltime_is_null_time(icalproperty_get_dtstart(dtstart));
  ReadUntilInZone(dtstart, &e);
  if (e.oneTime && !added.empty() && read->ruleCount == 0 && !e.start.IsEmpty()) {
    // The added dates are occurrences beside the start: a series of the
    // start alone and them.
    CRecurrenceRule* r = e.recurrence.GetRule();
    r->frequency = CRecurrenceRule::kDaily;
    r->count = 1;
    e.oneTime = 0;
  }
  FillSorted(&e.recurrence.excludedDates, excluded, [](const CDateTime& a, const CDateTime& b) { return a < b; });
  FillSorted(&e.recurrence.addedDates, added, [](const CDateRange& a, const CDateRange& b) { return a.start < b.start; });
}

void ReadExtensions(icalcomponent* v, int producer, ReadEvent* read) {
  CCalEvent& e = *read->event;
  std::string alarmUnits, alarmLength;
  bool unitsSeen = false, lengthSeen = false;
  for (icalproperty* p = icalcomponent_get_first_property(v, ICAL_X_PROPERTY); p;
       p = icalcomponent_get_next_property(v, ICAL_X_PROPERTY)) {
    const char* name = icalproperty_get_x_name(p);
    if (!name) continue;
    const char* rawValue = icalproperty_get_value_as_string(p);
    const std::string value = rawValue ? std::string(rawValue).substr(0, kMaxText) : std::string();
    if (producer == 1) {
      if (SameNoCase(name, "X-AK-CALC-AGE")) {
        e.calculateAge = 1;
      } else if (SameNoCase(name, "X-AK-RECUR-EASTER")) {
        e.recurrence.GetRule()->frequency = CRecurrenceRule::kEaster;
        e.oneTime = 0;
      } else if (SameNoCase(name, "X-AK-RECUR-OFFSET")) {
        // The record keeps the offset in 16 bits.
        const long offset = std::strtol(value.c_str(), nullptr, 10);
        e.recurrence.GetRule()->offsetDays = static_cast<int32_t>(std::min(std::max(offset, -32767L), 32767L));
      } else if (SameNoCase(name, "X-AK-AUTO-ACKNOWLEDGE")) {
        e.autoAcknowledge = 1;
      } else if (SameNoCase(name, "X-AK-ACKNOWLEDGED")) {
        e.acknowledged = 1;
        read->alarmState = true;
      } else if (SameNoCase(name, "X-AK-NEXT-ALARM")) {
        e.nextOccurrence = XPropertyTime(p);
        read->nextAlarm = true;
      } else if (SameNoCase(name, "X-AK-ALARM-OCCUR")) {
        read->alarmState = true;
        COccurrenceState state;
        const CDateTime date = XPropertyTime(p);
        state.acknowledged = XParameter(p, "X-ACK") == "TRUE" ? 1 : 0;
        const std::string snooze = XParameter(p, "X-SNOOZE-TIME");
        if (!snooze.empty() && !state.snoozeTime.ParseICal(snooze)) state.snoozeTime.Clear();
        if (!date.IsEmpty() && (state.acknowledged || state.HasSnoozeTime()) &&
            e.occurrenceStates.GetCount() < kMaxDateEntries)
          e.occurrenceStates[date] = state;
      }
    } else if (producer == 2 && std::strcmp(name, "X") == 0) {
      icalparameter* first = icalproperty_get_first_parameter(p, ICAL_ANY_PARAMETER);
      if (!first) continue;
      char* written = icalparameter_as_ical_string_r(first);
      const char* equals = written ? std::strchr(written, '=') : nullptr;
      const std::string item = equals ? std::string(equals + 1).substr(0, 64) : std::string();
      std::free(written);
      if (item == "AllDay") {
        e.allDay = value == "TRUE" ? 1 : 0;
      } else if (item == "AlarmUnits") {
        alarmUnits = value;
        unitsSeen = true;
      } else if (item == "AlarmLength") {
        alarmLength = value;
        lengthSeen = true;
      } else if (item == "AlarmEmailAddress") {
        // The recipients and texts arrive, the action stays off until the
        // user switches it on.
        e.emailTo = FromUtf8(value.c_str());
        e.emailSubject = e.name;
        e.emailBody = e.notes;
        e.emailOn = 0;
        e.alarmOn = 1;
      }
    }
  }
  if (unitsSeen && lengthSeen) {
    const long amount = std::min(std::max(std::strtol(alarmLength.c_str(), nullptr, 10), 0L), 100000000L);
    CDuration lead;
    lead.sign = 1;
    if (alarmUnits == "minutes") lead.minutes = static_cast<int32_t>(amount);
    if (alarmUnits == "hours") lead.hours = static_cast<int32_t>(amount);
    e.leadTime = lead;
    e.alarmOn = 1;
  }
}

}  // namespace icalx
