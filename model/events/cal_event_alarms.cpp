// CCalEvent: the alarm check, snoozing and acknowledging.
#include "model/events/cal_event.h"
#include "model/events/alarm_state_keep.h"

namespace {

// Far more due alarms than a reminder window can show; keeps an event that
// was not rolled forward for years from walking its whole past at once.
constexpr int kMaxDueWalk = 5000;

CDateTime Minus(const CDateTime& value, const CDuration& duration) {
  CDateTime v = value;
  v.SubtractDuration(duration);
  return v;
}

}  // namespace

void CCalEvent::AddDueAlarm(const CDateTime& date) {
  if (!listed || latestDue.IsEmpty() || latestDue < date) latestDue = date;
  listed = 1;
  dueAlarms.InsertSorted(date);
}

bool CCalEvent::IsAlarmDue(const CDateTime& now) {
  if (alarmSuppressed || acknowledged || deleted || disabled || inEdit || listed || !hasNext) return false;
  dueAlarms.DeleteAll();
  if (oneTime) {
    if (!alarmOn) return false;
    const COccurrenceState* s = occurrenceStates.GetAssocAt(nextOccurrence);
    CDateTime due = (s && s->HasSnoozeTime()) ? s->snoozeTime
                                              : Minus(GetOccurrenceRange(nextOccurrence).start, leadTime);
    if (due <= now) AddDueAlarm(nextOccurrence);
    return listed != 0;
  }

  const CDateTime nextStart = GetOccurrenceRange(nextOccurrence).start;
  // Overridden occurrences, each with the alarm in force for it. A moved
  // one is due by its moved start.
  for (const auto& entry : occurrenceOverrides) {
    const CDateTime& scheduled = entry.first;
    if (!GetOccurrenceAlarmEnabled(scheduled) || !IsScheduledInstance(scheduled)) continue;
    const COccurrenceState* s = occurrenceStates.GetAssocAt(scheduled);
    if (s) {
      if (s->HasSnoozeTime() && !s->acknowledged && s->snoozeTime <= now) AddDueAlarm(scheduled);
      continue;
    }
    CDateTime actual = GetOccurrenceRange(scheduled).start;
    if (!(actual < nextStart) && Minus(actual, GetOccurrenceLeadTime(scheduled)) <= now) AddDueAlarm(scheduled);
  }

  if (alarmOn) {
    // Snoozed occurrences (those with an override were judged above with
    // the override's alarm).
    for (const auto& entry : occurrenceStates) {
      const COccurrenceState& s = entry.second;
      if (occurrenceOverrides.GetAssocAt(entry.first)) continue;
      if (s.HasSnoozeTime() && !s.acknowledged && s.snoozeTime <= now) AddDueAlarm(entry.first);
    }
    // Plain occurrences from the next one on, until the first not yet due.
    CDateTime point = nextStart;
    for (int step = 0; step < kMaxDueWalk; ++step) {
      CDateTime occurrence = point;
      if (GetNextOccurrenceFrom(occurrence, false) != kFound) break;
      point = StepPastOccurrence(occurrence);
      if (occurrenceStates.GetAssocAt(occurrence) || occurrenceOverrides.GetAssocAt(occurrence)) continue;
      if (!(Minus(occurrence, leadTime) <= now)) break;
      AddDueAlarm(occurrence);
    }
  }
  return listed != 0;
}

int16_t CCalEvent::SetSnoozeTime(const CDateTime& date, const CDateTime& snoozeTime) {
  occurrenceStates[date].snoozeTime = snoozeTime;
  return Save(0, 0, 1);
}

int16_t CCalEvent::Acknowledge(const CDateTime& date, bool notify) {
  const CAlarmStateKeep kept(*this);
  int16_t result = kFound;
  if (oneTime) {
    acknowledged = 1;
  } else if (date == nextOccurrence) {
    occurrenceStates.RemoveKey(date);
    // Step over the following occurrences that were acknowledged in
    // advance, dropping their entries, and make the first one that was not
    // the next occurrence.
    CDateTime point = StepPastOccurrence(nextOccurrence);
    for (;;) {
      CDateTime occurrence = point;
      if (GetNextOccurrenceFrom(occurrence, false) != kFound) break;
      const COccurrenceState* s = occurrenceStates.GetAssocAt(occurrence);
      if (!s || s->acknowledged != 1) break;
      occurrenceStates.RemoveKey(occurrence);
      point = StepPastOccurrence(occurrence);
    }
    result = GetNextOccurrenceFrom(point, true);
  } else {
    occurrenceStates[date] = COccurrenceState(1, CDateTime());
  }
  // Not saved (the calendar has said why): the alarm stays due.
  if (notify && NotifyDocumentWithPublishFlag(0) == 0) kept.Restore(this);
  return result;
}

int16_t CCalEvent::AcknowledgeNext(bool notify) {
  CDateTime next = nextOccurrence;
  return Acknowledge(next, notify);
}

void CCalEvent::Unacknowledge(const CDateTime& date) {
  const CAlarmStateKeep kept(*this);
  if (oneTime || acknowledged) {
    acknowledged = 0;
    // From where the occurrence takes place: a moved one's scheduled date
    // may lie before or after its place in the series.
    CDateTime from = GetOccurrenceRange(date).start;
    GetNextOccurrenceFrom(from, true);
  } else if (GetOccurrenceRange(nextOccurrence).start < GetOccurrenceRange(date).start) {
    occurrenceStates.RemoveKey(date);
  } else {
    // The date becomes the next occurrence again; the occurrences between
    // it and the old next one stay acknowledged.
    const CDateTime oldStart = GetOccurrenceRange(nextOccurrence).start;
    occurrenceStates.RemoveKey(date);
    CDateTime from = GetOccurrenceRange(date).start;
    if (GetNextOccurrenceFrom(from, true) == kFound) {
      CDateTime point = StepPastOccurrence(nextOccurrence);
      for (;;) {
        CDateTime occurrence = point;
        if (GetNextOccurrenceFrom(occurrence, false) != kFound) break;
        if (!(GetOccurrenceRange(occurrence).start < oldStart)) break;
        occurrenceStates[occurrence] = COccurrenceState(1, CDateTime());
        point = StepPastOccurrence(occurrence);
      }
    }
  }
  if (NotifyDocumentWithPublishFlag(1) == 0) kept.Restore(this);
}
