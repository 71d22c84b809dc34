// The pieces the export's files share. Internal to storage/ical.
#pragma once

#include <libical/ical.h>

#include <string>

class CCalEvent;
class CDateTime;
class CDuration;

namespace icalx {

// An X- property holding a DATE or DATE-TIME value.
icalproperty* XTime(const char* name, const CDateTime& value, bool asDate);
// A date property made by `make`, with VALUE=DATE when asDate.
icalproperty* TimeProperty(icalproperty* (*make)(icaltimetype), const CDateTime& value, bool asDate);
// DTEND; for all-day events the day after the last day as a DATE.
icalproperty* EndProperty(const CDateTime& end, bool allDay);
// CATEGORIES, DESCRIPTION, URL, each when not empty.
void AddTexts(icalcomponent* c, const std::string& type, const std::string& notes, const std::string& url);
// The VALARMs of an alarm (nothing when it is off): AUDIO, DISPLAY, EMAIL,
// PROCEDURE by the event's actions, each triggered `lead` before the start.
// The series writes its own alarm, an override its occurrence's.
void AddAlarms(icalcomponent* vevent, const CCalEvent& event, bool on, const CDuration& lead);

}  // namespace icalx
