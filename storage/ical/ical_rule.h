// The recurrence rule to and from the library's recurrence value.
// Internal to storage/ical.
#pragma once

#include <libical/ical.h>

class CRecurrenceRule;

namespace icalx {

// Program weekdays (1 Monday .. 7 Sunday) and the library's (1 Sunday ..
// 7 Saturday, 0 none). Anything unknown becomes Monday.
icalrecurrencetype_weekday ToIcalWeekday(int weekday);
int FromIcalWeekday(int weekday);

// Frequencies 1..7 map to SECONDLY..YEARLY; the Easter frequency and an
// unset one have no RRULE (false). Each BY list fills the library's array
// up to its room (the end marker needs one place): a month-day list that
// names every day 1..31 drops its negative entries; any other list that
// does not fit is cut. *advanced is set for BYYEARDAY, BYWEEKNO, BYSETPOS
// and for a cut list.
bool ToIcalRecurrence(const CRecurrenceRule& rule, bool allDay, icalrecurrencetype* out, bool* advanced);

// The other way. Frequencies SECONDLY..YEARLY map to 1..7 (another leaves
// the rule's frequency alone); values outside what a calendar record
// stores are dropped (weekdays 1..7, ordinals -53..53, month days -31..31,
// week numbers -53..53, year days and positions -366..366, months 1..12).
void FromIcalRecurrence(const icalrecurrencetype& recurrence, CRecurrenceRule* rule);

}  // namespace icalx
