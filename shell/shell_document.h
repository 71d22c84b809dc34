// CShellDocument: the framework document of the program's one template.
//
// The calendars and events belong to the window-free calendar document of
// the storage core; this class is the seam where the framework's document
// meets it. Until that document is wired in here, it keeps the calendar
// list itself (the paths the settings list and those handed over), so the
// list is written back unchanged at exit, and it answers the questions the
// frame asks with an empty event set. It also chooses the start-up show
// command from `WinStartupMode`.
#pragma once

#include <string>
#include <vector>

#include "framework/docview/document.h"
#include "model/services/event_document.h"

class CShellDocument : public framework::CDocument, public IEventDocument {
 public:
  CShellDocument();
  ~CShellDocument() override;

  // The path a calendar file name stands for: a name without a folder is
  // looked up in the program folder, anything else is taken as given.
  static std::string ResolveCalendarPath(const std::string& path);

  // Opens a calendar file into the document (a path already open is left
  // alone). False when the path is empty.
  bool OpenEventFile(const std::string& path);
  bool HasCalendar(const std::string& path) const;

  // 1 all events, 0 upcoming only; a change reloads every view (hint 3).
  int GetDisplayMode() const { return displayMode_; }
  void SetViewMode(int mode);
  bool IsTypeFilterActive() const { return typeFilterActive_; }
  void SetTypeFilterActive(bool on) { typeFilterActive_ = on; }
  int CountUserEvents() const { return 0; }
  int CountSubscribedEvents() const { return 0; }
  int GetWarningCount() const { return 0; }
  bool IsStartupCancelled() const { return startupCancelled_; }
  void SetStartupCancelled() { startupCancelled_ = true; }
  // Recount and reload every view (hint 3).
  void RecountAndRefresh();
  void ResetAllEvents();

  // IEventDocument.
  int16_t SaveEvent(CCalEvent& event, int incrementSequence, int publishArg, int stampDtStamp) override;
  void SaveEventAndRefresh(CCalEvent& event, int incrementSequence, int publishArg, int stampDtStamp) override;
  CCalendarFile* GetDefaultCalendar() override { return nullptr; }
  int GetPublishAlarmsFlag(const CCalendarFile*) const override { return 0; }
  int GetCalendarCount() const override { return static_cast<int>(calendars_.size()); }
  CalendarListEntry GetCalendarEntry(int index) const override;
  int GetDefaultCalendarId() const override { return calendars_.empty() ? -1 : defaultId_; }

 private:
  std::vector<CalendarListEntry> calendars_;
  int nextId_ = 1;
  int defaultId_ = 1;
  int displayMode_ = 1;
  bool typeFilterActive_ = false;
  bool startupCancelled_ = false;
};
