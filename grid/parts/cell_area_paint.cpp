// Painting of the cell area: the hinted cells, directly or through the
// off-screen bitmap, then the current cell's frame.
#include <algorithm>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_area.h"
#include "grid/parts/cell_painter.h"

bool CGridCellArea::MakeBitmap() {
  HWND h = GetSafeHwnd();
  if (!h) return false;
  RECT client;
  ::GetClientRect(h, &client);
  const int w = std::max<int>(1, client.right), ht = std::max<int>(1, client.bottom);
  HDC dc = ::GetDC(h);
  bitmap_ = ::CreateCompatibleBitmap(dc, w, ht);
  memDc_ = bitmap_ ? ::CreateCompatibleDC(dc) : nullptr;
  ::ReleaseDC(h, dc);
  if (!bitmap_ || !memDc_) {
    FreeBitmap();
    return false;
  }
  oldBitmap_ = ::SelectObject(memDc_, bitmap_);
  FillBackground(memDc_, RECT{0, 0, w, ht}, grid_->GetBackgroundColor(CGridCore::kPartCells));
  return true;
}

void CGridCellArea::FreeBitmap() {
  if (memDc_) {
    ::SelectObject(memDc_, oldBitmap_);
    ::DeleteDC(memDc_);
  }
  if (bitmap_) ::DeleteObject(bitmap_);
  memDc_ = nullptr;
  bitmap_ = nullptr;
  oldBitmap_ = nullptr;
}

void CGridCellArea::OnPaintMessage() {
  HWND h = GetSafeHwnd();
  const CGridSheetInfo& s = grid_->Sheet();
  // Contents scrolled since they were shown: a partial paint would leave
  // the rest stale.
  if (shownFirstCol_ != s.firstVisibleCol || shownFirstRow_ != s.firstVisibleRow) {
    ::InvalidateRect(h, nullptr, FALSE);
    HintAll();
  }
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(h, &ps);
  const RECT& clip = ps.rcPaint;
  if (::IsRectEmpty(&clip)) {
    HintAll();
  } else {
    int l = 0, t = 0, r = s.ColumnCount(), b = s.rowCount;
    int c, w;
    if (grid_->HitTest(clip.left, clip.top, &c, &w, nullptr) == 0) {
      l = c;
      t = w;
    }
    if (grid_->HitTest(clip.right - 1, clip.bottom - 1, &c, &w, nullptr) == 0) {
      r = c;
      b = w;
    }
    // Frozen cells lie before the first visible ones in the walk.
    if (l > r || s.frozenCols > 0) l = 0;
    if (t > b || s.frozenRows > 0) t = 0;
    hint_.AddRange(l, t, r, b);
  }
  PaintHinted(dc);
  ::EndPaint(h, &ps);
}

void CGridCellArea::PaintHinted(HDC windowDc) {
  HWND h = GetSafeHwnd();
  const CGridSheetInfo& s = grid_->Sheet();
  RECT client;
  ::GetClientRect(h, &client);
  HDC target = doubleBuffer_ && memDc_ ? memDc_ : windowDc;
  grid_->OnPrepareDC(windowDc, target == memDc_ ? memDc_ : nullptr, CGridCore::kPartCells);
  const RECT used = PaintCells(*grid_, target, 0, 0, client, client, CGridCore::kPartCells, &hint_);
  hint_.Clear();
  const COLORREF back = grid_->GetBackgroundColor(CGridCore::kPartCells);
  FillBackground(target, RECT{used.right, client.top, client.right, client.bottom}, back);
  FillBackground(target, RECT{client.left, used.bottom, used.right, client.bottom}, back);
  // Frozen columns and rows end in a line, so the scrolled part is told
  // apart from them.
  if ((s.frozenCols > 0 && s.frozenWidth > 0) || (s.frozenRows > 0 && s.frozenHeight > 0)) {
    HGDIOBJ oldPen = ::SelectObject(target, ::GetStockObject(BLACK_PEN));
    if (s.frozenCols > 0 && s.frozenWidth > 0) {
      ::MoveToEx(target, s.frozenWidth - 1, 0, nullptr);
      ::LineTo(target, s.frozenWidth - 1, used.bottom);
    }
    if (s.frozenRows > 0 && s.frozenHeight > 0) {
      ::MoveToEx(target, 0, s.frozenHeight - 1, nullptr);
      ::LineTo(target, used.right, s.frozenHeight - 1);
    }
    ::SelectObject(target, oldPen);
  }
  if (target == memDc_) ::BitBlt(windowDc, 0, 0, client.right, client.bottom, memDc_, 0, 0, SRCCOPY);
  shownFirstCol_ = s.firstVisibleCol;
  shownFirstRow_ = s.firstVisibleRow;
  shownCurCol_ = s.currentCol;
  shownCurRow_ = s.currentRow;
  RECT frame;
  if ((hasFocus_ || grid_->IsFrameShown()) && s.currentCol >= 0 && s.currentRow >= 0 &&
      grid_->GetCellRect(s.currentCol, s.currentRow, &frame) == 0) {
    if (s.wholeRowSelection) {
      frame.left = 0;
      frame.right = std::min(used.right, client.right);
    }
    grid_->DrawCurrentCellFrame(windowDc, &frame);
  }
}
