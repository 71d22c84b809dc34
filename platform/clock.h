// The current time and local/UTC conversion.
//
// Conversions use the zone offset in force on the date being converted, not
// the one in force now, so a summer date converted in winter still comes out
// right. Time can be frozen by tests through SetFixedUtcNow.
#pragma once

#include "platform/civil_time.h"

namespace platform {

// The current UTC and local time, with milliseconds.
CivilTime UtcNow();
CivilTime LocalNow();

// Converts a civil time between the user's local zone and UTC, with the
// offset in force on that date. A local time that falls into the gap of a
// change forward is taken in the offset before the gap (standard time); one
// in the hour repeated by a change back is its first instance.
// Returns false when the value cannot be converted (out of the system's
// range, invalid fields).
bool LocalToUtc(const CivilTime& local, CivilTime* utc);
bool UtcToLocal(const CivilTime& utc, CivilTime* local);

// Freezes UtcNow (and so LocalNow) at the given UTC moment; null thaws it.
// Meant for tests; the value is copied.
void SetFixedUtcNow(const CivilTime* utc);

}  // namespace platform
