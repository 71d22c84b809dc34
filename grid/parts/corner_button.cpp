#include "grid/parts/corner_button.h"

#include <algorithm>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_painter.h"

bool CGridCornerButton::CreateHeading(HWND grid) {
  return CreatePart("AlmacoraGridCorner", WS_CHILD | WS_VISIBLE, 0, grid, CGridCore::kCornerId);
}

LRESULT CGridCornerButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_ERASEBKGND: return 1;   // the paint covers every pixel
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), pt); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: OnButton(message, pt); return 0;
    case WM_SETCURSOR: {
      const CGridSheetInfo& s = grid_->Sheet();
      ::SetCursor(armed_ == kWidth ? s.sizeWECursor : armed_ == kHeight ? s.sizeNSCursor : s.arrowCursor);
      return TRUE;
    }
    default: return CGridPartWindow::WindowProc(message, wParam, lParam);
  }
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

void CGridCornerButton::FindEdge(POINT pt) {
  armed_ = kNone;
  if (grid_->Sheet().headingResizeOption <= 0) return;
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  if (client.right - pt.x <= 4 && grid_->OnCanResizeSideHeading()) {
    armed_ = kWidth;
  } else if (client.bottom - pt.y <= 4 && grid_->OnCanResizeTopHeading()) {
    armed_ = kHeight;
  }
}

void CGridCornerButton::OnMouseMove(UINT keys, POINT pt) {
  if (captured_ && armed_ == kHeight) {
    int height = std::max<int>(0, pt.y);
    grid_->OnTopHeadingResizing(&height);
    grid_->SetTopHeadingHeight(height);
  } else if (captured_ && armed_ == kWidth) {
    int width = std::max<int>(0, pt.x);
    grid_->OnSideHeadingResizing(&width);
    grid_->SetSideHeadingWidth(width);
  } else if (!(keys & MK_LBUTTON)) {
    FindEdge(pt);
  }
}

void CGridCornerButton::OnButton(UINT message, POINT pt) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  switch (message) {
    case WM_LBUTTONDOWN:
      FindEdge(pt);
      if (armed_ != kNone) {
        captured_ = true;
        ::SetCapture(GetSafeHwnd());
      } else {
        grid_->OnCornerLeftClick(1, &client, pt, 0);
      }
      break;
    case WM_LBUTTONUP:
      if (captured_) {
        captured_ = false;
        armed_ = kNone;
        if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
        grid_->AdjustLayout();
      } else {
        grid_->OnCornerLeftClick(0, &client, pt, 0);
      }
      break;
    case WM_LBUTTONDBLCLK: grid_->OnCornerDoubleClick(&client, pt, 0); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      const bool down = message == WM_RBUTTONDOWN;
      grid_->OnCornerRightClick(down ? 1 : 0, &client, pt, 0);
      if (down && grid_->Sheet().popupMenuOption) {
        POINT screen = pt;
        ::ClientToScreen(GetSafeHwnd(), &screen);
        grid_->ShowPopupMenu(-1, -1, screen, CGridCore::kPartCorner);
      }
      break;
    }
    default: break;
  }
}
