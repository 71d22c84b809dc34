// Creation, message dispatch and the update operations of the cell area.
#include "grid/parts/cell_area.h"

#include <algorithm>

#include "grid/core/grid_core.h"

namespace {

// The column (row) shown at a pixel of the area; the count beyond the last.
int IndexAt(const CGridSheetInfo& s, bool rows, int pos) {
  const int count = rows ? s.rowCount : s.ColumnCount();
  const int frozen = rows ? s.frozenRows : s.frozenCols;
  const int first = rows ? s.firstVisibleRow : s.firstVisibleCol;
  int sum = 0;
  for (int i = 0; i < count; ++i) {
    if (i == frozen && first > i) i = first;
    if (i >= count) break;
    sum += rows ? s.RowHeight(i) : s.ColumnWidth(i);
    if (sum > pos) return i;
  }
  return count;
}

}  // namespace

CGridCellArea::~CGridCellArea() { FreeBitmap(); }

bool CGridCellArea::CreateArea(HWND grid) {
  // The in-place editor and the drop list are children of the area.
  return CreatePart("AlmacoraGridCells", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, grid, CGridCore::kCellAreaId);
}

bool CGridCellArea::OnCreate(const CREATESTRUCTA&) {
  if (grid_->Sheet().cellTipsOption) EnableTips(true);
  return true;
}

void CGridCellArea::OnDestroy() {
  FreeBitmap();
  EnableTips(false);
}

LRESULT CGridCellArea::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_ERASEBKGND: return 1;   // the paint covers every pixel
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_UPDATE) grid_->OnEditorTextChanged(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_PAINT: OnPaintMessage(); return 0;
    case WM_LBUTTONDOWN: OnButtonDown(true, static_cast<UINT>(wParam), pt); return 0;
    case WM_RBUTTONDOWN: OnButtonDown(false, static_cast<UINT>(wParam), pt); return 0;
    case WM_LBUTTONUP: OnButtonUp(true, pt); return 0;
    case WM_RBUTTONUP: OnButtonUp(false, pt); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(pt); return 0;
    case WM_MOUSEMOVE:
      RelayToTips(message, wParam, lParam);
      OnMouseMove(static_cast<UINT>(wParam), pt);
      return 0;
    case WM_NOTIFY: return OnNotify(lParam);
    case WM_CAPTURECHANGED:
      captureLost_ = true;
      capturedByType_ = false;
      return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam)); return 0;
    case WM_KEYUP: repeatCount_ = 0; return 0;
    case WM_CHAR: OnChar(static_cast<UINT>(wParam)); return 0;
    case WM_MOUSEWHEEL: OnWheel(static_cast<short>(HIWORD(wParam))); return 0;
    case WM_SETFOCUS: OnFocus(true); return 0;
    case WM_KILLFOCUS: OnFocus(false); return 0;
    case WM_GETDLGCODE: return OnGetDlgCode(wParam, lParam);
    case WM_MOUSEACTIVATE: ::SetFocus(GetSafeHwnd()); return MA_ACTIVATE;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(grid_->Sheet().arrowCursor);
        return TRUE;
      }
      return Default(message, wParam, lParam);
    default: return CGridPartWindow::WindowProc(message, wParam, lParam);
  }
}

void CGridCellArea::OnSize(UINT, int, int) {
  RelayToTips(WM_SIZE, 0, 0);
  // A new bitmap holds only background: everything is painted into it.
  if (doubleBuffer_) {
    FreeBitmap();
    if (!MakeBitmap()) doubleBuffer_ = 0;
  }
  HintAll();
  Invalidate();
}

int CGridCellArea::SetDoubleBuffer(int mode) {
  if (!GetSafeHwnd()) {
    // The bitmap is made with the window's first size.
    doubleBuffer_ = mode == 1 ? 1 : 0;
    return 0;
  }
  FreeBitmap();
  doubleBuffer_ = 0;
  if (mode == 1) {
    if (!MakeBitmap()) return 1;
    doubleBuffer_ = 1;
  }
  HintAll();
  Invalidate();
  return 0;
}

void CGridCellArea::RedrawCell(int col, int row) {
  hint_.AddCell(col, row);
  Update();
}

void CGridCellArea::RedrawRow(int row) {
  hint_.AddRange(0, row, std::max(0, grid_->GetColumnCount() - 1), row);
  Update();
}

void CGridCellArea::RedrawRange(int left, int top, int right, int bottom) {
  hint_.AddRange(left, top, right, bottom);
  Update();
}

void CGridCellArea::RedrawAll() {
  // Painted at the next WM_PAINT, so that a run of changes paints once.
  HintAll();
  Invalidate();
}

void CGridCellArea::HintAll() {
  hint_.AddRange(0, 0, std::max(0, grid_->GetColumnCount()), std::max(0, grid_->GetRowCount()));
}

