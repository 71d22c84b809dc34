#include "dialogs/core/lead_time.h"

#include <iterator>

namespace dialogcore {
namespace {

struct Unit {
  const char* name;
  int64_t seconds;
};
// Largest first: the first exact one is the one shown.
constexpr Unit kUnits[] = {{"Weeks", 7 * 86400}, {"Days", 86400}, {"Hours", 3600}, {"Minutes", 60}};

}  // namespace

int64_t LeadTimeSeconds(const CDuration& lead) { return lead.ClockSeconds(); }

bool SameLeadTime(const CDuration& a, const CDuration& b) {
  if (a.months != b.months || a.years != b.years) return false;
  return LeadTimeSeconds(a) == LeadTimeSeconds(b);
}

LeadTimeChoice LeadTimeToChoice(const CDuration& lead) {
  LeadTimeChoice c;
  const int64_t total = LeadTimeSeconds(lead);
  const bool calendarParts = lead.sign != 0 && (lead.months != 0 || lead.years != 0);
  if (total <= 0 && !calendarParts) {
    c.exact = total == 0;
    return c;
  }
  if (!calendarParts) {
    for (const Unit& u : kUnits) {
      if (total % u.seconds == 0 && total / u.seconds <= kMaxLeadAmount) {
        c.amount = static_cast<int>(total / u.seconds);
        c.units = u.name;
        return c;
      }
    }
  }
  c.exact = false;
  // The finest unit whose amount fits shows the length most closely.
  for (auto u = std::rbegin(kUnits); u != std::rend(kUnits); ++u) {
    const int64_t n = total / u->seconds;
    if (n <= kMaxLeadAmount) {
      c.units = u->name;
      c.amount = static_cast<int>(n);
      return c;
    }
  }
  c.units = "Weeks";
  c.amount = kMaxLeadAmount;
  return c;
}

CDuration LeadTimeFromChoice(int amount, const std::string& units) {
  CDuration d;
  d.sign = 1;  // as the event's own SetLeadTime: no parts, sign 1
  if (units == "Minutes") return CDuration::Minutes(amount);
  if (units == "Hours") return CDuration::Hours(amount);
  if (units == "Days") return CDuration::Days(amount);
  if (units == "Weeks") return CDuration::Weeks(amount);
  return d;
}

CDuration ResolveLeadTime(const CDuration& stored, const LeadTimeChoice& loaded, int amount,
                          const std::string& units) {
  if (!loaded.exact && amount == loaded.amount && units == loaded.units) return stored;
  return LeadTimeFromChoice(amount, units);
}

}  // namespace dialogcore
