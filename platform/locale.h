// What the event model needs of the user's locale.
#pragma once

namespace platform {

// True when the user's locale shows times on a 24-hour clock.
bool LocaleUses24HourClock();

// True when the user's locale measures in metric units (the print dialogs
// offer centimetres then); true as well when the locale cannot be read.
bool LocaleMeasuresMetric();

}  // namespace platform
