// The defaults of the grid's notifications; program grids override them.
#include <cstdio>

#include "grid/core/grid_core.h"

void CGridCore::OnPartFocused(int) {}
void CGridCore::OnGridCreated() {}
void CGridCore::OnSheetCreated(int) {}
int CGridCore::OnCanMoveCurrentCell(int, int, int, int) { return 1; }
int CGridCore::OnCanScroll(int, int, int, int) { return 1; }
void CGridCore::OnRowsRequested(int, int, void*) {}
int CGridCore::OnCanResizeColumn(int) { return 1; }
void CGridCore::OnColumnResizing(int, int*) {}
void CGridCore::OnColumnResized(int, int*) {}
int CGridCore::OnCanResizeRow(int) { return 1; }
void CGridCore::OnRowResizing(int, int*) {}
void CGridCore::OnRowResized(int, int*) {}
int CGridCore::OnCanResizeTopHeading() { return 1; }
int CGridCore::OnCanResizeSideHeading() { return 1; }
int CGridCore::OnTopHeadingResizing(int*) { return 1; }
int CGridCore::OnSideHeadingResizing(int*) { return 1; }
int CGridCore::OnTopHeadingResized(int*) { return 1; }
int CGridCore::OnSideHeadingResized(int*) { return 1; }
void CGridCore::OnCurrentColumnChanged(int, int) {}
void CGridCore::OnCurrentRowChanged(int, int) {}
void CGridCore::OnCurrentCellChanged(int, int, int, int) {}
void CGridCore::OnFirstVisibleColumnChanged(int, int) {}
void CGridCore::OnFirstVisibleRowChanged(int, int) {}
void CGridCore::OnCellLeftClick(int, int, int, const RECT*, POINT, int) {}
void CGridCore::OnCellRightClick(int, int, int, const RECT*, POINT, int) {}
void CGridCore::OnCellDoubleClick(int, int, const RECT*, POINT, int) {}
void CGridCore::OnCellMouseMove(int, int, POINT, UINT, int) {}
void CGridCore::OnTopHeadingLeftClick(int, int, int, const RECT*, POINT, int) {}
void CGridCore::OnTopHeadingRightClick(int, int, int, const RECT*, POINT, int) {}
void CGridCore::OnTopHeadingDoubleClick(int, int, const RECT*, POINT, int) {}
void CGridCore::OnSideHeadingLeftClick(int, int, int, const RECT*, POINT, int) {}
void CGridCore::OnSideHeadingRightClick(int, int, int, const RECT*, POINT, int) {}
void CGridCore::OnSideHeadingDoubleClick(int, int, const RECT*, POINT, int) {}
void CGridCore::OnCornerLeftClick(int, const RECT*, POINT, int) {}
void CGridCore::OnCornerRightClick(int, const RECT*, POINT, int) {}
void CGridCore::OnCornerDoubleClick(const RECT*, POINT, int) {}
void CGridCore::OnCellAreaKeyDown(UINT*, int) {}
void CGridCore::OnCellAreaChar(UINT*, int) {}
void CGridCore::OnReadCell(int, int, CGridCell*) {}
void CGridCore::OnWriteCell(int, int, CGridCell*) {}
int CGridCore::OnCellTypeEvent(int, int, int, int, void*) { return 1; }
int CGridCore::OnEditBegin(int, int, HWND*) { return 1; }
int CGridCore::OnEditKey(int, int, HWND, UINT*) { return 1; }
int CGridCore::OnEditEnd(int, int, HWND, std::string*, int) { return 1; }
int CGridCore::OnEditMoveNext(int, int, int*, int*) { return 1; }
void CGridCore::OnPopupMenuCommand(int, int, int, int) {}
int CGridCore::OnCanShowPopupMenu(int, int, int) { return 1; }

int CGridCore::OnGetCellTip(int col, int row, int, std::string* text) {
  if (text) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Col:%d Row:%ld", col, static_cast<long>(row));
    *text = buf;
  }
  return 1;
}

int CGridCore::OnVScrollThumbText(int, std::string*) { return 1; }
int CGridCore::OnHScrollThumbText(int, std::string*) { return 1; }
void CGridCore::OnPrepareDC(HDC, HDC, int) {}
void CGridCore::OnLayoutAdjusted(RECT*, RECT*, RECT*, RECT*, RECT*, RECT*, RECT*) {}
void CGridCore::OnSheetTabClicked(int) {}

COLORREF CGridCore::GetBackgroundColor(int part) {
  return ::GetSysColor(part == kPartCells ? COLOR_WINDOW : COLOR_BTNFACE);
}

void CGridCore::DrawCurrentCellFrame(HDC dc, const RECT* rect) {
  RECT r = *rect;
  r.right -= 1;
  r.bottom -= 1;
  ::DrawFocusRect(dc, &r);
}

void CGridCore::OnPartFocusLost(int) {}
int CGridCore::OnCanDragColumn(int) { return 1; }
int CGridCore::OnColumnDropped(int, int) { return 1; }
void CGridCore::OnMovePopupWindow(RECT*, RECT*) {}
