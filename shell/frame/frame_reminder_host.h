// CFrameReminderHost: what the reminder window asks of the program, as the
// main frame answers it: deleting an event through its own prompt and the
// document, the acknowledge warning, the document's refresh, a subscribed
// calendar's refresh and help topics. Modify, Delete and the acknowledge
// question are the main window's event operations.
#pragma once

#include "alarms/reminder_host.h"

class CShellDocument;

class CFrameReminderHost : public IReminderHost {
 public:
  bool CanModifyEvents() override;
  BOOL ModifyEvent(const COccurrenceRef& ref) override;
  // The main window's delete (its prompt, hints 14 and 3); FALSE when only
  // an occurrence went or nothing did.
  BOOL DeleteEvent(const COccurrenceRef& ref) override;
  // The main window's acknowledge question.
  BOOL ConfirmAcknowledge(bool oneTime) override;
  void RecountAndRefresh() override;
  void RefreshCalendar(CCalendarFile* calendar) override;
  void ShowHelp(DWORD context) override;

 private:
  static CShellDocument* Document();
};
