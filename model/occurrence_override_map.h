// COccurrenceOverrideMap: scheduled date -> COccurrenceOverride (moved
// times, own texts, own alarm) of single occurrences. See COccurrenceMap.
#pragma once

#include "model/occurrence_map.h"
#include "model/occurrence_override.h"

class COccurrenceOverrideMap : public COccurrenceMap<COccurrenceOverride> {};
