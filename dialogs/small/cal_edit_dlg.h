// CCalEdit: "Edit Calendar Entries" (dialog 345): one open calendar's
// events in a check grid, their "Enabled" ticks saved on OK, and two resets
// that give every event of the calendar new alarm settings or a new type at
// once. What it decides lives in dialogs/core/cal_edit_model.h; this class
// shows the rows and reads the controls.
//
// The event editor and the alarm actions sheet belong to other windows:
// the caller installs them as `modifyEvent` and `editActions`; without
// them "Edit Event" and "Actions" are greyed.
#pragma once

#include <functional>
#include <string>

#include "dialogs/core/cal_edit_model.h"
#include "dialogs/event/type_ahead_combo.h"
#include "framework/dialogs/dialog.h"
#include "controls/check_grid.h"

class CAlmacoraDoc;
class CCalEvent;

namespace dialogs {

class CCalEdit : public framework::CDialog {
 public:
  CCalEdit(CAlmacoraDoc* document, HWND parent = nullptr);
  ~CCalEdit() override;

  // The calendar shown first (its list id); -1 the first in the list.
  int initialCalendarId = -1;
  // Runs the event editor on the event (the main window's modify flow,
  // which saves and refreshes).
  std::function<void(CCalEvent* event)> modifyEvent;
  // Runs the alarm actions sheet over the values; true on OK.
  std::function<bool(HWND owner, caledit::AlarmActionValues* values)> editActions;

  caledit::CCalEditModel& model() { return model_; }
  shellcontrols::CCheckGrid& grid() { return grid_; }

  // The calendars or their events changed elsewhere (the main window, a
  // refresh): the calendar list and the rows are shown again once the
  // change is over, the user's unsaved ticks kept. Several calls before
  // then refill once.
  void RefillLater();

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnCalendarChange();
  void OnEnabled();
  void OnEditEvent();
  void OnActions();
  void OnResetAlarms();
  void OnResetTypes();
  void OnHelp();
  LRESULT OnCheckChanged(WPARAM, LPARAM row);
  LRESULT OnHelpKey(WPARAM, LPARAM);
  LRESULT OnRefill(WPARAM, LPARAM);
  void FillCalendarList();
  void SetUpGrid();
  void FillGrid();
  void ReadTicks();
  void EnableAlarmControls();
  int SelectedCalendarId() const;

  HFONT font_ = nullptr;
  shellcontrols::CCheckGrid grid_;
  caledit::CCalEditModel model_;
  caledit::AlarmActionValues actions_;
  CTypeAheadCombo typeCombo_;
  int alarmEnabled_ = 0;
  std::string leadUnits_;
  int leadTime_ = 0;
  bool refillPosted_ = false;
};

}  // namespace dialogs
