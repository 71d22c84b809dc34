// CCalendarList: the document's calendars, open or closed, in the order
// they were added. It owns them, hands out ids (never reused while the
// program runs), keeps the default calendar (where new events go) and
// writes the main window's title from the open calendars.
#pragma once

#include <string>
#include <vector>

class CCalendarFile;

class CCalendarList {
 public:
  CCalendarList() = default;
  ~CCalendarList();
  CCalendarList(const CCalendarList&) = delete;
  CCalendarList& operator=(const CCalendarList&) = delete;

  int defaultId = -1;
  int nextId = 1;
  // A second copy of the program started for one calendar file.
  bool previewMode = false;

  const std::vector<CCalendarFile*>& items() const { return items_; }
  size_t size() const { return items_.size(); }

  // Gives the calendar the next id and appends it (the list owns it); it
  // becomes the default when none is set and it is not held in memory
  // only. Returns the id.
  int AddCalendar(CCalendarFile* calendar);
  // Takes the calendar of that id out without deleting it; a removed
  // default passes to the first ordinary calendar (or none). False when no
  // calendar has the id.
  bool RemoveById(int id);
  CCalendarFile* FindById(int id) const;
  CCalendarFile* FindByFileType(int type) const;
  int CountByFileType(int type) const;
  // Null for an empty list; the first ordinary calendar when no default is
  // set; else the default (null when it is gone).
  CCalendarFile* GetDefaultCalendar() const;
  // The calendar of the same file: both paths made full, upper-cased and
  // compared byte-wise.
  CCalendarFile* FindByPath(const std::string& path) const;
  CCalendarFile* FindByName(const std::string& name) const;
  CCalendarFile* FindBySubscriptionAddress(const std::string& address) const;
  bool HasNonPreviewCalendar() const;
  bool HasWritableCalendar() const;
  // Calendars that can receive new events (CanReceiveNewEvents): those the
  // open-calendars chooser offers.
  int CountSelectableCalendars() const;
  void DeleteAll();

  // "Almacora - Default (Default)  |  Other" from the calendars in open
  // state 1 or 3; "Almacora - no event file open" without one.
  std::string MainWindowTitle() const;
  void UpdateMainWindowTitle() const;

 private:
  std::vector<CCalendarFile*> items_;
};
