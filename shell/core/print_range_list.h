// The date-range event list of printing: every occurrence between From
// (its time as stored) and To (at 23:59:59) of the events the filter shows,
// in ascending date and time; among equal times the one found later comes
// first (as inserting before the first entry not earlier would place it).
#pragma once

#include <string>
#include <vector>

#include "model/dates/date_time.h"
#include "model/events/occurrence_ref.h"

class CCalEvent;

namespace printcore {

// `typeHidden` answers whether the filter hides a type (null: none hidden).
// Disabled and deleted events are skipped; acknowledged occurrences are
// left out unless printAcknowledged. From after To gives no entries.
std::vector<COccurrenceRef> BuildRangeList(const std::vector<CCalEvent*>& events,
                                           bool (*typeHidden)(const std::string& type, void* context),
                                           void* context, const CDateTime& from, const CDateTime& to,
                                           bool printAcknowledged);

}  // namespace printcore
