#include "grid/parts/hint_wnd.h"

#include "grid/core/grid_core.h"

bool CGridHintWnd::CreateHint(HWND grid) {
  if (!CreatePart("AlmacoraGridHint", WS_CHILD, WS_EX_TOPMOST, grid, CGridCore::kHintId)) return false;
  HDC dc = ::GetDC(GetSafeHwnd());
  SIZE ext{};
  ::GetTextExtentPoint32A(dc, "X", 1, &ext);
  ::ReleaseDC(GetSafeHwnd(), dc);
  textHeight_ = ext.cy;
  return true;
}

LRESULT CGridHintWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;   // the paint covers every pixel
  return CGridPartWindow::WindowProc(message, wParam, lParam);
}

void CGridHintWnd::SetText(const std::string& text, bool redraw) {
  text_ = text;
  if (redraw) Invalidate();
}

void CGridHintWnd::ShowAt(int x, int y, int minWidth) {
  HWND h = GetSafeHwnd();
  if (!h) return;
  HDC dc = ::GetDC(h);
  SIZE ext{};
  ::GetTextExtentPoint32A(dc, text_.c_str(), static_cast<int>(text_.size()), &ext);
  ::ReleaseDC(h, dc);
  const int width = ext.cx + 4 > minWidth ? ext.cx + 4 : minWidth;
  const int height = textHeight_;
  int left = x, top = y;
  if (flags_ & kEndX) left = x - width;
  if (flags_ & kCentreX) left = x - width / 2;
  if (flags_ & kEndY) top = y - height;
  if (flags_ & kCentreY) top = y - height / 2;
  RECT parent{};
  ::GetClientRect(::GetParent(h), &parent);
  if (left + width > parent.right) left = parent.right - width;
  if (top + height > parent.bottom) top = parent.bottom - height;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  ::MoveWindow(h, left, top, width, height, TRUE);
  ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CGridHintWnd::Show() {
  if (GetSafeHwnd() && !::IsWindowVisible(GetSafeHwnd())) ::ShowWindow(GetSafeHwnd(), SW_SHOWNA);
}

void CGridHintWnd::Hide() {
  if (GetSafeHwnd()) ::ShowWindow(GetSafeHwnd(), SW_HIDE);
  grid_->RepaintAllCells();
}

void CGridHintWnd::OnPaint(HDC dc, const PAINTSTRUCT&) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  ::SetTextColor(dc, textColor_);
  ::SetBkColor(dc, backColor_);
  ::ExtTextOutA(dc, 2, 1, ETO_OPAQUE | ETO_CLIPPED, &client, text_.c_str(), static_cast<UINT>(text_.size()), nullptr);
  ::FrameRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
