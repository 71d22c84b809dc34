#include "grid/parts/heading_window.h"

#include "grid/core/grid_core.h"
#include "grid/parts/cell_painter.h"

LRESULT CGridHeadingWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_SETCURSOR: ::SetCursor(ArmedCursor()); return TRUE;
    default: return CGridPartWindow::WindowProc(message, wParam, lParam);
  }
}

void CGridHeadingWindow::PaintHeading(HDC dc, const PAINTSTRUCT& ps) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  grid_->OnPrepareDC(dc, nullptr, Part());
  const RECT used = PaintCells(*grid_, dc, 0, 0, client, ps.rcPaint, Part());
  CGridCell heading;
  grid_->GetHeadingDefaultCell(&heading);
  FillBackground(dc, RECT{used.right, client.top, client.right, client.bottom}, heading.GetBackColor());
  FillBackground(dc, RECT{client.left, used.bottom, used.right, client.bottom}, heading.GetBackColor());
}

void CGridHeadingWindow::ReportLeftClick(int col, int row, int updn, RECT* rect, POINT pt) {
  CGridCell cell;
  grid_->GetCell(col, row, &cell);
  const int processed = grid_->GetCellType(cell.GetCellType())->OnLeftClick(col, row, updn, rect, pt);
  NotifyLeftClick(col, row, updn, rect, pt, processed);
}

int CGridHeadingWindow::TypeDoubleClick(int col, int row, RECT* rect, POINT pt) {
  CGridCell cell;
  grid_->GetCell(col, row, &cell);
  return grid_->GetCellType(cell.GetCellType())->OnDoubleClick(col, row, rect, pt);
}

void CGridHeadingWindow::ReportLeftClickAt(POINT pt, int updn) {
  int col, row;
  RECT rect;
  if (HitTest(pt, &col, &row, &rect)) ReportLeftClick(col, row, updn, &rect, pt);
}

void CGridHeadingWindow::OnRightButton(bool down, POINT pt) {
  int col, row;
  RECT rect;
  if (!HitTest(pt, &col, &row, &rect)) return;
  CGridCell cell;
  grid_->GetCell(col, row, &cell);
  const int processed = grid_->GetCellType(cell.GetCellType())->OnRightClick(col, row, down ? 1 : 0, &rect, pt);
  NotifyRightClick(col, row, down ? 1 : 0, &rect, pt, processed);
  if (down && grid_->Sheet().popupMenuOption) {
    POINT screen = pt;
    ::ClientToScreen(GetSafeHwnd(), &screen);
    grid_->ShowPopupMenu(col, row, screen, Part());
  }
}
