// A named zone's yearly rule (model/dates/zone_rule.h) from and to a
// VTIMEZONE, so a zoned series keeps its wall-clock time in its zone.
// Internal to storage/ical.
#pragma once

#include <libical/ical.h>

#include <string>

#include "model/dates/date_time.h"
#include "model/dates/zone_rule.h"

class CCalEvent;

namespace icalx {

// The CZoneRule text of the VTIMEZONE the property's TZID names, from the
// zone's latest rules: a daylight and a standard sub-component with open
// yearly rules give a zone with changes, else the offset the latest
// sub-component changes to. Beside them, the changes the sub-components
// make on single dates (DTSTART, RDATE, an RRULE with UNTIL or COUNT) from
// the property's time to 50 years on, when the yearly rule alone would not
// say the same. "" without such a VTIMEZONE or when the rules cannot be put
// that way (another kind of rule, a change not on a fixed day or a weekday
// in a week of the month).
std::string PropertyZoneRule(icalproperty* property);

// A wall-clock time in the zone the property's TZID names, read by that
// zone's rule as a series is (in the gap of a change forward the offset
// before it; a time the change back repeats is its first instance): the
// moment in UTC digits with zone kind kNamedZone and the TZID kept. False
// without that VTIMEZONE, when its rules cannot be put as a zone rule, or
// when the moment lies outside the years a record holds.
bool ZonedWallToUtc(icalproperty* property, const icaltimetype& wall, CDateTime* out);

// Each zone's rules and dated changes are worked out once for every time
// and series of a calendar that names it: the import calls this before the
// calendar whose zones were read is freed.
void ForgetZoneOnsets();

// A VTIMEZONE under that TZID whose rules say what the rule says: dated
// changes as DTSTART and RDATEs, the yearly rule from its first change after
// them.
icalcomponent* ZoneComponent(const std::string& tzid, const CZoneRule& rule);

// The wall-clock time in the rule's zone of a UTC, named-zone or local value.
icaltimetype ZonedWallTime(const CDateTime& value, const CZoneRule& rule);

// A time property of a UTC, named-zone or local value written as
// wall-clock time in the zone of the rule under its TZID
// (DTSTART;TZID=...:YYYYMMDDTHHMMSS).
icalproperty* ZonedTimeProperty(icalproperty* (*make)(icaltimetype), const CDateTime& value, const std::string& tzid,
                                const CZoneRule& rule);

// The zone rule a series exports with: its rule's zone, readable, over a
// named-zone start with a time of day; false for every other event.
bool SeriesZone(const CCalEvent& event, CZoneRule* rule);

}  // namespace icalx
