#include "alarms/core/alarm_scan.h"

#include "model/events/cal_event.h"

namespace alarmcore {

namespace {

void Lower(CDateTime* when, bool* any, const CDateTime& candidate) {
  if (!*any || candidate < *when) *when = candidate;
  *any = true;
}

CDateTime Minus(const CDateTime& value, const CDuration& duration) {
  CDateTime v = value;
  v.SubtractDuration(duration);
  return v;
}

}  // namespace

// Mirrors the cases of CCalEvent::IsAlarmDue, each bounded from below:
// snooze times, overridden occurrences by their own lead, and plain
// occurrences no earlier than the next one's start minus the lead.
bool EarliestAlarmTime(const CCalEvent& e, bool* never, CDateTime* when) {
  *never = false;
  if (e.inEdit || e.listed) return false;
  if (e.alarmSuppressed || e.acknowledged || e.deleted || e.disabled || !e.hasNext) {
    *never = true;
    return true;
  }
  bool any = false;
  if (e.oneTime) {
    if (!e.alarmOn) {
      *never = true;
      return true;
    }
    const COccurrenceState* s = e.occurrenceStates.GetAssocAt(e.nextOccurrence);
    *when = (s && s->HasSnoozeTime()) ? s->snoozeTime
                                      : Minus(e.GetOccurrenceRange(e.nextOccurrence).start, e.leadTime);
    return true;
  }
  const CDateTime nextStart = e.GetOccurrenceRange(e.nextOccurrence).start;
  for (const auto& entry : e.occurrenceOverrides) {
    const CDateTime& scheduled = entry.first;
    if (!e.GetOccurrenceAlarmEnabled(scheduled)) continue;
    const COccurrenceState* s = e.occurrenceStates.GetAssocAt(scheduled);
    if (s) {
      if (s->HasSnoozeTime() && !s->acknowledged) Lower(when, &any, s->snoozeTime);
      continue;
    }
    const CDateTime actual = e.GetOccurrenceRange(scheduled).start;
    if (!(actual < nextStart)) Lower(when, &any, Minus(actual, e.GetOccurrenceLeadTime(scheduled)));
  }
  if (e.alarmOn) {
    for (const auto& entry : e.occurrenceStates) {
      if (e.occurrenceOverrides.GetAssocAt(entry.first)) continue;
      if (entry.second.HasSnoozeTime() && !entry.second.acknowledged) Lower(when, &any, entry.second.snoozeTime);
    }
    Lower(when, &any, Minus(nextStart, e.leadTime));
  }
  *never = !any;
  return true;
}

std::vector<CCalEvent*> CAlarmScanner::FindDue(const std::vector<CCalEvent*>& events, const CDateTime& now,
                                               SkipFn skip) {
  if (!lastNow_.IsEmpty() && now < lastNow_) Invalidate();
  lastNow_ = now;
  if (earliest_.size() != events.size()) earliest_.assign(events.size(), Earliest{});
  std::vector<CCalEvent*> due;
  for (std::size_t i = 0; i < events.size(); ++i) {
    CCalEvent* event = events[i];
    if (event == nullptr || (skip && skip(*event))) continue;
    Earliest& slot = earliest_[i];
    if (slot.event == event) {
      if (slot.never || now < slot.when) continue;
    }
    slot.event = nullptr;
    // The bound comes first: it costs a lookup or two, where the question
    // itself walks the event's occurrences, and no alarm falls due before it.
    Earliest e;
    const bool bounded = EarliestAlarmTime(*event, &e.never, &e.when);
    if (!bounded || (!e.never && !(now < e.when))) {
      if (event->IsAlarmDue(now)) {
        due.push_back(event);
        continue;
      }
    }
    if (bounded) {
      e.event = event;
      slot = e;
    }
  }
  return due;
}

std::size_t CAlarmScanner::CachedCount() const {
  std::size_t n = 0;
  for (const Earliest& e : earliest_) n += e.event != nullptr ? 1 : 0;
  return n;
}

void CAlarmScanner::Invalidate() {
  earliest_.clear();
  lastNow_.Clear();
}

}  // namespace alarmcore
