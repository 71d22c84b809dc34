// CAlmacoraDoc: the program's one document, window-free. It owns every
// loaded event of every open calendar (the event array), the calendar list
// and the event-type names with their filter flags. Every add, change,
// move, delete, roll-forward and calendar open or close goes through it
// and ends in one all-views update with view hint 3 (IStorageShell).
//
// Start() is the storage half of the program's start-up: the engine, the
// calendars listed in the settings, a calendar file or "/webcal" address on
// the command line, the first-run wizard, the type filter and the window's
// start-up state. The class library's document wraps this object.
//
// While it lives it is the model's IEventDocument (ModelServices). User-
// interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/services/event_document.h"
#include "storage/calendar_list.h"
#include "storage/event_array.h"

class CCalEvent;
class CCalendarFile;
class CDateTime;
class COccurrenceRef;

class CAlmacoraDoc : public IEventDocument {
 public:
  static constexpr int kHintReloadAll = 3;

  // Registers the document with the event model.
  CAlmacoraDoc();
  ~CAlmacoraDoc() override;
  CAlmacoraDoc(const CAlmacoraDoc&) = delete;
  CAlmacoraDoc& operator=(const CAlmacoraDoc&) = delete;

  // ---- State the views and dialogs read.
  uint8_t startupFailed = 0;
  int viewMode = 1;  // 0 upcoming events only, else all
  int shownCount = 0;
  int warningCount = 0;
  int filterOn = 0;
  std::vector<std::string> typeNames;  // sorted ascending, byte-wise
  std::vector<uint16_t> typeFlags;     // one per name: 1 shown, 0 hidden
  uint8_t resyncAllowed = 1;
  // The "/webcal" address of the command line; the shell subscribes to it
  // once the main window exists (and sets startupFailed when that fails).
  std::string webcalAddress;

  CEventArray& events() { return events_; }
  CCalendarList& calendars() { return calendars_; }

  // The start-up with the program's command line (already without the
  // program name). The engine is started here.
  void Start(const std::string& commandLine);

  // ---- Events.
  // Writes a new event to its calendar (or the calendar of its target id;
  // the default calendar when it has none) and takes it; hint 3 naming it.
  // On failure the event is deleted and 0 returned.
  int AddEvent(CCalEvent* event);
  // Adds an event to the target calendar, or, when the calendar holds an
  // event of its UID already, gives that event the new content and saves
  // it (the event passed is then deleted). 1 added, 2 updated, 3 the user
  // kept another user's change (nothing written), 0 failed.
  int AddOrUpdateByUid(CCalEvent* event, CCalendarFile* target);
  // Takes the event at the index out of the array; with fromFile its
  // calendar tombstones it first, and a failed delete ("Error deleting
  // event from disk.\n") leaves it in the array and answers false.
  bool DeleteEvent(int index, bool fromFile);
  // Rewrites the event, or moves it to its target calendar (added there
  // first, then tombstoned in the old one). Non-zero on success.
  int16_t SaveEvent(CCalEvent& event, int incrementSequence, int publishArg, int stampDtStamp) override;
  int16_t SaveEventAndRefresh(CCalEvent& event, int incrementSequence, int publishArg, int stampDtStamp) override;
  void RecountAndRefresh();
  // Returns the shown count and sets the warning count. Past occurrences
  // of alarm-off events are acknowledged (a recurring one jumps to its
  // first occurrence on or after today) and saved in calendars that are
  // open for writing, each calendar's in one batch.
  int RollForwardEvents(int allMode);
  void ResetAllEvents();
  void ResyncCalendars();
  void SetViewMode(int mode);
  // The first event in array order with that UID (within one calendar when
  // given), or null.
  CCalEvent* FindEventByUid(const std::string& uid, const CCalendarFile* calendar) const;
  // The first other, not all-day event with an occurrence overlapping the
  // range, or null.
  CCalEvent* FindConflictingEvent(const CDateTime& rangeStart, const CDateTime& rangeEnd, CCalEvent* skipEvent);
  int CountUserEvents() const;
  int CountSubscribedEvents() const;

  // ---- Imports (storage/convert reads; the events go to one calendar).
  // The vCalendar file's events into the calendar: an event whose UID the
  // calendar holds replaces that event's fields, others are added. One
  // view update (hint 3) and one publish for the whole run. The run ends
  // with the counts the iCalendar import shows (storage_text::
  // kImportComplete: added, updated, skipped); a file that cannot be read
  // imports nothing and shows "Error opening file".
  void ImportVCalendar(const std::string& path, CCalendarFile* calendar);
  // The delimited text file the options dialog named into the calendar,
  // with the options the dialog stored in the settings: the result boxes
  // and the log, then the roll-forward and one view update (hint 3).
  void ImportTextFile(CCalendarFile* calendar, const std::string& path);

  // ---- Types.
  void RebuildTypeList();
  // 1 when the filter is on and the type's show flag is 0; 0 otherwise,
  // also for a type not in the list.
  int IsTypeHidden(const std::string& type) const;

  // ---- Calendars.
  // Opens a calendar file into the document and lists it (the Add-or-
  // Preview question when asked). An already listed file goes to the shell
  // ("This file is already open." when it declines). True when opened.
  bool OpenEventFile(const std::string& path, bool askPreview);
  void CloseEventFile(CCalendarFile* calendar);

  // ---- IEventDocument.
  CCalendarFile* GetDefaultCalendar() override;
  int GetPublishAlarmsFlag(const CCalendarFile* calendar) const override;
  int GetCalendarCount() const override;
  CalendarListEntry GetCalendarEntry(int index) const override;
  int GetDefaultCalendarId() const override;

 private:
  void OpenListedCalendars();
  void ConvertOldFilesOnFirstRun();
  void OpenCommandLineFile(const std::string& file, bool keepStoredList);
  void RunFirstTimeWizard();
  void ApplyStartupFilter();
  void ChooseStartupShow();
  void Refresh(const COccurrenceRef* added = nullptr);
  int16_t MoveEvent(CCalEvent& event, int publishArg);
  // Saves one calendar's rolled-forward events, held alone while it can.
  void StoreRolledForward(CCalendarFile* calendar, const std::vector<CCalEvent*>& rolled);

  CEventArray events_;
  CCalendarList calendars_;
  IEventDocument* previousDocument_ = nullptr;
};
