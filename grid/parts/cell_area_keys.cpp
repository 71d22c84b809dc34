// Keys, characters, the wheel and the focus of the cell area.
#include <algorithm>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_area.h"

void CGridCellArea::OnKeyDown(UINT key) {
  CGridSheetInfo& s = grid_->MutableSheet();
  s.inputKind = CGridSheetInfo::kInputKeyboard;
  int step = 1;
  if (s.keyRepeatDivisor >= 1) {
    if (repeatCount_ < 1000000) ++repeatCount_;
    const long long d = repeatCount_ / s.keyRepeatDivisor;
    // d cubed grows past any count on a long hold: a step never goes
    // beyond the rows or columns there are.
    const long long cap = std::max<long long>(1, std::max(s.rowCount, s.ColumnCount()));
    step = static_cast<int>(std::min(d * d * d + 1, cap));
    if (s.keyRepeatDelay > 0 && d == 0 && repeatCount_ > 1) ::Sleep(static_cast<DWORD>(s.keyRepeatDelay));
  }
  CGridCell cell;
  grid_->GetCell(s.currentCol, s.currentRow, &cell);
  const int processed = grid_->GetCellType(cell.GetCellType())->OnKeyDown(s.currentCol, s.currentRow, &key);
  grid_->OnCellAreaKeyDown(&key, processed);
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  const CGridSheetInfo& now = grid_->Sheet();
  switch (key) {
    case VK_PRIOR: grid_->MoveRows(CGridCore::kPageBack); break;
    case VK_NEXT: grid_->MoveRows(CGridCore::kPageForward); break;
    case VK_HOME: ctrl ? grid_->MoveRows(CGridCore::kFirst) : grid_->MoveColumns(CGridCore::kFirst); break;
    case VK_END: ctrl ? grid_->MoveRows(CGridCore::kLast) : grid_->MoveColumns(CGridCore::kLast); break;
    case VK_LEFT: grid_->MoveToColumn(now.cursorCol - step); break;
    case VK_RIGHT: grid_->MoveToColumn(now.cursorCol + step); break;
    case VK_UP: grid_->MoveToRow(now.cursorRow - step); break;
    case VK_DOWN: grid_->MoveToRow(now.cursorRow + step); break;
    default: break;
  }
}

void CGridCellArea::OnChar(UINT ch) {
  const CGridSheetInfo& s = grid_->Sheet();
  CGridCell cell;
  grid_->GetCell(s.currentCol, s.currentRow, &cell);
  const int processed = grid_->GetCellType(cell.GetCellType())->OnCharTyped(s.currentCol, s.currentRow, &ch);
  grid_->OnCellAreaChar(&ch, processed);
}

void CGridCellArea::OnWheel(int delta) {
  // Fine wheels send parts of a notch: the remainder waits for the rest.
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / WHEEL_DELTA;
  wheelRemainder_ -= notches * WHEEL_DELTA;
  if (notches != 0) grid_->SetFirstVisibleRow(grid_->GetFirstVisibleRow() - notches * 3);
}

// Arrows and characters always; Tab, Escape and Enter only where they act
// in the grid, so that a dialog hosting the grid keeps them otherwise.
LRESULT CGridCellArea::OnGetDlgCode(WPARAM, LPARAM lParam) {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
    const UINT key = static_cast<UINT>(msg->wParam);
    const bool busy = grid_->IsEditing() || grid_->IsDropListOpen();
    if ((key == VK_TAB || key == VK_ESCAPE) && busy) code |= DLGC_WANTALLKEYS;
    if (key == VK_RETURN && (busy || grid_->CurrentCellWantsKey(VK_RETURN))) code |= DLGC_WANTALLKEYS;
  }
  return code;
}

void CGridCellArea::OnFocus(bool gained) {
  const CGridSheetInfo& s = grid_->Sheet();
  if (gained) {
    capturedByType_ = false;
    repeatCount_ = 0;
    hasFocus_ = true;
    grid_->OnPartFocused(CGridCore::kPartCells);
    if (s.currentCol >= 0 && s.currentRow >= 0) RedrawCell(s.currentCol, s.currentRow);
  } else {
    hasFocus_ = false;
    if (s.currentCol >= 0 && s.currentRow >= 0) RedrawCell(s.currentCol, s.currentRow);
    grid_->OnPartFocusLost(CGridCore::kPartCells);
  }
}
