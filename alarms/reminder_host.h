// What the reminder window asks of the program around it: the event
// operations the main frame offers every view (modify, delete, confirm an
// acknowledge), the document's refresh and the subscribed calendars'
// refresh. The shell implements IReminderHost; tests use a fake.
#pragma once

#include <windows.h>

class COccurrenceRef;
class CCalendarFile;

class IReminderHost {
 public:
  virtual ~IReminderHost() = default;

  // False while the event editor is not there: Modify is then grey.
  virtual bool CanModifyEvents() = 0;
  // Runs the event editor on a copy of the row's reference; TRUE when saved.
  virtual BOOL ModifyEvent(const COccurrenceRef& ref) = 0;
  // Deletes through the event's own prompt; TRUE when the whole event went.
  virtual BOOL DeleteEvent(const COccurrenceRef& ref) = 0;
  // The acknowledge warning; FALSE when the user answered No.
  virtual BOOL ConfirmAcknowledge(bool oneTime) = 0;
  // The document's recount and reload of every view.
  virtual void RecountAndRefresh() = 0;
  // Refreshes one subscribed calendar from its address.
  virtual void RefreshCalendar(CCalendarFile* calendar) = 0;
  // Shows a topic of the program's help.
  virtual void ShowHelp(DWORD context) = 0;
};
