// Moving the cursor, scrolling, and the change notification that follows
// every move; the selection operations of the grid.
#include "grid/core/grid_core.h"

#include <algorithm>

#include "grid/parts/cell_area.h"

bool CGridCore::MouseSelecting() const { return sheet_->inputKind != CGridSheetInfo::kInputKeyboard; }

void CGridCore::SyncCurrentToAnchor() {
  if (MouseSelecting() || ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0) return;
  int col, row;
  if (sheet_->selection.GetAnchor(&col, &row) != 0) return;
  if (sheet_->selection.GetMode() & CGridSelection::kWholeRows) col = sheet_->currentCol;
  sheet_->currentCol = col;
  sheet_->currentRow = row;
}

int CGridCore::AdjustTargetRow(int target) {
  CGridSheetInfo* s = sheet_;
  if (target >= s->rowCount) {
    void* param = nullptr;
    s->currentSource->OnRowsRequested(s->rowCount, target - s->rowCount + 1, &param);
    OnRowsRequested(s->rowCount, target - s->rowCount + 1, param);
    s = sheet_;
    if (s->rowCount == s->cursorRow + 1) return -1;
    if (target >= s->rowCount) target = s->rowCount - 1;
  }
  if (target < 0) target = 0;
  if (target >= s->rowCount) return -1;
  int oc, orow, nc, nr;
  if (s->joinOption && s->cursorCol >= 0 && GetJoinBlock(s->cursorCol, target, &oc, &orow, &nc, &nr)) {
    const int last = orow + nr - 1;
    if (MouseSelecting()) {
      target = orow;
    } else if (target > s->cursorRow) {
      if (s->cursorRow >= orow && s->cursorRow <= last) {
        if (last + 1 < s->rowCount) target = last + 1;
      } else {
        target = orow;
      }
    } else if (s->cursorRow >= orow && s->cursorRow <= last) {
      if (orow - 1 > 0) target = orow - 1;
    }
  }
  return target;
}

int CGridCore::AdjustTargetColumn(int target) {
  CGridSheetInfo* s = sheet_;
  const int count = s->ColumnCount();
  if (target >= count) {
    if (count == s->cursorCol + 1) return -1;
    target = count - 1;
  }
  if (target < 0) target = 0;
  if (target >= count) return -1;
  int oc, orow, nc, nr;
  if (s->joinOption && s->cursorRow >= 0 && GetJoinBlock(target, s->cursorRow, &oc, &orow, &nc, &nr)) {
    const int last = oc + nc - 1;
    if (MouseSelecting()) {
      target = oc;
    } else if (target > s->cursorCol) {
      if (s->cursorCol >= oc && s->cursorCol <= last) {
        if (last + 1 < count) target = last + 1;
      } else {
        target = oc;
      }
    } else if (s->cursorCol >= oc && s->cursorCol <= last) {
      if (oc - 1 > 0) target = oc - 1;
    }
  }
  return target;
}

int CGridCore::MoveToRow(int row) {
  SyncCurrentToAnchor();
  CGridSheetInfo* s = sheet_;
  if (row == s->cursorRow) return 0;
  const int target = AdjustTargetRow(row);
  if (target < 0) return 1;
  if (target == s->cursorRow) return 0;
  if (!OnCanMoveCurrentCell(s->cursorCol, s->cursorRow, s->cursorCol, target)) return 2;
  s->cursorRow = target;
  KeepCursorVisible();
  NotifyChange();
  return 0;
}

int CGridCore::MoveToColumn(int col) {
  SyncCurrentToAnchor();
  CGridSheetInfo* s = sheet_;
  if (col == s->cursorCol) return 0;
  const int target = AdjustTargetColumn(col);
  if (target < 0) return 1;
  if (target == s->cursorCol) return 0;
  if (s->currentSource->OnCanMoveCurrentCell(s->cursorCol, s->cursorRow, target, s->cursorRow) != 1) return 2;
  if (!OnCanMoveCurrentCell(s->cursorCol, s->cursorRow, target, s->cursorRow)) return 2;
  s->cursorCol = target;
  KeepCursorVisible();
  NotifyChange();
  return 0;
}

