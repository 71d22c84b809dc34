// IEventOperations: the main window's event operations as the views reach
// them. The event list view (and later the calendar views) never build an
// event editor, an information dialog, a print job or an export dialog
// themselves: they ask the operations the main frame installs here.
//
// Until the frame installs them (GetEventOperations() is null), or while
// an operation says it is not available, the views grey the commands that
// need it. Tests install a fake.
#pragma once

class CCalEvent;
class COccurrenceRef;

class IEventOperations {
 public:
  enum Operation { kAddCopy, kModify, kConfirmAcknowledge, kDetails, kExport, kPrintEvent };

  virtual ~IEventOperations() = default;

  // Whether the operation can run in this build; the views grey its
  // commands when it cannot.
  virtual bool IsAvailable(Operation /*operation*/) const { return true; }

  // A copy of the event in the event editor, added to the document on OK
  // (with "Save and New", further copies).
  virtual void AddCopy(const CCalEvent& source) = 0;
  // The event editor on the occurrence; true when the event was saved (the
  // document has then refreshed every view).
  virtual bool ModifyEvent(const COccurrenceRef& occurrence) = 0;
  // The acknowledge question (a one-time event's text when oneTime); false
  // when the user answered No, true otherwise (also when silenced).
  virtual bool ConfirmAcknowledge(bool oneTime) = 0;
  // The event information dialog on the occurrence, modal.
  virtual void ShowEventDetails(const COccurrenceRef& occurrence) = 0;
  // The event as an iCalendar file the user names.
  virtual void ExportEvent(const COccurrenceRef& occurrence) = 0;
  // Prints the occurrence.
  virtual void PrintEvent(const COccurrenceRef& occurrence) = 0;
};

// The operations in force (not owned), or null while none is installed.
IEventOperations* GetEventOperations();
// Installs the operations (null removes them); returns the previous ones.
IEventOperations* SetEventOperations(IEventOperations* operations);
