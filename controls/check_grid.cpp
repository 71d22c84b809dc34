#include "controls/check_grid.h"

#include <algorithm>
#include <utility>

#include "grid/data/cell_compare.h"

namespace shellcontrols {

namespace {
constexpr int kCheckBoxType = 2;
bool IsNumeric(short type) { return type == 2 || type == 3 || type == 5; }
}

void CCheckGrid::SetUpInDialog(HWND dialog, int item, HFONT font, std::initializer_list<CheckGridColumn> columns) {
  CreateFromDialogItem(dialog, item);
  HDC dc = ::GetDC(dialog);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(dialog, dc);
  SetDefaultFont(font);
  CGridCell look;
  look.SetBackColor(RGB(255, 255, 255));
  look.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  look.SetSelectedBackColor(::GetSysColor(COLOR_HIGHLIGHT));
  look.SetSelectedTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
  // Left and vertically centred: where the check box draws too.
  look.SetAlignment(0x21);
  SetDefaultCell(look);
  SetColumnCount(static_cast<int>(columns.size()), 0);
  SetRowCount(0, 0);
  int col = 0;
  for (const CheckGridColumn& column : columns) {
    SetColumnWidth(col, column.width);
    SetCellText(col, -1, column.heading);
    ++col;
  }
  SetUniformRowHeight(1);
  // Rows keep room for a check box of the system's size.
  SetDefaultRowHeight(std::max(static_cast<int>(tm.tmHeight * 1.1), CGridCheckBoxType::BoxSize() + 3));
  SetSideHeadingWidth(0);
  SetHScrollHeight(0);
  ShowGridLines(0);
  SelectWholeRows(1);
  SetHighlightStyle(2);
}

void CCheckGrid::NotifyParent(int row) {
  HWND parent = ::GetParent(GetSafeHwnd());
  if (parent) ::SendMessageA(parent, WM_GRIDCHECKCHANGED, static_cast<WPARAM>(-1), row);
}

void CCheckGrid::OnCellLeftClick(int /*col*/, int row, int down, const RECT* /*rect*/, POINT /*pt*/,
                                 int /*processed*/) {
  if (!down) NotifyParent(row);
}

void CCheckGrid::OnCellDoubleClick(int /*col*/, int row, const RECT* /*rect*/, POINT /*pt*/, int /*processed*/) {
  CGridCell cell;
  GetCell(0, row, &cell);
  if (cell.GetCellType() == kCheckBoxType) {
    cell.SetNumber(cell.GetNumber() == 0 ? 1 : 0);
    SetCell(0, row, cell);
    RedrawCell(0, row);
  }
  NotifyParent(row);
}

int CCheckGrid::CompareCells(const CGridCell* a, const CGridCell* b, int flags) {
  if (!a || !b) return CompareGridCells(a, b, flags);
  if (flags & kGridSortDescending) std::swap(a, b);
  // Numbers only when both are numeric: a text beside a number would make
  // the order depend on which of the two came first.
  if (IsNumeric(a->GetDataType()) && IsNumeric(b->GetDataType())) {
    double x = a->GetNumber(), y = b->GetNumber();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  const size_t la = a->GetTextLength(), lb = b->GetTextLength();
  if (la == 0 || lb == 0) return la == lb ? 0 : (la == 0 ? 1 : -1);
  int r = ::lstrcmpiA(a->GetTextPtr(), b->GetTextPtr());
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace shellcontrols