int CGridCore::MoveToCell(int col, int row) {
  CGridSheetInfo* s = sheet_;
  if (col == s->cursorCol && row == s->cursorRow) return 0;
  const int targetRow = row == s->cursorRow ? row : AdjustTargetRow(row);
  if (targetRow < 0) return 1;
  const int targetCol = col == s->cursorCol ? col : AdjustTargetColumn(col);
  if (targetCol < 0) return 1;
  if (targetCol == s->cursorCol && targetRow == s->cursorRow) return 0;
  if (s->currentSource->OnCanMoveCurrentCell(s->currentCol, s->currentRow, targetCol, targetRow) != 1) return 2;
  if (!OnCanMoveCurrentCell(s->cursorCol, s->cursorRow, targetCol, targetRow)) return 2;
  s->cursorCol = targetCol;
  s->cursorRow = targetRow;
  KeepCursorVisible();
  NotifyChange();
  return 0;
}

void CGridCore::KeepCursorVisible() {
  CGridSheetInfo* s = sheet_;
  if (s->cursorRow >= s->frozenRows && s->cursorRow >= 0) {
    if (s->cursorRow < s->firstVisibleRow) {
      s->firstVisibleRow = std::max(s->cursorRow, s->frozenRows);
    } else {
      const int room = s->cellAreaHeight - s->frozenHeight;
      int used = 0, first = s->cursorRow;
      for (int r = s->cursorRow; r >= s->frozenRows; --r) {
        used += s->RowHeight(r);
        if (used > room) break;
        first = r;
      }
      if (first > s->firstVisibleRow) s->firstVisibleRow = first;
    }
  }
  if (s->cursorCol >= s->frozenCols && s->cursorCol >= 0) {
    if (s->cursorCol < s->firstVisibleCol) {
      s->firstVisibleCol = std::max(s->cursorCol, s->frozenCols);
    } else {
      const int room = s->cellAreaWidth - s->frozenWidth;
      int used = 0, first = s->cursorCol;
      for (int c = s->cursorCol; c >= s->frozenCols; --c) {
        used += s->ColumnWidth(c);
        if (used > room) break;
        first = c;
      }
      if (first > s->firstVisibleCol) s->firstVisibleCol = first;
    }
  }
}

void CGridCore::NotifyChange() {
  CGridSheetInfo* s = sheet_;
  CGridSelection& sel = s->selection;
  const int multi = sel.GetMode() & (CGridSelection::kCells | CGridSelection::kWholeRows);
  if (!multi || editing_) {
    s->currentCol = s->cursorCol;
    s->currentRow = s->cursorRow;
  } else {
    switch (s->inputKind) {
      case CGridSheetInfo::kInputLeft: sel.LeftButtonTo(s->cursorCol, s->cursorRow, s->inputKeyFlags); break;
      case CGridSheetInfo::kInputRight: sel.RightButtonTo(s->cursorCol, s->cursorRow); break;
      case CGridSheetInfo::kInputDrag: sel.DragTo(s->cursorCol, s->cursorRow); break;
      default: sel.KeyMoveTo(s->cursorCol, s->cursorRow); break;
    }
    int col = s->cursorCol, row = s->cursorRow;
    if (sel.GetAnchor(&col, &row) == 0 && (sel.GetMode() & CGridSelection::kWholeRows)) col = s->cursorCol;
    s->currentCol = col;
    s->currentRow = row;
  }
  const int oldCol = s->prevCurrentCol, oldRow = s->prevCurrentRow;
  const bool colChanged = s->currentCol != oldCol, rowChanged = s->currentRow != oldRow;
  CGridDataSource* ds = s->currentSource;
  if (colChanged) {
    ds->OnCurrentColumnChanged(oldCol, s->currentCol);
    OnCurrentColumnChanged(oldCol, s->currentCol);
  }
  if (rowChanged) {
    ds->OnCurrentRowChanged(oldRow, s->currentRow);
    OnCurrentRowChanged(oldRow, s->currentRow);
  }
  if (colChanged || rowChanged) OnCurrentCellChanged(oldCol, s->currentCol, oldRow, s->currentRow);
  if (s->firstVisibleCol != s->prevFirstVisibleCol) OnFirstVisibleColumnChanged(s->prevFirstVisibleCol, s->firstVisibleCol);
  if (s->firstVisibleRow != s->prevFirstVisibleRow) OnFirstVisibleRowChanged(s->prevFirstVisibleRow, s->firstVisibleRow);

  PlacePopupWindow();
  if (colChanged || rowChanged) {
    CGridCell cell;
    if (oldCol >= 0 && oldRow >= 0) {
      GetCell(oldCol, oldRow, &cell);
      GetCellType(cell.GetCellType())->OnLeaveCell(oldCol, oldRow, cell);
    }
    if (s->currentCol >= 0 && s->currentRow >= 0) {
      GetCell(s->currentCol, s->currentRow, &cell);
      GetCellType(cell.GetCellType())->OnEnterCell(s->currentCol, s->currentRow, cell);
    }
  }
  UpdateParts();
  s->prevFirstVisibleCol = s->firstVisibleCol;
  s->prevFirstVisibleRow = s->firstVisibleRow;
  s->prevCurrentCol = s->currentCol;
  s->prevCurrentRow = s->currentRow;
}

