// What acknowledging or snoozing an event's alarm changes in memory, kept
// before the change: a save that fails puts it back, so the alarm stays
// due as the file still has it, rather than passing for acknowledged until
// the program is started again.
#pragma once

#include "model/events/cal_event.h"

class CAlarmStateKeep {
 public:
  explicit CAlarmStateKeep(const CCalEvent& event);
  // Puts the kept next occurrence, acknowledged and has-next flags and
  // occurrence states (acknowledged and snoozed ones) back on `event`.
  void Restore(CCalEvent* event) const;

 private:
  CDateTime nextOccurrence_;
  int16_t acknowledged_;
  int16_t hasNext_;
  COccurrenceStateMap states_;
};

// Saves the alarm change made on `event` since `kept` (0, 0, 1): true when
// the write went through. A failed write (the calendar has told the user
// which) puts the kept state back; a declined one leaves what the decline
// left. Either way the caller must not count or show the alarm as done.
bool SaveAlarmChange(CCalEvent* event, const CAlarmStateKeep& kept);
