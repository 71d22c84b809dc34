// Dates and times in the user's locale, for the event model's display texts.
#pragma once

#include <string>

#include "platform/civil_time.h"

namespace platform {

// The date in the user's short date format ("01/03/2005" in a British
// locale on Windows; the POSIX side uses the locale's date format, which may
// have a two-digit year). Empty for impossible fields.
std::string FormatShortDate(const CivilTime& date);
// The user's abbreviated weekday name of the date ("Tue"). Empty for
// impossible fields.
std::string FormatAbbreviatedDayName(const CivilTime& date);
// The time of day in the user's time format without seconds ("14:30" on a
// 24-hour clock, "2:30 PM" on a 12-hour one). Empty for impossible fields.
std::string FormatTimeNoSeconds(const CivilTime& time);

}  // namespace platform
