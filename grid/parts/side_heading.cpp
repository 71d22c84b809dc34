#include "grid/parts/side_heading.h"

#include <algorithm>
#include <cstdlib>

#include "grid/core/grid_core.h"

bool CGridSideHeading::CreateHeading(HWND grid) {
  return CreatePart("AlmacoraGridSideHeading", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, grid, CGridCore::kSideHeadingId);
}

int CGridSideHeading::Part() const { return CGridCore::kPartSideHeading; }

HCURSOR CGridSideHeading::ArmedCursor() const {
  const CGridSheetInfo& s = grid_->Sheet();
  return armed_ == kRow ? s.sizeNSCursor : armed_ == kHeadingCol ? s.sizeWECursor : s.arrowCursor;
}

void CGridSideHeading::NotifyLeftClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) {
  grid_->OnSideHeadingLeftClick(col, row, updn, rect, pt, processed);
}

void CGridSideHeading::NotifyRightClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) {
  grid_->OnSideHeadingRightClick(col, row, updn, rect, pt, processed);
}

void CGridSideHeading::InvalidateRow(int row) {
  RECT cell, client;
  if (row < 0 || grid_->GetCellRect(0, row, &cell) != 0) return;
  ::GetClientRect(GetSafeHwnd(), &client);
  const RECT band{0, cell.top, client.right, cell.bottom};
  Invalidate(&band);
}

void CGridSideHeading::Update() {
  HWND h = GetSafeHwnd();
  if (!h) return;
  const CGridSheetInfo& s = grid_->Sheet();
  RECT client, pending;
  ::GetClientRect(h, &client);
  if (shownFirstRow_ != s.firstVisibleRow) {
    long long sum = 0;
    const int a = std::min(shownFirstRow_, s.firstVisibleRow), z = std::max(shownFirstRow_, s.firstVisibleRow);
    for (int r = a; r < z && sum <= client.bottom; ++r) sum += s.RowHeight(r);
    if (shownFirstRow_ < 0 || sum > client.bottom || !::IsWindowVisible(h) || ::GetUpdateRect(h, &pending, FALSE)) {
      Invalidate();
    } else {
      const int dy = static_cast<int>(shownFirstRow_ < s.firstVisibleRow ? -sum : sum);
      RECT scroll = client;
      scroll.top = s.frozenHeight;
      HDC dc = ::GetDC(h);
      HRGN uncovered = ::CreateRectRgn(0, 0, 0, 0);
      ::ScrollDC(dc, 0, dy, &scroll, &scroll, uncovered, nullptr);
      ::ReleaseDC(h, dc);
      ::InvalidateRgn(h, uncovered, FALSE);
      ::DeleteObject(uncovered);
    }
    shownFirstRow_ = s.firstVisibleRow;
  }
  if (shownCurRow_ != s.currentRow) {
    InvalidateRow(shownCurRow_);
    InvalidateRow(s.currentRow);
    shownCurRow_ = s.currentRow;
  }
}

void CGridSideHeading::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  const CGridSheetInfo& s = grid_->Sheet();
  // Rows moved without an update: a partial paint would leave the rest
  // stale, so all of it follows.
  if (shownFirstRow_ >= 0 && shownFirstRow_ != s.firstVisibleRow) Invalidate();
  shownFirstRow_ = s.firstVisibleRow;
  shownCurRow_ = s.currentRow;
  PaintHeading(dc, ps);
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
    // Only the dragged heading column changes; the heading grows or
    // shrinks by as much.
    int width = std::max<int>(startSize_ - startColSize_, startSize_ + pt.x - startPos_);
    grid_->OnSideHeadingResizing(&width);
    grid_->SetHeadingColumnWidth(resizeIndex_, std::max(0, startColSize_ + width - startSize_));
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
    startColSize_ = armed_ == kHeadingCol ? grid_->GetHeadingColumnWidth(resizeIndex_) : 0;
    startPos_ = armed_ == kRow ? pt.y : pt.x;
    return;
  }
  int col, row;
  RECT rect;
  if (!HitTest(pt, &col, &row, &rect)) return;
  ReportLeftClick(col, row, 1, &rect, pt);
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
    ReportLeftClickAt(pt, 0);
  }
  clicked_ = false;
  armed_ = kNone;
  if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
}

void CGridSideHeading::OnDoubleClick(POINT pt) {
  int col, row;
  RECT rect;
  if (!HitTest(pt, &col, &row, &rect)) return;
  grid_->OnSideHeadingDoubleClick(col, row, &rect, pt, TypeDoubleClick(col, row, &rect, pt));
}
