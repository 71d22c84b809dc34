// CCalEvent: deleting the whole event or one occurrence.
#include "model/events/cal_event.h"

#include "model/services/model_services.h"

bool CCalEvent::DeleteWithPrompt(const CDateTime& date) {
  IEventPrompts* prompts = GetModelServices().prompts;
  if (!prompts) return false;
  if (oneTime) return prompts->ConfirmDeleteEvent(GetOccurrenceName(date));
  std::string prompt = "\"" + GetOccurrenceName(date) +
                       "\" is a recurring event.  Would you like to delete all occurrences of the event, or "
                       "just this one?";
  int choice = IEventPrompts::kDeleteThisOccurrence;
  if (!prompts->AskDeleteOccurrence(prompt, &choice)) return false;
  if (choice == IEventPrompts::kDeleteAllOccurrences) return true;
  if (choice == IEventPrompts::kDeleteThisOccurrence) DeleteOccurrence(date);
  return false;
}

void CCalEvent::DeleteOccurrence(const CDateTime& date) {
  // The occurrence is excluded under its scheduled date, which is what the
  // recurrence set yields, also when it had been moved elsewhere.
  const CDateTime scheduled = date;
  // The search for the next occurrence goes on from where the deleted one
  // took place; from its scheduled date it could skip the occurrences
  // between an earlier moved start and that date.
  const CDateTime actualStart = GetOccurrenceRange(scheduled).start;
  occurrenceOverrides.RemoveKey(scheduled);
  occurrenceStates.RemoveKey(scheduled);
  recurrence.excludedDates.InsertSorted(scheduled);
  if (scheduled == nextOccurrence) {
    CDateTime from = actualStart;
    GetNextOccurrenceFrom(from, true);
  }
  if (listed && reminderWindow) reminderWindow->RemoveAlarm(this, -1, &scheduled);
  if (IEventDocument* document = GetModelServices().document) document->SaveEventAndRefresh(*this, 1, 1, 1);
}
