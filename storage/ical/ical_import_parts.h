// The pieces the import's files share. Internal to storage/ical.
#pragma once

#include <libical/ical.h>

#include <memory>
#include <string>

#include "model/events/cal_event.h"
#include "model/dates/duration.h"
#include "storage/ical/ical_target.h"

namespace icalx {

// Hostile texts get this many excluded and added dates and overrides per
// event at most; no event of a real calendar comes near.
constexpr size_t kMaxDateEntries = 10000;
constexpr size_t kMaxOverrides = 2000;

// One VEVENT as read, with what the later steps need to know about it.
struct ReadEvent {
  std::unique_ptr<CCalEvent> event;
  bool endGiven = false;
  bool durationGiven = false;
  CDuration duration;
  int ruleCount = 0;
  bool startGiven = false;  // a DTSTART with a date, read or not
  bool exclusionRule = false;
  // The text set these itself (else a held event keeps its own).
  bool created = false;
  bool lastModified = false;
  bool stamp = false;
  bool nextAlarm = false;
  bool alarmState = false;  // X-AK-ALARM-OCCUR or X-AK-ACKNOWLEDGED
  bool alarms = false;      // a VALARM
  std::string refusedSound;  // why a sound file was not taken (the import log's note)
};

// Step 3 of an event: a new event and every standard property of the
// component, in component order.
void ReadEventProperties(icalcomponent* vevent, ReadEvent* read);
// The X- properties by producer class (1 ours, 2 old Mozilla calendars).
void ReadExtensions(icalcomponent* vevent, int producer, ReadEvent* read);
// Every VALARM of the component, in order.
void ReadAlarms(icalcomponent* vevent, ReadEvent* read);
// The lead time of a VALARM's first TRIGGER; false without one.
bool ReadTriggerLead(icalcomponent* valarm, const CDateTime& start, CDuration* lead);

// An override VEVENT of `event` in the standard form (RECURRENCE-ID the
// scheduled date, DTSTART the new start); when `ours` (the text is this
// program's) also the form of earlier versions (RECURRENCE-ID the moved-to
// start, DTSTART the scheduled date), told apart by the series. Texts it
// leaves out are the event's. Returns whether the event changed.
bool ReadOverride(icalcomponent* vevent, bool ours, CCalEvent* event);

// Texts of a component: each property of the kind joined with ","
// (CATEGORIES arrive split at commas); bounded. It walks the component's
// properties, so it must not run inside another walk of them.
std::string JoinedText(icalcomponent* c, icalproperty_kind kind, size_t limit);
// The first property of the kind as ANSI text, bounded; "" without one.
std::string FirstText(icalcomponent* c, icalproperty_kind kind, size_t limit);
// The value of an X- parameter (case-insensitive name) or "".
std::string XParameter(icalproperty* p, const char* name);
// A date of an X- property: a DATE or DATE-TIME value, or a text value in
// the iCalendar date form.
CDateTime XPropertyTime(icalproperty* p);

// The merge of an imported event into the target by UID: 0 no event of
// that UID, 1 the held event differed and now holds the text's fields (and
// was stored), 2 it was equal. What the text does not carry the held event
// keeps: its alarm state (when the text has no X-AK-ALARM-OCCUR,
// X-AK-NEXT-ALARM or X-AK-ACKNOWLEDGED), its own e-mail switch, and its
// created, modified and stamp times when the text has none. *failed when
// storing the change failed; the held event is then as it was.
int MergeByUid(IICalTarget& target, const ReadEvent& read, bool* failed);

}  // namespace icalx
