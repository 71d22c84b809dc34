// Built-in zone definitions: the lookup by exact name and their addition to
// a parsed calendar before its events are read.
#include "storage/ical/ical_zones.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace icalx {

namespace {

const BuiltInZone* FindExactly(const char* name) {
  const BuiltInZone* end = kBuiltInZones + kBuiltInZoneCount;
  const BuiltInZone* it = std::lower_bound(kBuiltInZones, end, name, [](const BuiltInZone& z, const char* n) {
    return std::strcmp(z.name, n) < 0;
  });
  return it == end || std::strcmp(it->name, name) != 0 ? nullptr : it;
}

const BuiltInZone* FindWindowsName(const char* name) {
  const WindowsZoneName* end = kWindowsZoneNames + kWindowsZoneNameCount;
  const WindowsZoneName* it = std::lower_bound(kWindowsZoneNames, end, name, [](const WindowsZoneName& z,
                                                                                const char* n) {
    return std::strcmp(z.name, n) < 0;
  });
  return it == end || std::strcmp(it->name, name) != 0 ? nullptr : FindExactly(it->zone);
}

// The zone of exactly that name, of the Windows name of a zone, or of a
// name "/<publisher>/.../<zone>" (as some programs write
// "/mozilla.org/20070129_1/Europe/Berlin"): the longest known zone after
// one of its slashes.
const BuiltInZone* Find(const char* tzid) {
  if (!tzid) return nullptr;
  if (const BuiltInZone* z = FindExactly(tzid)) return z;
  if (const BuiltInZone* z = FindWindowsName(tzid)) return z;
  if (*tzid != '/') return nullptr;
  for (const char* p = std::strchr(tzid + 1, '/'); p; p = std::strchr(p + 1, '/'))
    if (const BuiltInZone* z = FindExactly(p + 1)) return z;
  return nullptr;
}

}  // namespace

const char* BuiltInZoneRules(const char* tzid) {
  const BuiltInZone* z = Find(tzid);
  return z ? kBuiltInZoneRules[z->rules] : nullptr;
}

icalcomponent* NewBuiltInZone(const char* tzid) {
  const BuiltInZone* z = Find(tzid);
  if (!z) return nullptr;
  // Made under the table's own name, which needs no escaping; the name as
  // written goes in through the library.
  const std::string text =
      std::string("BEGIN:VTIMEZONE\r\nTZID:") + z->name + "\r\n" + kBuiltInZoneRules[z->rules] + "END:VTIMEZONE\r\n";
  icalcomponent* zone = icalcomponent_new_from_string(text.c_str());
  icalproperty* id = zone ? icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY) : nullptr;
  if (id) icalproperty_set_tzid(id, tzid);
  return zone;
}

namespace {

// The TZIDs of the component's and its sub-components' date-times, each
// once. A DATE ignores its TZID, so it is not counted.
void CollectTzids(icalcomponent* c, std::set<std::string>* seen, std::vector<std::string>* used) {
  for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
       p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
    icalparameter* tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
    if (!tz) continue;
    icalvalue* v = icalproperty_get_value(p);
    if (v && icalvalue_isa(v) == ICAL_DATE_VALUE) continue;
    const char* name = icalparameter_get_tzid(tz);
    if (name && *name && seen->insert(name).second) used->push_back(name);
  }
  for (icalcomponent* s = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); s;
       s = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
    CollectTzids(s, seen, used);
}

// The calendar or one around it defines the zone (as the date conversion
// looks it up).
bool Defined(icalcomponent* vcalendar, const char* tzid) {
  for (icalcomponent* c = vcalendar; c; c = icalcomponent_get_parent(c))
    if (icalcomponent_isa(c) == ICAL_VCALENDAR_COMPONENT && icalcomponent_get_timezone(c, tzid)) return true;
  return false;
}

}  // namespace

std::vector<std::string> AddBuiltInZones(icalcomponent* vcalendar) {
  std::set<std::string> seen;
  std::vector<std::string> used;
  for (icalcomponent* v = icalcomponent_get_first_component(vcalendar, ICAL_VEVENT_COMPONENT); v;
       v = icalcomponent_get_next_component(vcalendar, ICAL_VEVENT_COMPONENT))
    CollectTzids(v, &seen, &used);
  // Every lookup before any addition: an addition makes the library sort
  // the calendar's zones again at the next lookup.
  std::vector<std::string> missing;
  for (const std::string& name : used)
    if (!Defined(vcalendar, name.c_str())) missing.push_back(name);
  std::vector<std::string> unknown;
  for (const std::string& name : missing) {
    if (icalcomponent* zone = NewBuiltInZone(name.c_str())) icalcomponent_add_component(vcalendar, zone);
    else unknown.push_back(name);
  }
  return unknown;
}

}  // namespace icalx
