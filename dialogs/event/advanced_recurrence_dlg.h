// CAdvancedRecurrenceDlg: dialog 203 "Advanced Recurring Options", the
// advanced criteria of one recurrence rule: how long it repeats and, by the
// rule's frequency, the week days, month days, months, week-day positions
// and occurrence positions. The event editor gives it a copy of its working
// rule (SetRule) and takes the copy back on IDOK. A read-only dialog
// disables every input and writes nothing. The encodings are
// dialogcore's (rule_criteria.h).
//
// Repeat Until means the chosen day included: the proposed end, and a day
// picked while the time shows 00:00 that the user did not set, take the
// series start's time of day (UNTIL is inclusive). A time the user sets
// is kept, and an UNTIL the rule had stays as it was unless the user
// changes the date or the time.
#pragma once

#include <string>
#include <vector>

#include "dialogs/core/rule_criteria.h"
#include "dialogs/event/date_time_picker.h"
#include "dialogs/event/recurrence_criteria_grid.h"
#include "dialogs/event/time_picker_edit.h"
#include "framework/dialogs/dialog.h"

namespace dialogs {

class CAdvancedRecurrenceDlg : public framework::CDialog {
 public:
  explicit CAdvancedRecurrenceDlg(HWND parent = nullptr);
  ~CAdvancedRecurrenceDlg() override;

  // The rule (not owned) and whether it may be changed; before DoModal.
  void SetRule(CRecurrenceRule* rule, bool readOnly);

  CRecurrenceCriteriaGrid& Grid() { return grid_; }
  // After OK: whether the rule's UNTIL follows the series start's time of
  // day, given whether it did before: a day picked with the time left as
  // shown follows it, a typed time does not, an untouched UNTIL keeps
  // `before`, and no UNTIL follows nothing.
  bool UntilFollowsStart(bool before) const;
  const dialogcore::RuleCriteriaView& View() const { return view_; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
  void OnOK() override;
  // Notices and questions; tests script them.
  virtual int ShowMessage(const std::string& text, const std::string& caption, UINT flags);

 private:
  void OnAddWeekDay();
  void OnModifyWeekDay();
  void OnDeleteWeekDay();
  void OnDeleteAllWeekDays();
  void OnWeekDayComboChange();
  void OnWeekDayListChange();
  void OnAddPosition();
  void OnDeletePosition();
  void OnPositionComboChange();
  void OnPositionListChange();
  void OnHelp();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  LRESULT OnGridAllNone(WPARAM wParam, LPARAM lParam);
  void OnUntilDateChange(NMHDR*, LRESULT* result);
  void OnUntilTimeChange(NMHDR*, LRESULT* result);
  // The series start's local time of day, 0 without a start.
  int32_t StartSecondsOfDay() const;

  void FillWeekDayList();
  void ClearWeekDayCombos();
  int ComboChoice() const;
  void UpdateDaysButton();
  void UpdateMonthsButton();
  void Enable(int id, bool on);
  void ShowAndEnable(int id, bool on);

  CRecurrenceRule* rule_ = nullptr;
  bool readOnly_ = false;
  bool daysToggle_ = true;
  bool monthsToggle_ = true;
  HFONT gridFont_ = nullptr;
  CRecurrenceCriteriaGrid grid_;
  CDateTimePicker untilDate_;
  CTimePickerEdit untilTime_;
  bool untilChanged_ = false;    // the user changed the date or the time
  bool untilTimeTyped_ = false;  // the user set the time
  bool settingUntil_ = false;    // the dialog itself writes the pickers
  dialogcore::RuleCriteriaView view_;
  std::vector<std::string> dayNames_, monthNames_;
};

}  // namespace dialogs
