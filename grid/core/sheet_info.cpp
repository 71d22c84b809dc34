#include "grid/core/sheet_info.h"

CGridSheetInfo::CGridSheetInfo()
    : vScrollWidth(::GetSystemMetrics(SM_CXVSCROLL)),
      hScrollHeight(::GetSystemMetrics(SM_CYHSCROLL)),
      currentSource(nullptr),
      ownSource(new CGridMemSource),
      arrowCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW))),
      sizeWECursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE))),
      sizeNSCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENS))),
      gridLinePen(::CreatePen(PS_SOLID, 1, 0xDCDCDC)) {
  currentSource = ownSource.get();
  headingDefaultCell.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  headingDefaultCell.SetBorder(0x2000);
  headingDefaultCell.SetAlignment(0x24);
}

CGridSheetInfo::~CGridSheetInfo() {
  if (gridLinePen) ::DeleteObject(gridLinePen);
}

int CGridSheetInfo::ColumnWidth(int col) const {
  if (col < 0 || col >= ColumnCount()) return 1;
  return columns[static_cast<size_t>(col)].width;
}

int CGridSheetInfo::RowHeight(int row) const {
  if (row < 0 || row >= rowCount) return 0;
  if (uniformRows || rowHeights.empty()) return defaultRowHeight;
  return rowHeights[static_cast<size_t>(row)];
}

int CGridSheetInfo::WalkRowHeight(int row) const {
  return (row < 0 || row >= rowCount) ? defaultRowHeight : RowHeight(row);
}

int CGridSheetInfo::WalkColumnWidth(int col) const {
  if (col < 0) return defaultColWidth;
  return ColumnWidth(col);
}

void CGridSheetInfo::RecomputeFrozen() {
  frozenWidth = 0;
  for (int c = 0; c < frozenCols && c < ColumnCount(); ++c) frozenWidth += ColumnWidth(c);
  frozenHeight = 0;
  for (int r = 0; r < frozenRows && r < rowCount; ++r) frozenHeight += RowHeight(r);
}
