#include "grid/parts/top_heading.h"

#include "grid/core/grid_core.h"
#include "grid/parts/cell_painter.h"

bool CGridTopHeading::CreateHeading(HWND grid) {
  return CreatePart("AlmacoraGridTopHeading", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, grid,
                    CGridCore::kTopHeadingId);
}

LRESULT CGridTopHeading::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;   // the paint covers every pixel
  return CGridPartWindow::WindowProc(message, wParam, lParam);
}

void CGridTopHeading::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  grid_->OnPrepareDC(dc, nullptr, 2);
  const RECT used = PaintCells(*grid_, dc, 0, 0, client, ps.rcPaint, CGridCore::kPartTopHeading);
  CGridCell heading;
  grid_->GetHeadingDefaultCell(&heading);
  FillBackground(dc, RECT{used.right, client.top, client.right, client.bottom}, heading.GetBackColor());
  FillBackground(dc, RECT{client.left, used.bottom, used.right, client.bottom}, heading.GetBackColor());
}
