#include "grid/parts/side_heading.h"

#include <algorithm>
#include <cstdlib>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_painter.h"

bool CGridSideHeading::CreateHeading(HWND grid) {
  return CreatePart("AlmacoraGridSideHeading", WS_CHILD | WS_VISIBLE, 0, grid, CGridCore::kSideHeadingId);
}

LRESULT CGridSideHeading::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_ERASEBKGND: return 1;   // the paint covers every pixel
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_UPDATE) grid_->OnEditorTextChanged(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), pt); return 0;
    case WM_LBUTTONDOWN: OnButtonDown(pt); return 0;
    case WM_LBUTTONUP: OnButtonUp(pt); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(pt); return 0;
    case WM_RBUTTONDOWN: OnRightButton(true, pt); return 0;
    case WM_RBUTTONUP: OnRightButton(false, pt); return 0;
    case WM_SETCURSOR: {
      const CGridSheetInfo& s = grid_->Sheet();
      ::SetCursor(armed_ == kRow ? s.sizeNSCursor : armed_ == kHeadingCol ? s.sizeWECursor : s.arrowCursor);
      return TRUE;
    }
    default: return CGridPartWindow::WindowProc(message, wParam, lParam);
  }
}

void CGridSideHeading::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  grid_->OnPrepareDC(dc, nullptr, 3);
  const RECT used = PaintCells(*grid_, dc, 0, 0, client, ps.rcPaint, CGridCore::kPartSideHeading);
  CGridCell heading;
  grid_->GetHeadingDefaultCell(&heading);
  FillBackground(dc, RECT{used.right, client.top, client.right, client.bottom}, heading.GetBackColor());
  FillBackground(dc, RECT{client.left, used.bottom, used.right, client.bottom}, heading.GetBackColor());
}

bool CGridSideHeading::HitTest(POINT pt, int* col, int* row, RECT* rect) const {
  const CGridSheetInfo& s = grid_->Sheet();
  if (pt.x < 0 || pt.y < 0) return false;
  int y = 0, r = -1, top = 0;
  for (int i = 0; i < s.rowCount; ++i) {
    if (i == s.frozenRows && s.firstVisibleRow > i) i = s.firstVisibleRow;
    if (i >= s.rowCount) break;
    const int h = s.RowHeight(i);
    if (pt.y < y + h) {
      r = i;
      top = y;
      break;
    }
    y += h;
    if (y > s.cellAreaHeight) break;
  }
  if (r < 0) return false;
  int x = 0;
  for (int c = -s.HeadingCols(); c <= -1; ++c) {
    const int w = grid_->GetHeadingColumnWidth(c);
    if (pt.x < x + w) {
      if (col) *col = c;
      if (row) *row = r;
      if (rect) *rect = RECT{x, top, x + w, top + s.RowHeight(r)};
      return true;
    }
    x += w;
  }
  return false;
}

void CGridSideHeading::FindEdge(POINT pt) {
  const CGridSheetInfo& s = grid_->Sheet();
  armed_ = kNone;
  if (s.headingResizeOption <= 0) return;
  int bottom = 0, n = 0;
  for (int i = 0; i < s.rowCount; ++i) {
    if (i == s.frozenRows && s.firstVisibleRow > i) i = s.firstVisibleRow;
    if (i >= s.rowCount) break;
    bottom += s.RowHeight(i);
    ++n;
    if (std::abs(pt.y - bottom) <= 3) {
      if (grid_->OnCanResizeRow(i)) {
        armed_ = kRow;
        resizeIndex_ = i;
        rowsAbove_ = n;
      }
      return;
    }
    if (bottom > s.cellAreaHeight + 3) break;
  }
  int right = s.sideHeadingWidth;
  for (int c = -1; c >= -s.HeadingCols(); --c) {
    if (std::abs(pt.x - right) <= 3) {
      if (grid_->OnCanResizeSideHeading()) {
        armed_ = kHeadingCol;
        resizeIndex_ = c;
      }
      return;
    }
    right -= grid_->GetHeadingColumnWidth(c);
  }
}

