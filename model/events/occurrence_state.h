// COccurrenceState: the alarm state of one occurrence of a recurring event,
// kept under the occurrence's scheduled date in COccurrenceStateMap.
#pragma once

#include <cstdint>

#include "model/dates/date_time.h"

class COccurrenceState {
 public:
  // 1: this occurrence's alarm was acknowledged; 0: it is snoozed or merely
  // listed.
  int32_t acknowledged = 0;
  // When the alarm is due again; Julian day 0 = no snooze time.
  CDateTime snoozeTime;

  COccurrenceState() = default;
  COccurrenceState(int32_t acknowledgedFlag, const CDateTime& snooze)
      : acknowledged(acknowledgedFlag), snoozeTime(snooze) {}

  bool HasSnoozeTime() const { return !snoozeTime.IsEmpty(); }

  // Different when the acknowledged flags differ or the snooze times differ
  // (Julian day and seconds on the CDateTime comparison basis).
  bool operator!=(const COccurrenceState& other) const {
    return acknowledged != other.acknowledged || snoozeTime != other.snoozeTime;
  }
  bool operator==(const COccurrenceState& other) const { return !(*this != other); }
};
