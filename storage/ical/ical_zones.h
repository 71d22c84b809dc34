// The zone definitions built into the program, for texts that name a
// well-known zone by its TZID without carrying its VTIMEZONE. Built in, not
// read from zone files: no file is ever named by a text, and the result is
// the same on every platform. Internal to storage/ical.
#pragma once

#include <libical/ical.h>

#include <cstddef>
#include <string>
#include <vector>

namespace icalx {

// The generated table (ical_zone_table.cpp, by scripts/make_zone_table.py):
// names in strcmp order, each with the index of its STANDARD/DAYLIGHT text
// (the zone's offset on 1 January 1970, its changes since as DTSTART and
// RDATEs, and its current rule as yearly RRULEs).
struct BuiltInZone {
  const char* name;
  int rules;
};
extern const char* const kBuiltInZoneRules[];
extern const BuiltInZone kBuiltInZones[];
extern const size_t kBuiltInZoneCount;
// Windows names of zones ("W. Europe Standard Time"), as some programs
// write TZIDs without a VTIMEZONE, with the zone each stands for (CLDR's
// mapping), in strcmp order.
struct WindowsZoneName {
  const char* name;
  const char* zone;
};
extern const WindowsZoneName kWindowsZoneNames[];
extern const size_t kWindowsZoneNameCount;

// The STANDARD/DAYLIGHT parts of the zone of exactly this name (case and
// every character as written; the tz database's links, US/Eastern or
// Europe/Kiev, are names too), or of the longest such name after a slash of
// a name that begins with one ("/mozilla.org/20070129_1/Europe/Berlin");
// or of the zone a Windows zone name stands for ("Eastern Standard Time");
// null for any other text.
const char* BuiltInZoneRules(const char* tzid);

// A VTIMEZONE of the built-in zone `tzid` under that TZID as written, or
// null when the name is unknown.
icalcomponent* NewBuiltInZone(const char* tzid);

// Gives the VCALENDAR a built-in VTIMEZONE for every TZID its events use
// that neither it nor an enclosing VCALENDAR defines. The TZIDs still
// undefined (unknown names, whose times stay floating) are returned, each
// once, in the order met.
std::vector<std::string> AddBuiltInZones(icalcomponent* vcalendar);

}  // namespace icalx
