// CFrameReminderHost: what the reminder window asks of the program, as the
// main frame answers it: deleting an event through its own prompt and the
// document, the acknowledge warning, the document's refresh, a subscribed
// calendar's refresh and help topics. Modifying waits for the event editor:
// until it is installed (SetModifyEvent) Modify stays grey.
#pragma once

#include "alarms/reminder_host.h"

class CShellDocument;

class CFrameReminderHost : public IReminderHost {
 public:
  using ModifyFn = BOOL (*)(const COccurrenceRef& ref);
  // Installs the event editor's modify operation (null: none).
  static void SetModifyEvent(ModifyFn fn);

  bool CanModifyEvents() override;
  BOOL ModifyEvent(const COccurrenceRef& ref) override;
  // Part of the main frame's event operations: the event's delete prompt;
  // when the whole event goes, hint 14, out of the document (and its file;
  // the document frees it once nobody holds it), hint 3. FALSE when only an occurrence went or nothing did.
  BOOL DeleteEvent(const COccurrenceRef& ref) override;
  // The WarnAcknowledge warning; a ticked box clears and writes it.
  BOOL ConfirmAcknowledge(bool oneTime) override;
  void RecountAndRefresh() override;
  void RefreshCalendar(CCalendarFile* calendar) override;
  void ShowHelp(DWORD context) override;

 private:
  static CShellDocument* Document();
};
