// CRecurrenceCriteriaGrid: the check grid of the advanced recurrence
// dialog, 8 columns by 15 rows: check cells with a text to their right, two
// captions in row 0 and two buttons in row 14 ("All Days" / "All Months").
// A click on a text toggles the check to its left; a click on a row-14
// button sends WM_USER+3 (wParam the clicked column) to the parent.
#pragma once

#include <string>
#include <vector>

#include "dialogs/core/rule_criteria.h"
#include "grid/core/grid_core.h"

namespace dialogs {

class CRecurrenceCriteriaGrid : public CGridCore {
 public:
  static constexpr UINT kButtonMessage = WM_USER + 3;
  static constexpr int kButtonRow = 14;

  ~CRecurrenceCriteriaGrid() override;

  // Lays the grid out for week days (daily, weekly) or month days (monthly,
  // yearly), with the given locale names (Sunday first; January first).
  void Setup(bool monthDays, const std::vector<std::string>& dayNames, const std::vector<std::string>& monthNames,
             HFONT font);

  // The check cells as the rule encodings see them.
  void SetCells(const dialogcore::CriteriaCells& cells);
  dialogcore::CriteriaCells GetCells() const;
  bool IsChecked(int col, int row) const;
  void SetChecked(int col, int row, bool on);
  // Where the check of a week day (0 Sunday), month day (1..31, 32 Last)
  // and month (1..12) lies.
  static void WeekDayCell(int weekday, int* col, int* row);
  static void MonthDayCell(int day, int* col, int* row);
  // Every days cell / month cell set to `on`.
  void SetAllDays(bool on);
  void SetAllMonths(bool on);
  bool AllDaysChecked() const;
  bool AllMonthsChecked() const;
  void SetButtonText(int col, const std::string& text);
  bool IsMonthDayLayout() const { return monthDays_; }

  // The button face, beyond the cells as in the dialog around them.
  COLORREF GetBackgroundColor(int part) override;

 protected:
  void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;

 private:
  void SetCheckCell(int col, int row, const std::string& text);
  bool monthDays_ = false;
  HPEN pen_ = nullptr;
};

}  // namespace dialogs
