// COccurrenceStateMap: scheduled date -> COccurrenceState (acknowledged,
// snoozed until) of single occurrences. See COccurrenceMap.
#pragma once

#include "model/events/occurrence_map.h"
#include "model/events/occurrence_state.h"

class COccurrenceStateMap : public COccurrenceMap<COccurrenceState> {};
