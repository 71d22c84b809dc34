// What the event model asks of the document (which owns the open calendars
// and every loaded event): saving an event, saving and refreshing the views,
// and the calendar list the settings store as the files to open at the next
// start. The document implements IEventDocument and registers it in
// ModelServices (model_services.h) when it is created; tests register a fake.
#pragma once

#include <cstdint>
#include <string>

class CCalEvent;
class CCalendarFile;

// One calendar of the document's calendar list, as the settings store it.
struct CalendarListEntry {
  std::string path;
  int openState = 0;  // 0 closed, 1 open, 3 read-only preview
  int id = 0;         // the list's calendar id (from 1)
};

class IEventDocument {
 public:
  static constexpr int16_t kSaveDeclined = 2;

  virtual ~IEventDocument() = default;

  // Rewrites the event in its calendar file (or moves it to its target
  // calendar). Returns the document's 16-bit result: 1 saved; kSaveDeclined
  // (2) when the user chose to keep another user's change (nothing
  // written); 0 when the save failed (the document has told the user
  // already).
  virtual int16_t SaveEvent(CCalEvent& event, int incrementSequence, int publishArg,
                            int stampDtStamp) = 0;
  // SaveEvent, then recount the shown and warning events and update every
  // view (view hint 3). Returns SaveEvent's result.
  virtual int16_t SaveEventAndRefresh(CCalEvent& event, int incrementSequence, int publishArg,
                                      int stampDtStamp) = 0;

  // The calendar a new event belongs to (the list's default calendar), or
  // null when no calendar is open.
  virtual CCalendarFile* GetDefaultCalendar() = 0;
  // The publish-alarms flag of a calendar (0 or 1); 0 for null.
  virtual int GetPublishAlarmsFlag(const CCalendarFile* calendar) const = 0;

  // The calendar list, in list order, and the id of its default calendar
  // (-1 when none is set).
  virtual int GetCalendarCount() const = 0;
  virtual CalendarListEntry GetCalendarEntry(int index) const = 0;
  virtual int GetDefaultCalendarId() const = 0;
};