void CGridCellArea::Update() {
  HWND h = GetSafeHwnd();
  if (!h || !grid_->IsRedrawEnabled()) return;
  if (!::IsWindowVisible(h)) {
    // Nothing shows: the first paint once shown paints everything.
    hint_.Clear();
    shownFirstCol_ = shownFirstRow_ = -1;
    return;
  }
  const CGridSheetInfo& s = grid_->Sheet();
  const bool wholeRows = s.wholeRowSelection;
  auto hintCurrent = [&](int col, int row) {
    if (row < 0) return;
    if (wholeRows) {
      hint_.AddRange(0, row, std::max(0, s.ColumnCount() - 1), row);
    } else if (col >= 0) {
      hint_.AddCell(col, row);
    }
  };
  hintCurrent(shownCurCol_, shownCurRow_);
  hintCurrent(s.currentCol, s.currentRow);
  const bool scrolled = shownFirstCol_ != s.firstVisibleCol || shownFirstRow_ != s.firstVisibleRow;

  RECT pending;
  if (::GetUpdateRect(h, &pending, FALSE)) {
    // A paint is pending: what this update adds goes into the update
    // region too, else hinted cells outside it (or a whole scroll) are lost.
    if (scrolled || shownFirstCol_ < 0) {
      HintAll();
      ::InvalidateRect(h, nullptr, FALSE);
    } else {
      const CGridDrawHint::Range b = hint_.Bounds();
      RECT r1, r2;
      if (!hint_.IsEmpty() && grid_->GetCellRect(std::max(b.left, 0), std::max(b.top, 0), &r1) == 0 &&
          grid_->GetCellRect(std::min(b.right, s.ColumnCount() - 1), std::min(b.bottom, s.rowCount - 1), &r2) == 0) {
        RECT u;
        ::UnionRect(&u, &r1, &r2);
        ::InvalidateRect(h, &u, FALSE);
      } else {
        ::InvalidateRect(h, nullptr, FALSE);
      }
    }
    ::UpdateWindow(h);
    return;
  }

  if (scrolled && shownFirstCol_ >= 0) {
    RECT client;
    ::GetClientRect(h, &client);
    const int width = client.right, height = client.bottom;
    int dx = 0, dy = 0;
    bool all = false;
    const bool both = shownFirstCol_ != s.firstVisibleCol && shownFirstRow_ != s.firstVisibleRow;
    if (shownFirstCol_ != s.firstVisibleCol) {
      const int a = std::min(shownFirstCol_, s.firstVisibleCol), z = std::max(shownFirstCol_, s.firstVisibleCol);
      long long sum = 0;
      for (int c = a; c < z && sum <= width; ++c) sum += s.ColumnWidth(c);
      if (sum > width) all = true;
      dx = static_cast<int>(shownFirstCol_ < s.firstVisibleCol ? -sum : sum);
    }
    if (shownFirstRow_ != s.firstVisibleRow) {
      const int a = std::min(shownFirstRow_, s.firstVisibleRow), z = std::max(shownFirstRow_, s.firstVisibleRow);
      long long sum = 0;
      for (int r = a; r < z && sum <= height; ++r) sum += s.RowHeight(r);
      if (sum > height) all = true;
      dy = static_cast<int>(shownFirstRow_ < s.firstVisibleRow ? -sum : sum);
    }
    // Frozen rows and columns stay; with both moving they would not, so
    // everything is repainted then.
    if (all || both) {
      HintAll();
    } else {
      RECT scroll = client;
      if (dy) scroll.top = s.frozenHeight;
      if (dx) scroll.left = s.frozenWidth;
      if (doubleBuffer_ && memDc_) {
        // The bitmap moves with the window's contents; it is copied whole.
        RECT src = scroll;
        ::OffsetRect(&src, -dx, -dy);
        RECT moved;
        ::IntersectRect(&moved, &src, &scroll);
        ::BitBlt(memDc_, moved.left + dx, moved.top + dy, moved.right - moved.left, moved.bottom - moved.top, memDc_,
                 moved.left, moved.top, SRCCOPY);
      } else {
        HDC dc = ::GetDC(h);
        ::ScrollDC(dc, dx, dy, &scroll, &scroll, nullptr, nullptr);
        ::ReleaseDC(h, dc);
      }
      // The uncovered band: at the far edge after a forward scroll, next
      // to the frozen part after a backward one.
      if (dx < 0) hint_.AddRange(IndexAt(s, false, width + dx), 0, s.ColumnCount(), s.rowCount);
      if (dx > 0) hint_.AddRange(0, 0, IndexAt(s, false, s.frozenWidth + dx), s.rowCount);
      if (dy < 0) hint_.AddRange(0, IndexAt(s, true, height + dy), s.ColumnCount(), s.rowCount);
      if (dy > 0) hint_.AddRange(0, 0, s.ColumnCount(), IndexAt(s, true, s.frozenHeight + dy));
    }
  }
  if (hint_.IsEmpty()) return;
  HDC dc = ::GetDC(h);
  PaintHinted(dc);
  ::ReleaseDC(h, dc);
}
