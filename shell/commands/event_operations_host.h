// What the main frame's event operations (add, copy, modify, delete,
// acknowledge, export) need of the document and of the file system. The
// shell's implementation works on the program's document; tests install a
// fake with CMainFrame::SetEventOperationsHost.
#pragma once

#include <string>

#include "dialogs/core/event_edit_host.h"

class CCalEvent;
class CCalendarFile;

class IEventOperationsHost {
 public:
  virtual ~IEventOperationsHost() = default;

  // A calendar that can receive new events is open.
  virtual bool CanAddEvents() = 0;
  virtual bool IsFilterActive() = 0;
  virtual void SetFilterActive(bool on) = 0;
  // All views with the hint (view hints of private_messages.h).
  virtual void UpdateViews(int hint, void* param) = 0;
  // Writes a new event to its calendar and takes it (on failure it is
  // deleted); non-zero on success.
  virtual int AddEvent(CCalEvent* event) = 0;
  // Saves a changed event and updates the views: 1 saved, 0 failed (the
  // user has been told), IEventDocument::kSaveDeclined (nothing written).
  virtual int16_t SaveEventAndRefresh(CCalEvent& event) = 0;
  // Takes the event out of its file and the document (the document frees
  // it once nothing holds it); false when its file refused.
  virtual bool RemoveEvent(CCalEvent& event) = 0;
  // The calendar new events go to (null without one).
  virtual CCalendarFile* DefaultCalendar() = 0;
  // The calendars, the conflict search and the reopening the editor uses.
  virtual dialogcore::IEventEditHost& EditHost() = 0;
  // The event as an iCalendar text with its overridden occurrences.
  virtual std::string ExportEventText(const CCalEvent& event) = 0;
  // The save dialog "Enter Export Filename" proposing `proposed` with the
  // default extension; false when cancelled.
  virtual bool ChooseExportFile(const std::string& proposed, const std::string& defaultExtension,
                                std::string* path) = 0;
};
