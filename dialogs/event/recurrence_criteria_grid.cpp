#include "dialogs/event/recurrence_criteria_grid.h"

#include <algorithm>

#include "grid/cell/grid_cell.h"

namespace dialogs {

CRecurrenceCriteriaGrid::~CRecurrenceCriteriaGrid() {
  if (pen_) ::DeleteObject(pen_);
}

void CRecurrenceCriteriaGrid::WeekDayCell(int weekday, int* col, int* row) {
  *col = 0;
  *row = weekday + 1;
}

void CRecurrenceCriteriaGrid::MonthDayCell(int day, int* col, int* row) {
  if (day == 32) {
    *col = 4;
    *row = 8;
    return;
  }
  *col = ((day - 1) / 12) * 2;
  *row = (day - 1) % 12 + 1;
}

void CRecurrenceCriteriaGrid::SetCheckCell(int col, int row, const std::string& text) {
  CGridCell check;
  check.SetCellType(kTypeCheckBox);
  check.SetNumber(0);
  SetCell(col, row, check);
  SetCellText(col + 1, row, text);
}

void CRecurrenceCriteriaGrid::Setup(bool monthDays, const std::vector<std::string>& dayNames,
                                    const std::vector<std::string>& monthNames, HFONT font) {
  monthDays_ = monthDays;
  if (!pen_) pen_ = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_HIGHLIGHT));
  EnableRedraw(0);
  SetDefaultFont(font);
  SetTopHeadingHeight(0);
  SetSideHeadingWidth(0);
  SetVScrollWidth(0);
  SetHScrollHeight(0);
  ShowGridLines(0);
  SetHighlightStyle(0);
  CGridCell def;
  def.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  def.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  def.SetSelectedBackColor(::GetSysColor(COLOR_HIGHLIGHT));
  def.SetSelectedTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
  def.SetBorderObject(pen_);
  SetDefaultCell(def);
  SetColumnCount(8);
  SetRowCount(15);
  HDC dc = ::GetDC(GetSafeHwnd());
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(GetSafeHwnd(), dc);
  // Rows keep room for a check box of the system's size.
  const int rowHeight = std::max(static_cast<int>(tm.tmHeight * 1.1), CGridCheckBoxType::BoxSize() + 1);
  SetDefaultRowHeight(rowHeight);
  for (int r = 0; r < 15; ++r) SetRowHeight(r, r == 13 ? 5 : rowHeight);
  const int widthsWeek[] = {18, 70, 0, 0, 0, 0, 18, 70};
  const int widthsMonth[] = {18, 30, 18, 30, 18, 30, 18, 70};
  for (int c = 0; c < 8; ++c) SetColumnWidth(c, monthDays ? widthsMonth[c] : widthsWeek[c]);
  MergeCells(0, 0, 5, 0);
  MergeCells(6, 0, 7, 0);
  SetCellText(0, 0, monthDays ? "Month Days" : "Week Days");
  SetCellText(6, 0, "Months");
  MergeCells(0, kButtonRow, 5, kButtonRow);
  MergeCells(6, kButtonRow, 7, kButtonRow);
  for (int c : {0, 6}) {
    SetCellText(c, kButtonRow, c == 0 ? "All Days" : "All Months");
    SetCellAlignment(c, kButtonRow, CGridCell::kAlignCenter | CGridCell::kAlignMiddle);
    SetCellBorder(c, kButtonRow, 0x2000);
  }
  if (monthDays) {
    for (int d = 1; d <= 31; ++d) {
      int c, r;
      MonthDayCell(d, &c, &r);
      SetCheckCell(c, r, std::to_string(d));
    }
    SetCheckCell(4, 8, "Last");
  } else {
    for (int w = 0; w < 7; ++w) SetCheckCell(0, w + 1, w < static_cast<int>(dayNames.size()) ? dayNames[w] : "");
  }
  for (int m = 1; m <= 12; ++m)
    SetCheckCell(6, m, m <= static_cast<int>(monthNames.size()) ? monthNames[m - 1] : "");
  // Row 12 closes each column with a border (under the texts: a check
  // cell drawn in a border has no room for its box at this row height).
  for (int c = 1; c < 8; c += 2) SetCellBorder(c, 12, 0x0008);
  EnableRedraw(1);
  RedrawAll();
}

