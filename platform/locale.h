// What the event model needs of the user's locale.
#pragma once

namespace platform {

// True when the user's locale shows times on a 24-hour clock.
bool LocaleUses24HourClock();

}  // namespace platform
