// CCalEvent: the next occurrence from a point, the range of an occurrence
// and the acknowledged test.
//
// Overrides are keyed by scheduled date, and the recurrence set yields
// scheduled dates, so an unmoved instance is its own actual start. A moved
// occurrence takes part in the order at its moved start: the next
// occurrence from a point is the one whose actual start comes first on or
// after it, reported under its scheduled date.
#include "model/events/cal_event.h"

#include "platform/clock.h"

namespace {

CDateTime OneSecondAfter(const CDateTime& value) {
  CDateTime next = value;
  next.AddTime(0, 0, 1);
  return next;
}

}  // namespace

CDuration CCalEvent::GetOccurrenceLength() const {
  // Without a shown end (or without an end at all) an occurrence is a
  // moment; an end before the start is no length either.
  CDuration length;
  if (!showEnd || start.IsEmpty() || end.IsEmpty() || end < start) return length;
  length.SetBetween(start, end);
  return length;
}

CDateRange CCalEvent::GetOccurrenceRange(const CDateTime& date) const {
  if (const COccurrenceOverride* moved = MovedOverrideOf(date)) return CDateRange(moved->start, moved->end);
  CDateRange range(date, date);
  // An added date with an end of its own keeps it.
  const CDateRange* added = oneTime ? nullptr : recurrence.addedDates.Find(date);
  if (added && added->HasEnd()) {
    range.end = added->end;
    return range;
  }
  range.end.AddDuration(GetOccurrenceLength());
  return range;
}

CDateTime CCalEvent::StepPastOccurrence(const CDateTime& date) const {
  return OneSecondAfter(GetOccurrenceRange(date).start);
}

int16_t CCalEvent::NextUnmovedInstance(CDateRange& range) {
  // Each pass steps past one moved instance, and there are only so many of
  // them, so the walk ends.
  CDateRange probe(range.start);
  for (size_t pass = 0; pass <= occurrenceOverrides.GetCount(); ++pass) {
    int16_t result = recurrence.NextInstance(probe);
    if (result != kFound) return result;
    if (!MovedOverrideOf(probe.start)) {
      range = probe;
      return kFound;
    }
    probe = CDateRange(OneSecondAfter(probe.start));
  }
  return kNone;
}

bool CCalEvent::IsScheduledInstance(const CDateTime& date) {
  if (oneTime) return date == start;
  CDateRange check(date);
  return recurrence.NextInstance(check) == kFound && check.start == date;
}

int16_t CCalEvent::GetNextOccurrence(CDateRange& range, bool update) {
  int16_t result = kFound;
  if (oneTime) {
    range.start = start;
    range.end = showEnd ? end : CDateTime();
  } else {
    recurrence.occurrenceLength = GetOccurrenceLength();
    const CDateTime from = range.start;
    CDateRange unmoved(from);
    result = NextUnmovedInstance(unmoved);
    // The moved occurrences that start on or after the point, if their
    // scheduled date is still an instance of the set.
    const COccurrenceOverride* best = nullptr;
    const CDateTime* bestScheduled = nullptr;
    for (const auto& entry : occurrenceOverrides) {
      const COccurrenceOverride& o = entry.second;
      if (!o.IsMoved() || o.start < from) continue;
      if (best && !(o.start < best->start)) continue;
      if (!IsScheduledInstance(entry.first)) continue;
      best = &o;
      bestScheduled = &entry.first;
    }
    if (best && (result != kFound || best->start < unmoved.start)) {
      range = CDateRange(*bestScheduled, best->end);
      result = kFound;
    } else if (result == kFound) {
      range = unmoved;
    } else {
      range.end = CDateTime();
    }
  }
  if (update) {
    if (result == kNone) {
      hasNext = 0;
      if (!oneTime) acknowledged = 0;
    } else if (result == kFound) {
      hasNext = 1;
      if (!oneTime) acknowledged = 0;
    } else {
      hasNext = 1;
      acknowledged = 1;
      range.start = start;
    }
    nextOccurrence = range.start;
  }
  return result;
}

int16_t CCalEvent::GetNextOccurrenceFrom(CDateTime& date, bool update) {
  CDateRange range(date);
  int16_t result = GetNextOccurrence(range, update);
  date = range.start;
  return result;
}

bool CCalEvent::IsOccurrenceAcknowledged(const CDateTime& date) const {
  if (acknowledged) return true;
  if (GetOccurrenceRange(date).start < GetOccurrenceRange(nextOccurrence).start) return true;
  const COccurrenceState* s = occurrenceStates.GetAssocAt(date);
  return s && s->acknowledged == 1;
}

bool CCalEvent::RenewStaleNext() {
  if (!hasNext || IsScheduledInstance(nextOccurrence)) return false;
  ResetOccurrences();
  return true;
}

void CCalEvent::ResetOccurrences() {
  acknowledged = 0;
  CDateTime now = CDateTime::NowLocal();
  GetNextOccurrenceFrom(now, true);
  occurrenceStates.RemoveAll();
}