int CGridCore::SetFirstVisibleRow(int row) {
  CGridSheetInfo* s = sheet_;
  row = std::min(row, s->lastFirstVisibleRow);
  row = std::max(row, s->frozenRows);
  if (row == s->firstVisibleRow) return 0;
  if (!OnCanScroll(s->firstVisibleCol, s->firstVisibleRow, s->firstVisibleCol, row)) return 2;
  s->firstVisibleRow = row;
  NotifyChange();
  return 0;
}

int CGridCore::SetFirstVisibleColumn(int col) {
  CGridSheetInfo* s = sheet_;
  col = std::min(col, s->lastFirstVisibleCol);
  col = std::max(col, s->frozenCols);
  if (col == s->firstVisibleCol) return 0;
  if (!OnCanScroll(s->firstVisibleCol, s->firstVisibleRow, col, s->firstVisibleRow)) return 2;
  s->firstVisibleCol = col;
  NotifyChange();
  return 0;
}

// A page move walks from the start towards the end (or the beginning),
// taking each visited row's height off the page, and stops one beyond the
// row that made the remainder negative.
int CGridCore::PageTarget(int from, int how, bool rows) const {
  const CGridSheetInfo* s = sheet_;
  int remaining = rows ? s->cellAreaHeight - s->frozenHeight : s->cellAreaWidth - s->frozenWidth;
  const int step = how == kPageForward ? 1 : -1;
  int i = from;
  for (int guard = 0; guard < 1000000; ++guard, i += step) {
    const int size = rows ? s->WalkRowHeight(i) : s->WalkColumnWidth(i);
    remaining -= size > 0 ? size : 0;
    if (remaining < 0) return i + step;
  }
  return i;
}

int CGridCore::MoveRows(int how) {
  const CGridSheetInfo* s = sheet_;
  switch (how) {
    case kPrev: return MoveToRow(s->cursorRow - 1);
    case kNext: return MoveToRow(s->cursorRow + 1);
    case kPageBack:
    case kPageForward: return MoveToRow(PageTarget(s->cursorRow, how, true));
    case kFirst: return MoveToRow(0);
    case kLast: return MoveToRow(s->rowCount - 1);
    default: return 0;
  }
}

int CGridCore::MoveColumns(int how) {
  const CGridSheetInfo* s = sheet_;
  switch (how) {
    case kPrev: return MoveToColumn(s->cursorCol - 1);
    case kNext: return MoveToColumn(s->cursorCol + 1);
    case kPageBack:
    case kPageForward: return MoveToColumn(PageTarget(s->cursorCol, how, false));
    case kFirst: return MoveToColumn(0);
    case kLast: return MoveToColumn(s->ColumnCount() - 1);
    default: return 0;
  }
}

int CGridCore::ScrollRows(int how) {
  const CGridSheetInfo* s = sheet_;
  switch (how) {
    case kPrev: return SetFirstVisibleRow(s->firstVisibleRow - 1);
    case kNext: return SetFirstVisibleRow(s->firstVisibleRow + 1);
    case kPageBack:
    case kPageForward: return SetFirstVisibleRow(PageTarget(s->firstVisibleRow, how, true));
    case kFirst: return SetFirstVisibleRow(0);
    case kLast: return SetFirstVisibleRow(s->rowCount - 1);
    default: return 0;
  }
}

