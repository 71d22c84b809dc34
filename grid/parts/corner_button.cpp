#include "grid/parts/corner_button.h"

#include "grid/core/grid_core.h"
#include "grid/parts/cell_painter.h"

bool CGridCornerButton::CreateHeading(HWND grid) {
  return CreatePart("AlmacoraGridCorner", WS_CHILD | WS_VISIBLE, 0, grid, CGridCore::kCornerId);
}

LRESULT CGridCornerButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;   // the paint covers every pixel
  return CGridPartWindow::WindowProc(message, wParam, lParam);
}

void CGridCornerButton::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  grid_->OnPrepareDC(dc, nullptr, 2);
  const RECT used = PaintCells(*grid_, dc, 0, 0, client, ps.rcPaint, CGridCore::kPartCorner);
  CGridCell heading;
  grid_->GetHeadingDefaultCell(&heading);
  FillBackground(dc, RECT{used.right, client.top, client.right, client.bottom}, heading.GetBackColor());
  FillBackground(dc, RECT{client.left, used.bottom, used.right, client.bottom}, heading.GetBackColor());
}
