#include "model/events/alarm_state_keep.h"

CAlarmStateKeep::CAlarmStateKeep(const CCalEvent& event)
    : nextOccurrence_(event.nextOccurrence), acknowledged_(event.acknowledged), hasNext_(event.hasNext) {
  states_ = event.occurrenceStates;
}

void CAlarmStateKeep::Restore(CCalEvent* event) const {
  event->nextOccurrence = nextOccurrence_;
  event->acknowledged = acknowledged_;
  event->hasNext = hasNext_;
  event->occurrenceStates = states_;
}

bool SaveAlarmChange(CCalEvent* event, const CAlarmStateKeep& kept) {
  const int16_t saved = event->Save(0, 0, 1);
  if (saved == 0) kept.Restore(event);
  return saved == 1;
}