int CGridCore::ScrollColumns(int how) {
  const CGridSheetInfo* s = sheet_;
  switch (how) {
    case kPrev: return SetFirstVisibleColumn(s->firstVisibleCol - 1);
    case kNext: return SetFirstVisibleColumn(s->firstVisibleCol + 1);
    case kPageBack:
    case kPageForward: return SetFirstVisibleColumn(PageTarget(s->firstVisibleCol, how, false));
    case kFirst: return SetFirstVisibleColumn(0);
    case kLast: return SetFirstVisibleColumn(s->ColumnCount() - 1);
    default: return 0;
  }
}

int CGridCore::ClearSelection() {
  sheet_->selection.Clear();
  sheet_->cursorCol = sheet_->currentCol;
  sheet_->cursorRow = sheet_->currentRow;
  return 0;
}

int CGridCore::SelectCell(int col, int row) {
  if (sheet_->selection.GetMode() & (CGridSelection::kCells | CGridSelection::kWholeRows)) {
    sheet_->selection.AddRange(col, row);
    RedrawCell(col, row);
  }
  return 0;
}

int CGridCore::IsCellSelected(int col, int row, int* rangeIndex) {
  return sheet_->selection.HitTest(col, row, rangeIndex);
}

int CGridCore::SelectWholeRows(int flag) {
  sheet_->wholeRowSelection = flag != 0;
  const int mode = sheet_->selection.GetMode();
  sheet_->selection.SetMode(flag ? ((mode | CGridSelection::kWholeRows) & ~CGridSelection::kCells)
                                 : ((mode | CGridSelection::kCells) & ~CGridSelection::kWholeRows));
  RedrawAll();
  return 0;
}

int CGridCore::EnableMultiSelect(int flag) {
  const bool wholeRows = sheet_->wholeRowSelection;
  sheet_->selection.SetMode(!flag ? 0 : (wholeRows ? CGridSelection::kWholeRows : CGridSelection::kCells));
  RedrawAll();
  return 0;
}

int CGridCore::SetPopupWindow(HWND window, int placementMode) {
  if (window && !::IsWindow(window)) return 1;
  popupWindow_ = window;
  sheet_->popupPlacement = placementMode;
  PlacePopupWindow();
  return 0;
}

void CGridCore::PlacePopupWindow() {
  HWND area = cellArea_->GetSafeHwnd();
  if (!popupWindow_ || !::IsWindow(popupWindow_) || !area) return;
  RECT cell;
  if (sheet_->currentCol < 0 || sheet_->currentRow < 0 || GetCellRect(sheet_->currentCol, sheet_->currentRow, &cell) != 0) {
    return;
  }
  RECT w;
  ::GetWindowRect(popupWindow_, &w);
  ::MapWindowPoints(nullptr, area, reinterpret_cast<POINT*>(&w), 2);
  const int width = w.right - w.left, height = w.bottom - w.top;
  if (sheet_->popupPlacement == 1) w = RECT{cell.right + 30, cell.top, cell.right + 30 + width, cell.top + height};
  RECT overlap;
  if (::IntersectRect(&overlap, &w, &cell)) {
    // Candidates in order: right, down, left, up; the first that stays on
    // the screen wins, else the window stays.
    // Each shift puts the window 5 pixels clear of the cell on that side.
    const POINT shifts[] = {{cell.right + 5 - w.left, 0},
                            {0, cell.bottom + 5 - w.top},
                            {cell.left - 5 - w.right, 0},
                            {0, cell.top - 5 - w.bottom}};
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
    for (const POINT& d : shifts) {
      RECT c = w;
      ::OffsetRect(&c, d.x, d.y);
      RECT onScreen = c;
      ::MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
      if (onScreen.left >= 0 && onScreen.top >= 0 && onScreen.right <= screenW && onScreen.bottom <= screenH) {
        w = c;
        break;
      }
    }
  }
  RECT screen = w;
  ::MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  OnMovePopupWindow(&screen, &w);
  HWND parent = ::GetParent(popupWindow_);
  ::MapWindowPoints(area, parent, reinterpret_cast<POINT*>(&w), 2);
  ::MoveWindow(popupWindow_, w.left, w.top, w.right - w.left, w.bottom - w.top, TRUE);
  ::UpdateWindow(popupWindow_);
}
