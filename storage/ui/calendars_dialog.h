// CCalendarsDialog: dialog 338 "Calendars", the calendar manager. One row
// per listed calendar (Open tick, name, status) in a check grid; its
// buttons open, close, create, subscribe, publish, edit, remove, refresh
// and set the default calendar, then the grid is filled again.
//
// It is modeless and kept: the main frame makes it on first need and
// shows it; OK, Escape and the close box only hide it, so OpenCalendar and
// RefreshCalendar also serve while it is hidden. A button with no row, or
// whose calendar went meanwhile (it is modeless), does nothing but refill.
// New, Open and List Events belong to the frame and arrive as `hooks`.
#pragma once

#include <functional>
#include <vector>

#include "framework/dialogs/dialog.h"
#include "controls/check_grid.h"

class CAlmacoraDoc;
class CCalendarFile;

class CCalendarsDialog : public framework::CDialog {
 public:
  struct Hooks {
    std::function<void()> newCalendar;
    std::function<void()> openFile;
    std::function<void(int calendarId)> listEvents;
  };

  explicit CCalendarsDialog(CAlmacoraDoc& doc);
  ~CCalendarsDialog() override;

  // Made hidden, owned by `owner`; false when it could not be made.
  bool CreateHidden(HWND owner);

  Hooks hooks;

  // One row per calendar in list order; the current row is kept.
  void FillCalendarGrid();
  // The calendars changed elsewhere: the grid is filled again once the
  // change is over (several calls before then fill once).
  void RefillLater();
  // Opens a closed calendar (a preview of an address through the
  // subscribe dialog, which answers false); refills; true when opened.
  bool OpenCalendar(CCalendarFile* calendar);
  // The calendar's refresh in its own progress window, then a recount.
  bool RefreshCalendar(CCalendarFile* calendar);

  shellcontrols::CCheckGrid& grid() { return grid_; }
  // The calendar id of a row, -1 for none.
  int RowCalendarId(int row) const;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  // The current row's calendar, null for none (or one gone meanwhile).
  CCalendarFile* Selected();
  // Opens the calendar unless it is open already; false when that failed.
  bool EnsureOpen(CCalendarFile* calendar);
  void OnNew();
  void OnOpen();
  void OnSubscribe();
  void OnPublish();
  void OnEdit();
  void OnRemove();
  void OnRefresh();
  void OnRefreshAll();
  void OnSetDefault();
  void OnListEvents();
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  LRESULT OnGridCheckChanged(WPARAM, LPARAM lParam);
  LRESULT OnRefill(WPARAM, LPARAM);
  void CloseCalendar(CCalendarFile* calendar);

  CAlmacoraDoc& doc_;
  shellcontrols::CCheckGrid grid_;
  HFONT normalFont_ = nullptr;
  HFONT boldFont_ = nullptr;
  std::vector<int> rowIds_;
  bool refillPosted_ = false;
};
