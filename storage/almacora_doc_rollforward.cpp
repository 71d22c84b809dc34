// CAlmacoraDoc: rolling recurring events past today, the reset of every
// event, the type list and the time-conflict check.
#include <algorithm>

#include "model/events/cal_event.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_batches.h"
#include "storage/calendar_file.h"

namespace {

// An alarm-off recurring event whose next occurrence lies in the past
// jumps to its first occurrence on or after today that is not
// acknowledged in advance (stepping one occurrence at a time would take
// for ever for an hourly rule begun a century ago).
void CatchUpRecurring(CCalEvent* event, const CDateTime& today) {
  CDateTime from = today;
  for (int guard = 0; guard < 10000; ++guard) {
    CDateTime next = from;
    if (event->GetNextOccurrenceFrom(next, true) != CCalEvent::kFound) return;
    const COccurrenceState* state = event->occurrenceStates.GetAssocAt(next);
    if (state == nullptr || state->acknowledged != 1) return;
    event->occurrenceStates.RemoveKey(next);
    from = event->StepPastOccurrence(next);
  }
}

// An alarm-off event may still have occurrences whose override turns the
// alarm on. Rolling it forward would acknowledge them before the alarm
// check saw them (after the computer slept through them), so such an event
// is left to the alarm check, which acknowledges each with its row. Only
// the occurrences the roll-forward would pass over (before today) count.
bool HasOverrideAlarmToCatchUp(const CCalEvent& event, int32_t todayDay) {
  const CDateTime nextStart = event.GetOccurrenceRange(event.nextOccurrence).start;
  for (const auto& entry : event.occurrenceOverrides) {
    if (!event.GetOccurrenceAlarmEnabled(entry.first)) continue;
    const COccurrenceState* state = event.occurrenceStates.GetAssocAt(entry.first);
    if (state && state->acknowledged) continue;
    const CDateTime actual = event.GetOccurrenceRange(entry.first).start;
    if (!(actual < nextStart) && actual.GetJulianDay(CDateTime::kAsLocal) < todayDay) return true;
  }
  return false;
}

}  // namespace

int CAlmacoraDoc::RollForwardEvents(int allMode) {
  warningCount = 0;
  int shown = 0;
  const CDateTime today = CDateTime::Today();
  const int32_t todayDay = today.GetJulianDay(CDateTime::kAsLocal);
  // First every event rolls forward in memory and the ones to store are
  // gathered by calendar; then each calendar stores its own in one batch.
  std::vector<std::pair<CCalendarFile*, std::vector<CCalEvent*>>> toStore;
  for (CCalEvent* event : events_.items()) {
    event->shown = 0;
    if (event->alarmOn || event->acknowledged || event->nextOccurrence.GetJulianDay(CDateTime::kAsLocal) >= todayDay ||
        HasOverrideAlarmToCatchUp(*event, todayDay))
      continue;
    if (event->IsRecurring()) {
      CatchUpRecurring(event, today);
    } else {
      event->AcknowledgeNext(false);
    }
    // Previews and memory-only calendars keep the change in memory.
    CCalendarFile* calendar = event->calendar;
    if (calendar == nullptr || calendar->openState != CCalendarFile::kOpen) continue;
    auto it = std::find_if(toStore.begin(), toStore.end(), [calendar](const auto& e) { return e.first == calendar; });
    if (it == toStore.end()) it = toStore.insert(toStore.end(), {calendar, {}});
    it->second.push_back(event);
  }
  for (auto& [calendar, rolled] : toStore) StoreRolledForward(calendar, rolled);
  for (CCalEvent* event : events_.items()) {
    event->daysLeft = event->nextOccurrence.GetJulianDay(CDateTime::kAsLocal) - todayDay;
    if (event->daysPrior >= event->daysLeft && !event->acknowledged) ++warningCount;
    if ((allMode || event->daysPrior >= event->daysLeft) && !event->alarmSuppressed && !event->disabled) {
      const int weekday = event->nextOccurrence.GetWeekday(CDateTime::kAsLocal);
      const char* dayName = GetWeekdayName(weekday);
      event->weekdayName = dayName ? dayName : "";
      event->weekdayNumber = weekday == 7 ? 0 : weekday;
      event->shown = 1;
      ++shown;
      event->age = event->calculateAge ? event->nextOccurrence.GetYear(CDateTime::kAsLocal) - event->start.GetYear() : -1;
    }
  }
  return shown;
}

void CAlmacoraDoc::StoreRolledForward(CCalendarFile* calendar, const std::vector<CCalEvent*>& rolled) {
  // Stored one by one, each write would take the file's lock, read what
  // others changed and reach the disk on its own: thousands of OS calls a
  // start. As one batch the file is held once and flushed once.
  CCalendarFile::BatchScope batch(rolled.size() > 1 ? calendar : nullptr);
  for (CCalEvent* event : rolled) {
    // A save may merge other processes' records into the array: skip what
    // left it meanwhile.
    if (events_.Holds(event) && event->calendar == calendar) SaveEvent(*event, 1, 0, 1);
  }
}

void CAlmacoraDoc::ResetAllEvents() {
  const std::vector<CCalEvent*> walk = events_.items();
  CalendarBatches batches;
  for (CCalEvent* event : walk) {
    if (!events_.Holds(event)) continue;
    event->ResetOccurrences();
    if (event->calendar != nullptr && event->calendar->openState == CCalendarFile::kOpen) {
      batches.Join(event->calendar);
      SaveEvent(*event, 1, 0, 1);
    }
  }
  batches.End();
  RecountAndRefresh();
}

void CAlmacoraDoc::RebuildTypeList() {
  if (!filterOn) {
    typeNames.clear();
    typeFlags.clear();
  }
  if (typeNames.empty()) {
    typeNames.push_back("Holiday");
    typeFlags.push_back(1);
  }
  for (CCalEvent* event : events_.items()) {
    auto it = std::lower_bound(typeNames.begin(), typeNames.end(), event->type);
    if (it != typeNames.end() && *it == event->type) continue;
    const auto at = it - typeNames.begin();
    typeNames.insert(it, event->type);
    typeFlags.insert(typeFlags.begin() + at, 1);
  }
}

int CAlmacoraDoc::IsTypeHidden(const std::string& type) const {
  if (!filterOn) return 0;
  auto it = std::lower_bound(typeNames.begin(), typeNames.end(), type);
  if (it == typeNames.end() || *it != type) return 0;
  return typeFlags[static_cast<size_t>(it - typeNames.begin())] == 0 ? 1 : 0;
}

CCalEvent* CAlmacoraDoc::FindConflictingEvent(const CDateTime& rangeStart, const CDateTime& rangeEnd,
                                              CCalEvent* skipEvent) {
  for (CCalEvent* event : events_.items()) {
    if (event == skipEvent || event->allDay) continue;
    CDateTime candidate = rangeStart;
    if (event->showEnd) candidate.SubtractDuration(event->GetOccurrenceLength());
    int result;
    if (event->start < candidate) {
      result = event->GetNextOccurrenceFrom(candidate, false);
    } else {
      candidate = event->start;
      result = event->hasNext ? 1 : 0;
    }
    if (result != 1) continue;
    CDateRange range = event->GetOccurrenceRange(candidate);
    if (!event->showEnd) range.end = range.start;
    const bool overlaps = rangeStart == rangeEnd ? (range.start <= rangeEnd && range.end >= rangeStart)
                                                 : (range.start < rangeEnd && range.end >= rangeStart);
    if (overlaps) return event;
  }
  return nullptr;
}
