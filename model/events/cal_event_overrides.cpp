// CCalEvent: what single occurrences override (texts, alarm, moved times)
// and their alarm states, read by scheduled date.
#include "model/events/cal_event.h"

namespace {

const std::string& OverriddenText(const COccurrenceOverrideMap& map, const CDateTime& date, int32_t bit,
                                  std::string COccurrenceOverride::*field, const std::string& own) {
  const COccurrenceOverride* o = map.GetAssocAt(date);
  return (o && o->Overrides(bit)) ? o->*field : own;
}

}  // namespace

std::string CCalEvent::GetOccurrenceName(const CDateTime& date) const {
  return OverriddenText(occurrenceOverrides, date, COccurrenceOverride::kName, &COccurrenceOverride::name, name);
}

std::string CCalEvent::GetOccurrenceType(const CDateTime& date) const {
  return OverriddenText(occurrenceOverrides, date, COccurrenceOverride::kType, &COccurrenceOverride::type, type);
}

std::string CCalEvent::GetOccurrenceNotes(const CDateTime& date) const {
  return OverriddenText(occurrenceOverrides, date, COccurrenceOverride::kNotes, &COccurrenceOverride::notes, notes);
}

std::string CCalEvent::GetOccurrenceUrl(const CDateTime& date) const {
  return OverriddenText(occurrenceOverrides, date, COccurrenceOverride::kUrl, &COccurrenceOverride::url, url);
}

int16_t CCalEvent::GetOccurrenceAlarmEnabled(const CDateTime& date) const {
  const COccurrenceOverride* o = occurrenceOverrides.GetAssocAt(date);
  if (o && o->Overrides(COccurrenceOverride::kAlarm)) return o->alarmOn ? 1 : 0;
  return alarmOn;
}

CDuration CCalEvent::GetOccurrenceLeadTime(const CDateTime& date) const {
  const COccurrenceOverride* o = occurrenceOverrides.GetAssocAt(date);
  if (o && o->Overrides(COccurrenceOverride::kAlarm)) return o->leadTime;
  return leadTime;
}

bool CCalEvent::IsOccurrenceSnoozed(const CDateTime& date) const {
  const COccurrenceState* s = occurrenceStates.GetAssocAt(date);
  return s && s->acknowledged == 0;
}

bool CCalEvent::SameOccurrenceStates(const CCalEvent& other) const {
  if (occurrenceStates.GetCount() != other.occurrenceStates.GetCount()) return false;
  for (const auto& entry : occurrenceStates) {
    const COccurrenceState* theirs = other.occurrenceStates.GetAssocAt(entry.first);
    if (!theirs || entry.second != *theirs) return false;
  }
  return true;
}

void CCalEvent::CollectMovedDates() {
  movedDates.allowBeforeFirst = true;
  movedDates.DeleteAll();
  for (const auto& entry : occurrenceOverrides)
    if (entry.second.IsMoved()) movedDates.InsertSorted(entry.first);
}

bool CCalEvent::MapMovedOccurrence(CDateRange& range) const {
  for (const auto& entry : occurrenceOverrides) {
    if (entry.second.IsMoved() && entry.second.start == range.start) {
      range.start = entry.first;
      range.end = entry.second.end;
      return true;
    }
  }
  return false;
}

const COccurrenceOverride* CCalEvent::MovedOverrideOf(const CDateTime& date) const {
  const COccurrenceOverride* o = occurrenceOverrides.GetAssocAt(date);
  return (o && o->IsMoved()) ? o : nullptr;
}
