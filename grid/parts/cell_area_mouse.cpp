// Mouse input of the cell area: clicks, moves and the drag loop that
// selects by dragging and scrolls when the pointer leaves the area.
#include <windows.h>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_area.h"

namespace {

int Power(int base, int exponent) {
  long long v = 1;
  for (int i = 0; i < exponent && v < 1000000; ++i) v *= base;
  return static_cast<int>(v < 1000000 ? v : 1000000);
}

}  // namespace

void CGridCellArea::OnButtonDown(bool left, UINT keys, POINT pt) {
  if (grid_->IsEditing()) return;
  HWND h = GetSafeHwnd();
  // A press takes the focus (and so closes an open drop list first).
  if (::GetFocus() != h) ::SetFocus(h);
  CGridSheetInfo& s = grid_->MutableSheet();
  if (left) {
    ::SetCapture(h);
    captureLost_ = false;
  }
  s.inputKind = left ? CGridSheetInfo::kInputLeft : CGridSheetInfo::kInputRight;
  s.inputKeyFlags = keys;
  int col = -1, row = -1;
  RECT rect{};
  int processed = 0;
  if (grid_->HitTest(pt.x, pt.y, &col, &row, &rect) == 0) {
    grid_->MoveToCell(col, row);
    CGridCell cell;
    grid_->GetCell(col, row, &cell);
    CGridCellType* type = grid_->GetCellType(cell.GetCellType());
    processed = left ? type->OnLeftClick(col, row, 1, &rect, pt) : type->OnRightClick(col, row, 1, &rect, pt);
    if (left && processed) capturedByType_ = true;
  } else {
    col = row = -1;
  }
  if (left) {
    grid_->OnCellLeftClick(col, row, 1, &rect, pt, processed);
  } else {
    grid_->OnCellRightClick(col, row, 1, &rect, pt, processed);
  }
  s.inputKind = CGridSheetInfo::kInputKeyboard;
  if (!left && s.popupMenuOption) {
    POINT screen = pt;
    ::ClientToScreen(h, &screen);
    grid_->ShowPopupMenu(col, row, screen, CGridCore::kPartCells);
  }
}

void CGridCellArea::OnButtonUp(bool left, POINT pt) {
  int col = -1, row = -1;
  RECT rect{};
  int processed = 0;
  if (grid_->HitTest(pt.x, pt.y, &col, &row, &rect) == 0) {
    CGridCell cell;
    grid_->GetCell(col, row, &cell);
    CGridCellType* type = grid_->GetCellType(cell.GetCellType());
    processed = left ? type->OnLeftClick(col, row, 0, &rect, pt) : type->OnRightClick(col, row, 0, &rect, pt);
  } else {
    col = row = -1;
  }
  if (left) {
    grid_->OnCellLeftClick(col, row, 0, &rect, pt, processed);
    capturedByType_ = false;
    if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
  } else {
    grid_->OnCellRightClick(col, row, 0, &rect, pt, processed);
  }
}

void CGridCellArea::OnDoubleClick(POINT pt) {
  int col = -1, row = -1;
  RECT rect{};
  int processed = 0;
  if (grid_->HitTest(pt.x, pt.y, &col, &row, &rect) == 0) {
    CGridCell cell;
    grid_->GetCell(col, row, &cell);
    processed = grid_->GetCellType(cell.GetCellType())->OnDoubleClick(col, row, &rect, pt);
  } else {
    col = row = -1;
  }
  grid_->OnCellDoubleClick(col, row, &rect, pt, processed);
}

void CGridCellArea::OnMouseMove(UINT keys, POINT pt) {
  if (grid_->IsEditing() || inDrag_) return;
  CGridSheetInfo& s = grid_->MutableSheet();
  if (capturedByType_) {
    CGridCell cell;
    grid_->GetCell(s.currentCol, s.currentRow, &cell);
    const int processed = grid_->GetCellType(cell.GetCellType())->OnMouseMove(s.currentCol, s.currentRow, &pt, keys);
    grid_->OnCellMouseMove(s.currentCol, s.currentRow, pt, keys, processed);
    return;
  }
  s.inputKind = CGridSheetInfo::kInputDrag;
  s.inputKeyFlags = keys;
  int col, row;
  if (grid_->HitTest(pt.x, pt.y, &col, &row, nullptr) == 0) {
    CGridCell cell;
    grid_->GetCell(col, row, &cell);
    const int processed = grid_->GetCellType(cell.GetCellType())->OnMouseMove(col, row, &pt, keys);
    grid_->OnCellMouseMove(col, row, pt, keys, processed);
  }
  HWND h = GetSafeHwnd();
  if ((keys & MK_LBUTTON) && ::GetCapture() == h) DragLoop(pt);
  // The loop dispatches messages: the window (and this object) may be gone.
  if (::IsWindow(h)) grid_->MutableSheet().inputKind = CGridSheetInfo::kInputKeyboard;
}

// Each round moves the cursor towards the pointer, then waits out the step
// delay while dispatching the thread's messages (timers, paints, keys). The
// loop ends at a queued mouse move or button-up, when the capture goes, or
// when the window goes.
void CGridCellArea::DragLoop(POINT pt) {
  HWND h = GetSafeHwnd();
  inDrag_ = true;
  captureLost_ = false;
  for (;;) {
    const CGridSheetInfo& s = grid_->Sheet();
    const int e = s.dragScrollExponent;
    const int colW = s.defaultColWidth > 0 ? s.defaultColWidth : 1;
    const int rowH = s.defaultRowHeight > 0 ? s.defaultRowHeight : 1;
    const bool outX = pt.x < 0 || pt.x > s.cellAreaWidth, outY = pt.y < 0 || pt.y > s.cellAreaHeight;
    if (pt.x < 0) {
      e > 0 ? grid_->MoveToColumn(s.cursorCol - Power(1 - pt.x / colW, e)) : grid_->MoveColumns(CGridCore::kPrev);
    } else if (pt.x > s.cellAreaWidth) {
      e > 0 ? grid_->MoveToColumn(s.cursorCol + Power((pt.x - s.cellAreaWidth) / colW + 1, e))
            : grid_->MoveColumns(CGridCore::kNext);
    }
    if (pt.y < 0) {
      e > 0 ? grid_->MoveToRow(s.cursorRow - Power(1 - pt.y / rowH, e)) : grid_->MoveRows(CGridCore::kPrev);
    } else if (pt.y > s.cellAreaHeight) {
      e > 0 ? grid_->MoveToRow(s.cursorRow + Power((pt.y - s.cellAreaHeight) / rowH + 1, e))
            : grid_->MoveRows(CGridCore::kNext);
    }
    int col, row;
    if (!outX && !outY && grid_->HitTest(pt.x, pt.y, &col, &row, nullptr) == 0) {
      if (s.frozenCols > 0 || s.frozenRows > 0) {
        if (s.cursorCol > s.frozenCols && col < s.frozenCols) {
          grid_->MoveColumns(CGridCore::kPrev);
        } else {
          grid_->MoveToColumn(col);
        }
        if (s.cursorRow > s.frozenRows && row < s.frozenRows) {
          grid_->MoveRows(CGridCore::kPrev);
        } else {
          grid_->MoveToRow(row);
        }
      } else {
        grid_->MoveToCell(col, row);
      }
    }
    // Wait out the step delay, dispatching what arrives.
    const DWORD delay = static_cast<DWORD>(s.dragScrollDelay > 0 ? s.dragScrollDelay : 0);
    if (!WaitDragStep(h, delay, &captureLost_)) break;
  }
  if (::IsWindow(h)) inDrag_ = false;
}
