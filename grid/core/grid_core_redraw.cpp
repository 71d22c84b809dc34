// Repainting requests and the pop-up menu. Repaints invalidate the parts
// concerned; the parts paint on WM_PAINT.
#include "grid/core/grid_core.h"

#include "grid/parts/cell_area.h"
#include "grid/parts/corner_button.h"
#include "grid/parts/h_scroll_bar.h"
#include "grid/parts/v_scroll_bar.h"
#include "grid/parts/sheet_tabs.h"
#include "grid/parts/side_heading.h"
#include "grid/parts/top_heading.h"

int CGridCore::EnableRedraw(int flag) {
  redraw_ = flag ? 1 : 0;
  return 0;
}

int CGridCore::RedrawAll() {
  if (!redraw_) return 0;
  cellArea_->RedrawAll();
  sideHeading_->Invalidate();
  corner_->Invalidate();
  vScroll_->Update();
  hScroll_->Update();
  tabs_->Invalidate();
  topHeading_->Invalidate();
  return 0;
}

int CGridCore::RedrawCell(int col, int row) {
  if (!redraw_) return 0;
  if (col < 0) {
    sideHeading_->Invalidate();
    return 0;
  }
  if (row < 0) {
    topHeading_->Invalidate();
    return 0;
  }
  cellArea_->RedrawCell(col, row);
  return 0;
}

int CGridCore::RedrawRow(int row) {
  if (!redraw_) return 0;
  cellArea_->RedrawRow(row);
  return 0;
}

void CGridCore::RepaintCells(int left, int top, int right, int bottom) {
  if (!redraw_) return;
  cellArea_->RedrawRange(left, top, right, bottom);
}

void CGridCore::RepaintAllCells() {
  if (redraw_) cellArea_->RedrawAll();
}

// After a move: the cell area paints what changed (scrolling its contents),
// the headings follow the view, the bars the position.
void CGridCore::UpdateParts() {
  if (!redraw_) return;
  cellArea_->Update();
  if (sheet_->firstVisibleCol != sheet_->prevFirstVisibleCol) topHeading_->Invalidate();
  if (sheet_->firstVisibleRow != sheet_->prevFirstVisibleRow || sheet_->currentRow != sheet_->prevCurrentRow) {
    sideHeading_->Invalidate();
  }
  vScroll_->Update();
  hScroll_->Update();
}

int CGridCore::ShowPopupMenu(int col, int row, POINT screenPoint, int part) {
  if (!sheet_->popupMenuOption) return 1;
  int oc, orow;
  if (GetJoinBlock(col, row, &oc, &orow, nullptr, nullptr)) {
    col = oc;
    row = orow;
  }
  if (!OnCanShowPopupMenu(col, row, part)) return 2;
  popupCol_ = col;
  popupRow_ = row;
  popupPart_ = part;
  if (!::TrackPopupMenu(popupMenu_, TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, GetSafeHwnd(), nullptr)) return 3;
  return 0;
}
