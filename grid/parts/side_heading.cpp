#include "grid/parts/side_heading.h"

#include "grid/core/grid_core.h"
#include "grid/parts/cell_painter.h"

bool CGridSideHeading::CreateHeading(HWND grid) {
  return CreatePart("AlmacoraGridSideHeading", WS_CHILD | WS_VISIBLE, 0, grid, CGridCore::kSideHeadingId);
}

LRESULT CGridSideHeading::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;   // the paint covers every pixel
  return CGridPartWindow::WindowProc(message, wParam, lParam);
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
