// Sheets, the sheet-tab bar and the options of the current sheet.
#include "grid/core/grid_core.h"

#include "grid/parts/cell_area.h"
#include "grid/parts/sheet_tabs.h"

int CGridCore::SetSheetCount(int count) {
  if (count < 1 || count > kMaxSheets) return 1;
  // Leave a sheet that is about to go before deleting it, so that nothing
  // keeps pointing at it.
  if (sheetIndex_ >= count) SelectSheet(count - 1, 1);
  if (count < GetSheetCount()) sheets_.resize(static_cast<size_t>(count));
  const int current = sheetIndex_;
  while (GetSheetCount() < count) {
    sheets_.emplace_back(new CGridSheetInfo);
    CGridSheetInfo* added = sheets_.back().get();
    WireSheet(added);
    sheetIndex_ = GetSheetCount() - 1;
    sheet_ = added;
    OnSheetCreated(sheetIndex_);
  }
  sheetIndex_ = current;
  sheet_ = sheets_[static_cast<size_t>(current)].get();
  return 0;
}

int CGridCore::SelectSheet(int index, int redraw) {
  if (index < 0 || index >= GetSheetCount()) return 1;
  const int savedRedraw = redraw_;
  if (!redraw) redraw_ = 0;
  if (cellArea_->GetSafeHwnd() && ::IsWindowVisible(GetSafeHwnd())) ::SetFocus(cellArea_->GetSafeHwnd());
  const int tabWidth = sheet_->tabBarWidth;
  sheetIndex_ = index;
  sheet_ = sheets_[static_cast<size_t>(index)].get();
  sheet_->tabBarWidth = tabWidth;
  sheet_->prevFirstVisibleCol = -1;
  sheet_->prevFirstVisibleRow = -1;
  AdjustLayout();
  cellArea_->SetDoubleBuffer(sheet_->doubleBuffer ? 1 : 0);
  redraw_ = savedRedraw;
  RedrawAll();
  return 0;
}

int CGridCore::SetTabBarWidth(int width) {
  sheet_->tabBarWidth = width;
  if (GetSafeHwnd()) AdjustLayout();
  return 0;
}

int CGridCore::AddSheetTab(const std::string& label, int value) { return tabs_->AddTab(label, value); }

int CGridCore::ShowGridLines(int flag) {
  sheet_->gridLinesOption = flag != 0;
  RedrawAll();
  return 0;
}

int CGridCore::EnableColumnMove(int flag) {
  sheet_->columnMoveOption = flag != 0;
  return 0;
}

int CGridCore::SetHighlightStyle(int style) {
  if (style < 0 || style > 3) return 1;
  sheet_->highlightStyle = style;
  RedrawAll();
  return 0;
}

int CGridCore::ShowCellTips(int flag) {
  sheet_->cellTipsOption = flag != 0;
  cellArea_->EnableTips(flag != 0);
  return 0;
}

int CGridCore::SetDoubleBuffer(int flag) {
  sheet_->doubleBuffer = flag != 0;
  // A bitmap that cannot be made leaves painting direct.
  if (cellArea_->SetDoubleBuffer(flag ? 1 : 0) != 0) {
    sheet_->doubleBuffer = false;
    return 1;
  }
  return 0;
}

int CGridCore::SetDefaultFont(HFONT font) {
  if (!font) return 1;
  sheet_->defaultFont = font;
  RedrawAll();
  return 0;
}

int CGridCore::SetVScrollMode(int mode) {
  sheet_->vScrollMode = mode;
  return 0;
}

int CGridCore::SetDefaultCell(const CGridCell& cell) {
  sheet_->defaultCell.CopyFrom(cell);
  return 0;
}

int CGridCore::SetHeadingDefaultCell(const CGridCell& cell) {
  sheet_->headingDefaultCell.MergeFrom(cell);
  return 0;
}

int CGridCore::GetHeadingDefaultCell(CGridCell* cell) const {
  if (!cell) return 1;
  cell->MergeFrom(sheet_->headingDefaultCell);
  return 0;
}

int CGridCore::EnablePopupMenu(int flag) {
  sheet_->popupMenuOption = flag != 0;
  return 0;
}

int CGridCore::SetFrozenCounts(int cols, int rows) {
  if (cols < 0 || rows < 0 || cols > GetColumnCount() || rows > GetRowCount()) return 1;
  sheet_->frozenCols = cols;
  sheet_->frozenRows = rows;
  sheet_->RecomputeFrozen();
  RecomputeLastFirstVisible();
  RedrawAll();
  return 0;
}
