// Import of an override VEVENT into its event: the changed texts, the
// moved times and the occurrence's own alarm.
#include <string>

#include "model/events/cal_event.h"
#include "storage/ical/ical_import_parts.h"
#include "storage/ical/ical_library.h"

namespace icalx {

namespace {

// Sets the override's text and mask bit when the text differs from the
// event's own.
// A text the component leaves out (or empty, which the export leaves out)
// is the event's: the occurrence inherits it.
void TakeText(const std::string& text, const std::string& eventText, int32_t bit, std::string* field,
              COccurrenceOverride* o) {
  if (text.empty() || text == eventText) return;
  *field = text;
  o->mask |= bit;
}

bool SameOverride(const COccurrenceOverride& a, const COccurrenceOverride& b) {
  return a.moved == b.moved && a.start.IsIdenticalTo(b.start) && a.end.IsIdenticalTo(b.end) && a.mask == b.mask &&
         a.name == b.name && a.type == b.type && a.notes == b.notes && a.url == b.url && a.leadTime == b.leadTime &&
         a.alarmOn == b.alarmOn;
}

// A time of the override; for an all-day series the date as written, in
// whatever zone it is given (its UTC date may be the day before).
CDateTime OverrideTime(icalproperty* p, const CCalEvent& e) {
  if (!p) return CDateTime();
  return e.allDay ? PropertyDateAsWritten(p) : PropertyTime(p);
}

// Earlier versions of this program wrote RECURRENCE-ID and DTSTART the other
// way round, with an EXDATE of the RECURRENCE-ID on the series. Their
// RECURRENCE-ID is that excluded date, or else the one of the two that the
// series' rule does not give while DTSTART is an occurrence.
bool RuleGives(CCalEvent& e, const CDateTime& date) {
  if (e.oneTime) return date == e.start;
  CDateRange check(date);
  return e.recurrence.NextInstance(check) == CCalEvent::kFound && check.start == date;
}

bool EarlierForm(CCalEvent& e, const CDateTime& recurrenceId, const CDateTime& start) {
  if (start.IsEmpty() || start == recurrenceId) return false;
  for (const CDateTime& d : e.recurrence.excludedDates)
    if (d == recurrenceId) return true;
  return !RuleGives(e, recurrenceId) && RuleGives(e, start);
}

}  // namespace

bool ReadOverride(icalcomponent* v, bool ours, CCalEvent* event) {
  CCalEvent& e = *event;
  const CDateTime recurrenceId = OverrideTime(icalcomponent_get_first_property(v, ICAL_RECURRENCEID_PROPERTY), e);
  if (recurrenceId.IsEmpty()) return false;
  const CDateTime start = OverrideTime(icalcomponent_get_first_property(v, ICAL_DTSTART_PROPERTY), e);
  const bool earlierForm = ours && EarlierForm(e, recurrenceId, start);
  if (earlierForm && e.occurrenceOverrides.GetAssocAt(recurrenceId)) return false;
  if (e.occurrenceOverrides.GetCount() >= kMaxOverrides) return false;

  COccurrenceOverride o;
  CDateTime key = recurrenceId;
  o.start = recurrenceId;
  bool endGiven = false;
  CDuration duration;
  bool durationGiven = false;
  TakeText(FirstText(v, ICAL_SUMMARY_PROPERTY, kMaxOverrideText), e.name, COccurrenceOverride::kName, &o.name, &o);
  TakeText(JoinedText(v, ICAL_CATEGORIES_PROPERTY, kMaxOverrideText), e.type, COccurrenceOverride::kType, &o.type, &o);
  TakeText(FirstText(v, ICAL_DESCRIPTION_PROPERTY, kMaxOverrideText), e.notes, COccurrenceOverride::kNotes, &o.notes,
           &o);
  TakeText(FirstText(v, ICAL_URL_PROPERTY, kMaxOverrideText), e.url, COccurrenceOverride::kUrl, &o.url, &o);
  if (!start.IsEmpty()) {
    if (earlierForm)
      key = start;
    else
      o.start = start;
    o.moved = start != recurrenceId ? 1 : 0;
  }
  if (icalproperty* p = icalcomponent_get_first_property(v, ICAL_DTEND_PROPERTY)) {
    o.end = PropertyTime(p);
    endGiven = !o.end.IsEmpty();
  }
  if (icalproperty* p = icalcomponent_get_first_property(v, ICAL_DURATION_PROPERTY)) {
    const icaldurationtype d = icalproperty_get_duration(p);
    if (!icaldurationtype_is_bad_duration(d)) {
      duration = FromIcalDuration(d);
      duration.sign = d.is_neg ? -1 : 1;
      durationGiven = true;
    }
  }
  if (!endGiven) {
    // A moved occurrence keeps the event's length unless told otherwise.
    o.end = o.start;
    o.end.AddDuration(durationGiven ? duration : e.GetOccurrenceLength());
  } else if (e.allDay && o.end.GetRawSecondsOfDay() == 0 && o.start < o.end) {
    o.end.AddDays(-1);
  }

  o.alarmOn = e.alarmOn;
  o.leadTime = e.leadTime;
  if (icalcomponent* alarm = icalcomponent_get_first_component(v, ICAL_VALARM_COMPONENT)) {
    if (!e.alarmOn) {
      o.alarmOn = 1;
      o.mask |= COccurrenceOverride::kAlarm;
    }
    CDuration lead;
    if (ReadTriggerLead(alarm, earlierForm ? key : o.start, &lead) && lead != e.leadTime) {
      o.leadTime = lead;
      o.mask |= COccurrenceOverride::kAlarm;
    }
  } else if (e.alarmOn) {
    o.alarmOn = 0;
    o.mask |= COccurrenceOverride::kAlarm;
  }

  if (o.mask == 0 && !o.moved) return false;
  if (!o.moved) {
    o.start = CDateTime();
    o.end = CDateTime();
  }
  const COccurrenceOverride* held = e.occurrenceOverrides.GetAssocAt(key);
  if (held && SameOverride(*held, o)) return false;
  e.occurrenceOverrides[key] = o;
  e.recurrence.excludedDates.Remove(recurrenceId);
  if (key == e.nextOccurrence) {
    CDateTime from = key;
    e.GetNextOccurrenceFrom(from, true);
  }
  return true;
}

}  // namespace icalx
