#include "framework/docview/scroll_view.h"

#include <algorithm>

namespace framework {

void CScrollView::SetScrollSizes(SIZE total, SIZE page, SIZE line) {
  total_.cx = std::max<LONG>(total.cx, 0);
  total_.cy = std::max<LONG>(total.cy, 0);
  page_.cx = page.cx > 0 ? page.cx : total_.cx / 10;
  page_.cy = page.cy > 0 ? page.cy : total_.cy / 10;
  line_.cx = line.cx > 0 ? line.cx : page_.cx / 10;
  line_.cy = line.cy > 0 ? line.cy : page_.cy / 10;
  UpdateBars();
}

SIZE CScrollView::ClientSize() const {
  RECT rc{0, 0, 0, 0};
  if (GetSafeHwnd()) ::GetClientRect(GetSafeHwnd(), &rc);
  return SIZE{rc.right, rc.bottom};
}

POINT CScrollView::Clamp(POINT pt) const {
  SIZE client = ClientSize();
  const LONG maxX = std::max<LONG>(0, total_.cx - client.cx);
  const LONG maxY = std::max<LONG>(0, total_.cy - client.cy);
  return POINT{std::clamp<LONG>(pt.x, 0, maxX), std::clamp<LONG>(pt.y, 0, maxY)};
}

void CScrollView::ScrollToPosition(POINT pt) {
  POINT to = Clamp(pt);
  OnScrollBy(SIZE{to.x - pos_.x, to.y - pos_.y}, true);
}

void CScrollView::OnPrepareDC(HDC dc) { ::SetViewportOrgEx(dc, -pos_.x, -pos_.y, nullptr); }

bool CScrollView::OnScroll(UINT code, UINT pos, bool doScroll) {
  const int sb = LOBYTE(code);
  const bool vertical = HIBYTE(code) == SB_VERT;
  if (sb == SB_THUMBPOSITION || sb >= SB_ENDSCROLL) return false;
  const LONG current = vertical ? pos_.y : pos_.x;
  const LONG page = vertical ? page_.cy : page_.cx;
  const LONG line = vertical ? line_.cy : line_.cx;
  const LONG total = vertical ? total_.cy : total_.cx;
  LONG target = current;
  switch (sb) {
    case SB_LINEUP: target = current - line; break;
    case SB_LINEDOWN: target = current + line; break;
    case SB_PAGEUP: target = current - page; break;
    case SB_PAGEDOWN: target = current + page; break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = total; break;
    case SB_THUMBTRACK: target = static_cast<LONG>(pos); break;
    default: break;
  }
  SIZE by{0, 0};
  (vertical ? by.cy : by.cx) = target - current;
  return OnScrollBy(by, doScroll);
}

bool CScrollView::OnScrollBy(SIZE by, bool doScroll) {
  POINT to = Clamp(POINT{pos_.x + by.cx, pos_.y + by.cy});
  if (to.x == pos_.x && to.y == pos_.y) return false;
  if (doScroll) {
    const int dx = pos_.x - to.x;
    const int dy = pos_.y - to.y;
    pos_ = to;
    if (GetSafeHwnd()) {
      ::ScrollWindowEx(GetSafeHwnd(), dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
      UpdateBars();
    }
  }
  return true;
}

void CScrollView::UpdateBars() {
  if (!GetSafeHwnd() || inUpdate_) return;
  inUpdate_ = true;
  // Showing or hiding one bar changes the client size, so the range is
  // settled in two passes.
  for (int pass = 0; pass < 2; ++pass) {
    SIZE client = ClientSize();
    pos_ = Clamp(pos_);
    const bool h = total_.cx > client.cx;
    const bool v = total_.cy > client.cy;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = h ? total_.cx - 1 : 0;
    si.nPage = h ? static_cast<UINT>(client.cx) : 0;
    si.nPos = pos_.x;
    ::SetScrollInfo(GetSafeHwnd(), SB_HORZ, &si, TRUE);
    ::ShowScrollBar(GetSafeHwnd(), SB_HORZ, h);
    si.nMax = v ? total_.cy - 1 : 0;
    si.nPage = v ? static_cast<UINT>(client.cy) : 0;
    si.nPos = pos_.y;
    ::SetScrollInfo(GetSafeHwnd(), SB_VERT, &si, TRUE);
    ::ShowScrollBar(GetSafeHwnd(), SB_VERT, v);
  }
  inUpdate_ = false;
}

void CScrollView::OnPaint(HDC dc, const PAINTSTRUCT& /*ps*/) {
  OnPrepareDC(dc);
  OnDraw(dc);
}

void CScrollView::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) { UpdateBars(); }

bool CScrollView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_HSCROLL || message == WM_VSCROLL) {
    const BYTE bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
    UINT pos = HIWORD(wParam);
    if (LOWORD(wParam) == SB_THUMBTRACK) {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      if (::GetScrollInfo(GetSafeHwnd(), bar, &si)) pos = static_cast<UINT>(si.nTrackPos);
    }
    OnScroll(MAKEWORD(LOWORD(wParam), bar), pos, true);
    *result = 0;
    return true;
  }
  return CView::OnWndMsg(message, wParam, lParam, result);
}

}  // namespace framework