COLORREF CRecurrenceCriteriaGrid::GetBackgroundColor(int /*part*/) {
  // The room beyond the cells is the dialog's, not a white sheet's.
  return ::GetSysColor(COLOR_BTNFACE);
}

bool CRecurrenceCriteriaGrid::IsChecked(int col, int row) const {
  CGridCell cell;
  const_cast<CRecurrenceCriteriaGrid*>(this)->GetCell(col, row, &cell);
  return cell.GetCellType() == kTypeCheckBox && cell.GetNumber() != 0;
}

void CRecurrenceCriteriaGrid::SetChecked(int col, int row, bool on) {
  CGridCell cell;
  GetCell(col, row, &cell);
  if (cell.GetCellType() != kTypeCheckBox) return;
  cell.SetNumber(on ? 1 : 0);
  SetCell(col, row, cell);
  RedrawCell(col, row);
}

void CRecurrenceCriteriaGrid::SetCells(const dialogcore::CriteriaCells& cells) {
  if (monthDays_) {
    for (int d = 1; d <= 32; ++d) {
      int c, r;
      MonthDayCell(d, &c, &r);
      SetChecked(c, r, cells.monthDays[d - 1]);
    }
  } else {
    for (int w = 0; w < 7; ++w) SetChecked(0, w + 1, cells.weekDays[w]);
  }
  for (int m = 0; m < 12; ++m) SetChecked(6, m + 1, cells.months[m]);
}

dialogcore::CriteriaCells CRecurrenceCriteriaGrid::GetCells() const {
  dialogcore::CriteriaCells cells;
  if (monthDays_) {
    for (int d = 1; d <= 32; ++d) {
      int c, r;
      MonthDayCell(d, &c, &r);
      cells.monthDays[d - 1] = IsChecked(c, r);
    }
  } else {
    for (int w = 0; w < 7; ++w) cells.weekDays[w] = IsChecked(0, w + 1);
  }
  for (int m = 0; m < 12; ++m) cells.months[m] = IsChecked(6, m + 1);
  return cells;
}

void CRecurrenceCriteriaGrid::SetAllDays(bool on) {
  if (monthDays_) {
    for (int d = 1; d <= 32; ++d) {
      int c, r;
      MonthDayCell(d, &c, &r);
      SetChecked(c, r, on);
    }
  } else {
    for (int w = 0; w < 7; ++w) SetChecked(0, w + 1, on);
  }
}

void CRecurrenceCriteriaGrid::SetAllMonths(bool on) {
  for (int m = 1; m <= 12; ++m) SetChecked(6, m, on);
}

bool CRecurrenceCriteriaGrid::AllDaysChecked() const {
  const dialogcore::CriteriaCells cells = GetCells();
  if (monthDays_) {
    for (bool b : cells.monthDays)
      if (!b) return false;
    return true;
  }
  for (bool b : cells.weekDays)
    if (!b) return false;
  return true;
}

bool CRecurrenceCriteriaGrid::AllMonthsChecked() const {
  const dialogcore::CriteriaCells cells = GetCells();
  for (bool b : cells.months)
    if (!b) return false;
  return true;
}

void CRecurrenceCriteriaGrid::SetButtonText(int col, const std::string& text) {
  SetCellText(col, kButtonRow, text);
  RedrawCell(col, kButtonRow);
}

void CRecurrenceCriteriaGrid::OnCellLeftClick(int col, int row, int down, const RECT*, POINT, int) {
  if (!down) return;
  if (row == kButtonRow) {
    const int origin = col >= 6 ? 6 : 0;
    SetCellBorder(origin, kButtonRow, 0x1000);
    RedrawCell(origin, kButtonRow);
    ::SendMessageA(::GetParent(GetSafeHwnd()), kButtonMessage, static_cast<WPARAM>(origin), 0);
    SetCellBorder(origin, kButtonRow, 0x2000);
    RedrawCell(origin, kButtonRow);
    return;
  }
  // A click on a check's text toggles the check (the check box cell type
  // toggles itself when clicked).
  if (col % 2 == 1) {
    CGridCell left;
    GetCell(col - 1, row, &left);
    if (left.GetCellType() == kTypeCheckBox) SetChecked(col - 1, row, left.GetNumber() == 0);
  }
}

}  // namespace dialogs
