// The alarm check's walk over the loaded events: which events have an
// alarm due now. Each due event has its due occurrences recorded in it
// (CCalEvent::IsAlarmDue) and counts as listed from then on.
//
// Walking every event's occurrences every few seconds is the check's whole
// cost, so the scanner keeps, per event, the earliest time its alarm can
// fall due, and skips the event until then. That time only holds while
// the event is unchanged: the owner calls Invalidate after any change to
// the events (the document's reload, hint 3), a date change, and whenever
// an event may have been freed; a clock going back drops it by itself.
// Events open in the editor or already listed are always asked directly.
#pragma once

#include <cstddef>
#include <vector>

#include "model/dates/date_time.h"

class CCalEvent;

namespace alarmcore {

class CAlarmScanner {
 public:
  // True for an event whose calendar has its alarms turned off.
  using SkipFn = bool (*)(const CCalEvent& event);

  // The events of `events` (in their order) whose alarm is due at `now`
  // (floating local time), leaving out those `skip` names. Null entries
  // are ignored.
  std::vector<CCalEvent*> FindDue(const std::vector<CCalEvent*>& events, const CDateTime& now, SkipFn skip);

  // Forgets every remembered time.
  void Invalidate();

  // Remembered times (benchmarks and tests).
  std::size_t CachedCount() const;

 private:
  // Kept by the event's place in the list it came in, checked against the
  // event there (a list of another length starts afresh): no allocation a
  // check, where a map would make one for each event.
  struct Earliest {
    const CCalEvent* event = nullptr;  // null: nothing remembered
    bool never = false;  // nothing can fall due until the event changes
    CDateTime when;
  };
  std::vector<Earliest> earliest_;
  CDateTime lastNow_;
};

// The earliest time an alarm of the event can fall due: never when the
// event cannot raise one until it changes. False when the event must be
// asked directly (open in the editor or listed).
bool EarliestAlarmTime(const CCalEvent& event, bool* never, CDateTime* when);

}  // namespace alarmcore
