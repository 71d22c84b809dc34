// COccurrenceOverrideMap: scheduled date -> COccurrenceOverride (moved
// times, own texts, own alarm) of single occurrences. See COccurrenceMap.
#pragma once

#include "model/events/occurrence_map.h"
#include "model/events/occurrence_override.h"

class COccurrenceOverrideMap : public COccurrenceMap<COccurrenceOverride> {};
