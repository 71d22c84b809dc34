#include "grid/parts/cell_area.h"

#include "grid/core/grid_core.h"
#include "grid/parts/cell_painter.h"

bool CGridCellArea::CreateArea(HWND grid) {
  return CreatePart("AlmacoraGridCells", WS_CHILD | WS_VISIBLE, 0, grid, CGridCore::kCellAreaId);
}

LRESULT CGridCellArea::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;   // the paint covers every pixel
    case WM_GETDLGCODE:
      return Default(message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_MOUSEACTIVATE:
      ::SetFocus(GetSafeHwnd());
      return MA_ACTIVATE;
    default:
      return CGridPartWindow::WindowProc(message, wParam, lParam);
  }
}

void CGridCellArea::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  grid_->OnPrepareDC(dc, nullptr, CGridCore::kPartCells);
  const RECT used = PaintCells(*grid_, dc, 0, 0, client, ps.rcPaint, CGridCore::kPartCells);
  // Right of the last column and below the last row.
  const COLORREF back = grid_->GetBackgroundColor(CGridCore::kPartCells);
  FillBackground(dc, RECT{used.right, client.top, client.right, client.bottom}, back);
  FillBackground(dc, RECT{client.left, used.bottom, used.right, client.bottom}, back);
  RECT frame;
  if (::GetFocus() == GetSafeHwnd() && grid_->GetCurrentColumn() >= 0 && grid_->GetCurrentRow() >= 0 &&
      grid_->GetCellRect(grid_->GetCurrentColumn(), grid_->GetCurrentRow(), &frame) == 0) {
    grid_->DrawCurrentCellFrame(dc, &frame);
  }
}
