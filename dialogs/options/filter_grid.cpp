#include "dialogs/options/filter_grid.h"

#include <algorithm>

#include "dialogs/options/type_list_grid.h"

namespace options {

namespace {
constexpr int kShowColumn = 0, kTypeColumn = 1;
}  // namespace

CFilterGrid::~CFilterGrid() {
  if (GetSafeHwnd()) ::DestroyWindow(GetSafeHwnd());
  if (font_) ::DeleteObject(font_);
}

bool CFilterGrid::Attach(HWND dialog, int id) {
  if (CreateFromDialogItem(dialog, id) != 0) return false;
  font_ = CreateDialogGridFont();
  SetDefaultFont(font_);
  SetColumnCount(2, 0);
  SetColumnWidth(kShowColumn, 45);
  SetColumnWidth(kTypeColumn, 160);
  SetSideHeadingWidth(0);
  SetHScrollHeight(0);
  ShowGridLines(0);
  SetUniformRowHeight(1);
  int height = DialogGridRowHeight(GetSafeHwnd(), font_);
  // Rows keep room for a check box of the system's size.
  SetDefaultRowHeight(std::max(height, CGridCheckBoxType::BoxSize() + 3));
  SetTopHeadingHeight(height);
  SelectWholeRows(1);
  SetHighlightStyle(0);
  CGridCell cell;
  cell.SetBackColor(RGB(255, 255, 255));
  cell.SetTextColor(RGB(0, 0, 0));
  cell.SetBorder(0);
  cell.SetAlignment(33);
  SetDefaultCell(cell);
  SetCellText(kShowColumn, -1, "Show");
  SetCellText(kTypeColumn, -1, "Event Type");
  AdjustLayout();
  return true;
}

void CFilterGrid::Fill(const std::vector<std::string>& names, const std::vector<uint16_t>& shown) {
  SetRowCount(static_cast<int>(names.size()), 0);
  for (size_t i = 0; i < names.size(); ++i) {
    int r = static_cast<int>(i);
    SetShown(r, i < shown.size() ? shown[i] : 1);
    SetCellText(kTypeColumn, r, names[i]);
  }
  RedrawAll();
}

uint16_t CFilterGrid::Shown(int row) {
  CGridCell cell;
  GetCell(kShowColumn, row, &cell);
  return cell.GetNumber() != 0 ? 1 : 0;
}

void CFilterGrid::SetShown(int row, uint16_t shown) {
  CGridCell cell;
  GetCellData(kShowColumn, row, &cell);
  cell.SetCellType(kTypeCheckBox);
  cell.SetCellTypeStyle(0x1100);
  cell.SetNumber(shown ? 1 : 0);
  cell.SetAlignment(0x24);
  SetCell(kShowColumn, row, cell);
  RedrawCell(kShowColumn, row);
}

}  // namespace options