void CGridSideHeading::OnMouseMove(UINT keys, POINT pt) {
  const CGridSheetInfo& s = grid_->Sheet();
  if (resizing_ && armed_ == kRow) {
    int height = s.uniformRows ? std::max<int>(1, pt.y) / std::max(1, rowsAbove_)
                               : std::max<int>(0, startSize_ + pt.y - startPos_);
    grid_->OnRowResizing(resizeIndex_, &height);
    grid_->SetRowHeight(resizeIndex_, height);
    return;
  }
  if (resizing_ && armed_ == kHeadingCol) {
    int width = std::max<int>(0, startSize_ + pt.x - startPos_);
    grid_->OnSideHeadingResizing(&width);
    grid_->SetSideHeadingWidth(width);
    return;
  }
  if (!(keys & MK_LBUTTON)) FindEdge(pt);
}

void CGridSideHeading::OnButtonDown(POINT pt) {
  grid_->HideEditor();
  HWND h = GetSafeHwnd();
  FindEdge(pt);
  if (armed_ != kNone) {
    resizing_ = true;
    ::SetCapture(h);
    ::SetFocus(grid_->GetPartWindow(CGridCore::kCellAreaId));
    startSize_ = armed_ == kRow ? grid_->GetRowHeight(resizeIndex_) : grid_->GetSideHeadingWidth();
    startPos_ = armed_ == kRow ? pt.y : pt.x;
    return;
  }
  int col, row;
  RECT rect;
  if (!HitTest(pt, &col, &row, &rect)) return;
  CGridCell cell;
  grid_->GetCell(col, row, &cell);
  const int processed = grid_->GetCellType(cell.GetCellType())->OnLeftClick(col, row, 1, &rect, pt);
  grid_->OnSideHeadingLeftClick(col, row, 1, &rect, pt, processed);
  clicked_ = true;
  ::SetCapture(h);
}

void CGridSideHeading::OnButtonUp(POINT pt) {
  if (resizing_) {
    resizing_ = false;
    if (armed_ == kRow) {
      int height = grid_->GetRowHeight(resizeIndex_);
      const int before = height;
      grid_->OnRowResized(resizeIndex_, &height);
      if (height != before) grid_->SetRowHeight(resizeIndex_, height);
    } else {
      int width = grid_->GetSideHeadingWidth();
      grid_->OnSideHeadingResized(&width);
    }
    grid_->AdjustLayout();
    grid_->RedrawAll();
  } else if (clicked_) {
    int col, row;
    RECT rect;
    if (HitTest(pt, &col, &row, &rect)) {
      CGridCell cell;
      grid_->GetCell(col, row, &cell);
      const int processed = grid_->GetCellType(cell.GetCellType())->OnLeftClick(col, row, 0, &rect, pt);
      grid_->OnSideHeadingLeftClick(col, row, 0, &rect, pt, processed);
    }
  }
  clicked_ = false;
  armed_ = kNone;
  if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
}

void CGridSideHeading::OnDoubleClick(POINT pt) {
  int col, row;
  RECT rect;
  if (HitTest(pt, &col, &row, &rect)) grid_->OnSideHeadingDoubleClick(col, row, &rect, pt, 0);
}

void CGridSideHeading::OnRightButton(bool down, POINT pt) {
  int col, row;
  RECT rect;
  if (!HitTest(pt, &col, &row, &rect)) return;
  CGridCell cell;
  grid_->GetCell(col, row, &cell);
  const int processed = grid_->GetCellType(cell.GetCellType())->OnRightClick(col, row, down ? 1 : 0, &rect, pt);
  grid_->OnSideHeadingRightClick(col, row, down ? 1 : 0, &rect, pt, processed);
  if (down && grid_->Sheet().popupMenuOption) {
    POINT screen = pt;
    ::ClientToScreen(GetSafeHwnd(), &screen);
    grid_->ShowPopupMenu(col, row, screen, CGridCore::kPartSideHeading);
  }
}
