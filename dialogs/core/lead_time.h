// The alarm lead time as the event editor shows it: an amount (0..1000) and
// one unit ("Minutes", "Hours", "Days", "Weeks"), and back.
//
// A stored lead time may have several parts (1 day 2 hours) that no single
// unit shows; the editor shows the largest unit that holds the whole length
// exactly within the amount's range, and when none does it keeps the stored
// value unless the user changes the amount or the unit.
#pragma once

#include <cstdint>
#include <string>

#include "model/dates/duration.h"

namespace dialogcore {

constexpr int kMaxLeadAmount = 1000;

struct LeadTimeChoice {
  int amount = 0;
  std::string units;  // empty for no lead time
  // The amount and unit give back exactly the stored length.
  bool exact = true;
};

// The total signed length in seconds of every fixed part (weeks, days,
// hours, minutes, seconds); 0 for sign 0 and for no parts. Months and years
// are not fixed lengths and are left out.
int64_t LeadTimeSeconds(const CDuration& lead);

// Lead times compare by total length: 1 day equals 24 hours.
bool SameLeadTime(const CDuration& a, const CDuration& b);

// Weeks, then days, hours, minutes: the first unit that holds the length
// exactly with an amount up to 1000. None does (a length in seconds, a
// month part, more than 1000 minutes): the finest unit whose amount fits,
// rounded down, and exact false. No lead time: amount 0, no unit.
LeadTimeChoice LeadTimeToChoice(const CDuration& lead);

// The lead time that an amount and unit give (sign 1, one part); an unknown
// unit gives an empty lead time, as the event's own SetLeadTime does.
CDuration LeadTimeFromChoice(int amount, const std::string& units);

// What a save stores: the stored lead time when the shown choice was not
// exact and the user left amount and unit as loaded; otherwise the chosen
// amount and unit.
CDuration ResolveLeadTime(const CDuration& stored, const LeadTimeChoice& loaded, int amount,
                          const std::string& units);

}  // namespace dialogcore
