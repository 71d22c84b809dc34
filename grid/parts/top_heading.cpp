#include "grid/parts/top_heading.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "grid/core/grid_core.h"

bool CGridTopHeading::CreateHeading(HWND grid) {
  return CreatePart("AlmacoraGridTopHeading", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, grid,
                    CGridCore::kTopHeadingId);
}

int CGridTopHeading::Part() const { return CGridCore::kPartTopHeading; }

HCURSOR CGridTopHeading::ArmedCursor() const {
  const CGridSheetInfo& s = grid_->Sheet();
  return armed_ == kColumn ? s.sizeWECursor : armed_ == kHeadingRow ? s.sizeNSCursor : s.arrowCursor;
}

void CGridTopHeading::NotifyLeftClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) {
  grid_->OnTopHeadingLeftClick(col, row, updn, rect, pt, processed);
}

void CGridTopHeading::NotifyRightClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) {
  grid_->OnTopHeadingRightClick(col, row, updn, rect, pt, processed);
}

void CGridTopHeading::OnPaint(HDC dc, const PAINTSTRUCT& ps) { PaintHeading(dc, ps); }

bool CGridTopHeading::HitTest(POINT pt, int* col, int* row, RECT* rect) const {
  const CGridSheetInfo& s = grid_->Sheet();
  if (pt.x < 0 || pt.y < 0) return false;
  int x = 0;
  int c = -1, left = 0;
  for (int i = 0; i < s.ColumnCount(); ++i) {
    if (i == s.frozenCols && s.firstVisibleCol > i) i = s.firstVisibleCol;
    if (i >= s.ColumnCount()) break;
    const int w = s.ColumnWidth(i);
    if (pt.x < x + w) {
      c = i;
      left = x;
      break;
    }
    x += w;
  }
  if (c < 0) return false;
  int y = 0;
  for (int r = -s.HeadingRows(); r <= -1; ++r) {
    const int h = grid_->GetHeadingRowHeight(r);
    if (pt.y < y + h) {
      if (col) *col = c;
      if (row) *row = r;
      if (rect) *rect = RECT{left, y, left + s.ColumnWidth(c), y + h};
      return true;
    }
    y += h;
  }
  return false;
}

void CGridTopHeading::FindEdge(POINT pt) {
  const CGridSheetInfo& s = grid_->Sheet();
  armed_ = kNone;
  if (s.headingResizeOption <= 0) return;
  std::vector<int> order;
  for (int i = 0; i < s.ColumnCount(); ++i) {
    if (i == s.frozenCols && s.firstVisibleCol > i) i = s.firstVisibleCol;
    if (i >= s.ColumnCount()) break;
    order.push_back(i);
  }
  int right = 0;
  for (size_t k = 0; k < order.size(); ++k) {
    right += s.ColumnWidth(order[k]);
    if (std::abs(pt.x - right) <= 3) {
      int col = order[k];
      // A hidden column right of the edge owns it, so it can be reopened.
      if (k + 1 < order.size() && s.ColumnWidth(order[k + 1]) == 0) col = order[k + 1];
      if (grid_->OnCanResizeColumn(col)) {
        armed_ = kColumn;
        resizeIndex_ = col;
        return;
      }
      break;
    }
    if (right > s.cellAreaWidth + 3) break;
  }
  int bottom = s.topHeadingHeight;
  for (int r = -1; r >= -s.HeadingRows(); --r) {
    if (std::abs(pt.y - bottom) <= 3) {
      if (grid_->OnCanResizeTopHeading()) {
        armed_ = kHeadingRow;
        resizeIndex_ = r;
      }
      return;
    }
    bottom -= grid_->GetHeadingRowHeight(r);
  }
}

void CGridTopHeading::DrawDropMarker(int position) {
  HWND area = grid_->GetPartWindow(CGridCore::kCellAreaId);
  HDC dc = ::GetDC(area);
  if (markerShown_) ::PatBlt(dc, marker_.left, marker_.top, 2, marker_.bottom - marker_.top, DSTINVERT);
  markerShown_ = false;
  if (position >= 0) {
    const CGridSheetInfo& s = grid_->Sheet();
    RECT r;
    int x = 0;
    if (position < s.ColumnCount() && grid_->GetCellRect(position, std::max(0, s.firstVisibleRow), &r) == 0) {
      x = r.left;
    } else if (position > 0 && grid_->GetCellRect(position - 1, std::max(0, s.firstVisibleRow), &r) == 0) {
      x = r.right;
    }
    marker_ = RECT{x, 0, x + 2, s.cellAreaHeight};
    ::PatBlt(dc, marker_.left, marker_.top, 2, marker_.bottom - marker_.top, DSTINVERT);
    markerShown_ = true;
  }
  ::ReleaseDC(area, dc);
}

void CGridTopHeading::DrawTrackingLine(int x) {
  HWND area = grid_->GetPartWindow(CGridCore::kCellAreaId);
  HDC dc = ::GetDC(area);
  const int height = grid_->Sheet().cellAreaHeight;
  if (trackX_ >= 0) {
    RECT old{trackX_ - 1, 0, trackX_ + 1, height};
    ::DrawFocusRect(dc, &old);
  }
  trackX_ = x;
  if (x >= 0) {
    RECT now{x - 1, 0, x + 1, height};
    ::DrawFocusRect(dc, &now);
  }
  ::ReleaseDC(area, dc);
}

