// The libical calls every part of the converter shares: the one-time
// set-up, owning pointers that free components and strings, and the
// conversions of dates, durations and texts to and from the library's
// values. Internal to storage/ical.
#pragma once

#include <libical/ical.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "model/dates/date_time.h"
#include "model/dates/duration.h"

namespace icalx {

// Library errors are reported, never fatal; done once per process.
void EnsureLibrary();

struct ComponentFree {
  void operator()(icalcomponent* c) const {
    if (c) icalcomponent_free(c);
  }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

// ---- Texts. What the record stores: a text item holds fewer than 65535
// bytes, and an override item holds its texts together, so override texts
// get a quarter of that.
constexpr size_t kMaxText = 65000;
constexpr size_t kMaxOverrideText = 16000;
// ANSI -> UTF-8 for the library.
std::string ToUtf8(const std::string& ansi);
// A library text (UTF-8, or Windows-1252 from older writers) as ANSI, cut
// to `limit` bytes. Null gives "".
std::string FromUtf8(const char* text, size_t limit = kMaxText);

// The text of a property's value as the library holds it, escapes taken
// off (its value-as-string form keeps them); null without a value.
const char* PropertyText(icalproperty* property);

// ---- Dates. Year, month, day and time as stored in the value; the UTC
// mark for a UTC or named-zone value (both hold UTC digits); DATE when asked.
icaltimetype ToIcalTime(const CDateTime& value, bool asDate);
// A library time as a value: floating, or UTC when it is marked UTC and is
// not a date; midnight for a date. Empty for a null or impossible time or a
// year the record cannot hold.
CDateTime FromIcalTime(const icaltimetype& time);
// The time of a DATE or DATE-TIME property. A TZID is resolved through the
// VTIMEZONE components of the enclosing VCALENDAR only, by the program's
// own zone rule (ZonedWallToUtc): the moment in UTC digits with zone kind
// kNamedZone and the TZID kept. An unknown TZID leaves the time floating.
CDateTime PropertyTime(icalproperty* property);
// The same for a time the property carries in another form (an RDATE's
// period start or end).
CDateTime ZonedTime(icalproperty* property, const icaltimetype& time);
// The VTIMEZONE of the enclosing VCALENDAR named by the property's TZID;
// null without a TZID or without that VTIMEZONE.
icaltimezone* PropertyZone(icalproperty* property);
// The date of a DATE or DATE-TIME property as written (its zone not
// applied), at midnight, floating; with `dateOnly` false, at the time of day
// as written. Empty when it has none.
CDateTime PropertyDateAsWritten(icalproperty* property, bool dateOnly = true);
// Takes out of the VCALENDAR every VTIMEZONE whose expansion could run
// away (a zone's rules are expanded from their start up to every date
// converted): more than kMaxZoneRules rules, a rule other than yearly in one
// month (or at more than one hour, minute or second), more than
// kMaxZoneDates single changes; and every one with an offset beyond 18
// hours. Their TZIDs then read as unknown, floating. Real zones have a few
// yearly rules. Returns each zone taken out (TZID as UTF-8) with why.
constexpr int kMaxZoneRules = 16;
constexpr int kMaxZoneDates = 2000;
struct DroppedZone {
  std::string tzid;
  std::string why;
};
std::vector<DroppedZone> DropRunawayZones(icalcomponent* vcalendar);

// The component carries an X-LIC-ERROR (the library's note of what it
// could not read) whose text contains `part`.
bool HasLibraryError(icalcomponent* component, const char* part);

// The value of a property is a DATE (not a DATE-TIME).
bool PropertyIsDate(icalproperty* property);

// ---- Durations. The lead time's days, weeks, hours, minutes and seconds
// (years and months are not carried); negative = before.
icaldurationtype ToIcalDuration(const CDuration& duration, bool negative);
// Forward sign and the library's parts, each bounded to what the record
// stores.
CDuration FromIcalDuration(const icaldurationtype& duration);

}  // namespace icalx