void CGridTopHeading::OnMouseMove(UINT keys, POINT pt) {
  CGridSheetInfo& s = grid_->MutableSheet();
  if (resizing_ && armed_ == kColumn) {
    int width = std::max<int>(0, startSize_ + pt.x - startPos_);
    grid_->OnColumnResizing(resizeIndex_, &width);
    if (s.headingResizeOption == 1) {
      // The outermost heading row takes up what the other rows leave of
      // the heading, so the heading shows no gap or overlap while it follows.
      const int rows = s.HeadingRows();
      if (rows > 0) {
        int others = 0;
        for (int r = -rows + 1; r <= -1; ++r) others += grid_->GetHeadingRowHeight(r);
        s.headingRowHeights[static_cast<size_t>(rows - 1)] = std::max(0, s.topHeadingHeight - others);
      }
      // Only the heading follows at once; the cells when the button is up.
      s.columns[static_cast<size_t>(resizeIndex_)].width = width;
      s.RecomputeFrozen();
      Invalidate();
      ::UpdateWindow(GetSafeHwnd());
      RECT r;
      if (grid_->GetCellRect(resizeIndex_, std::max(0, s.firstVisibleRow), &r) == 0) DrawTrackingLine(r.left + width);
    } else {
      grid_->SetColumnWidth(resizeIndex_, width);
    }
    return;
  }
  if (resizing_ && armed_ == kHeadingRow) {
    grid_->SetHeadingRowHeight(resizeIndex_, std::max<int>(0, startSize_ + pt.y - startPos_));
    int total = std::max<int>(0, startTotal_ + pt.y - startPos_);
    grid_->OnTopHeadingResizing(&total);
    grid_->SetTopHeadingHeight(total);
    return;
  }
  if (dragCol_ >= 0 && (keys & MK_LBUTTON)) {
    // Outside the area the view scrolls a column per round until the
    // mouse moves again or the button comes up.
    HWND h = GetSafeHwnd();
    while ((pt.x < 0 || pt.x > s.cellAreaWidth) && ::GetCapture() == h) {
      const int first = grid_->GetFirstVisibleColumn();
      grid_->ScrollColumns(pt.x < 0 ? CGridCore::kPrev : CGridCore::kNext);
      if (!WaitDragStep(h, static_cast<DWORD>(std::max(0, s.dragScrollDelay)), nullptr)) return;
      if (grid_->GetFirstVisibleColumn() == first) break;
    }
    int col, row;
    RECT rect;
    if (HitTest(POINT{pt.x, 0}, &col, &row, &rect)) {
      int pos = pt.x >= (rect.left + rect.right) / 2 ? col + 1 : col;
      pos = std::min(pos, s.ColumnCount());
      if (col == dragCol_) {
        dropPos_ = -1;
        DrawDropMarker(-1);
      } else if (pos != dropPos_ || !markerShown_) {
        dropPos_ = pos;
        DrawDropMarker(pos);
      }
    }
    return;
  }
  if (!(keys & MK_LBUTTON)) FindEdge(pt);
}

void CGridTopHeading::OnButtonDown(POINT pt) {
  grid_->HideEditor();
  const CGridSheetInfo& s = grid_->Sheet();
  HWND h = GetSafeHwnd();
  FindEdge(pt);
  if (armed_ == kColumn || armed_ == kHeadingRow) {
    resizing_ = true;
    ::SetCapture(h);
    ::SetFocus(grid_->GetPartWindow(CGridCore::kCellAreaId));
    if (armed_ == kColumn) {
      startSize_ = s.ColumnWidth(resizeIndex_);
      startPos_ = pt.x;
    } else {
      startSize_ = grid_->GetHeadingRowHeight(resizeIndex_);
      startTotal_ = s.topHeadingHeight;
      startPos_ = pt.y;
    }
    return;
  }
  int col, row;
  RECT rect;
  if (!HitTest(pt, &col, &row, &rect)) return;
  if (s.columnMoveOption && grid_->OnCanDragColumn(col)) {
    dragCol_ = col;
    dropPos_ = -1;
  }
  ReportLeftClick(col, row, 1, &rect, pt);
  clicked_ = true;
  ::SetCapture(h);
}

void CGridTopHeading::OnButtonUp(POINT pt) {
  if (resizing_) {
    resizing_ = false;
    if (armed_ == kColumn) {
      DrawTrackingLine(-1);
      int width = grid_->ColumnWidth(resizeIndex_);
      grid_->OnColumnResized(resizeIndex_, &width);
      grid_->SetColumnWidth(resizeIndex_, width);
    } else {
      int height = grid_->GetTopHeadingHeight();
      grid_->OnTopHeadingResized(&height);
    }
    grid_->AdjustLayout();
    grid_->RedrawAll();
  } else if (clicked_) {
    ReportLeftClickAt(pt, 0);
  }
  if (dragCol_ >= 0) {
    DrawDropMarker(-1);
    if (dropPos_ >= 0) {
      const int target = dropPos_ > dragCol_ ? dropPos_ - 1 : dropPos_;
      if (grid_->OnColumnDropped(dragCol_, target)) grid_->MoveColumn(dragCol_, dropPos_, 1);
      grid_->RedrawAll();
    }
  }
  dragCol_ = dropPos_ = -1;
  clicked_ = false;
  armed_ = kNone;
  if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
}

void CGridTopHeading::OnDoubleClick(POINT pt) {
  FindEdge(pt);
  if (armed_ == kColumn && grid_->Sheet().autoSizeOption) {
    grid_->AutoSizeColumns(resizeIndex_, resizeIndex_, 20, 1);
    return;
  }
  int col, row;
  RECT rect;
  if (!HitTest(pt, &col, &row, &rect)) return;
  grid_->OnTopHeadingDoubleClick(col, row, &rect, pt, TypeDoubleClick(col, row, &rect, pt));
}
