#include "controls/hover_bitmap_button.h"

#include <windowsx.h>

namespace shellcontrols {

FRAMEWORK_BEGIN_MESSAGE_MAP(CHoverBitmapButton, framework::CButton)
  framework::OnReflectDrawItem<&CHoverBitmapButton::DrawItem>(),
FRAMEWORK_END_MESSAGE_MAP()

CHoverBitmapButton::~CHoverBitmapButton() {
  for (HBITMAP b : bitmaps_)
    if (b) ::DeleteObject(b);
}

void CHoverBitmapButton::SetBitmaps(HBITMAP up, HBITMAP down, HBITMAP focus, HBITMAP disabled) {
  HBITMAP next[4] = {up, down, focus, disabled};
  for (int i = 0; i < 4; ++i) {
    if (bitmaps_[i] && bitmaps_[i] != next[i]) ::DeleteObject(bitmaps_[i]);
    bitmaps_[i] = next[i];
  }
}

LRESULT CHoverBitmapButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE) {
    RECT client;
    ::GetClientRect(GetSafeHwnd(), &client);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    if (x < 0 || y < 0 || x > client.right || y > client.bottom) {
      ::ReleaseCapture();
      if (HWND parent = ::GetParent(GetSafeHwnd())) ::SetCapture(parent);
      return 0;
    }
  }
  return framework::CButton::WindowProc(message, wParam, lParam);
}

void CHoverBitmapButton::DrawItem(DRAWITEMSTRUCT* item) {
  int which = 0;
  if (item->itemState & ODS_SELECTED) which = 1;
  else if (item->itemState & ODS_FOCUS) which = 2;
  if (item->itemState & ODS_DISABLED) which = 3;
  HBITMAP b = bitmaps_[which] ? bitmaps_[which] : bitmaps_[0];
  if (!b) {
    ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  HDC mem = ::CreateCompatibleDC(item->hDC);
  HGDIOBJ old = ::SelectObject(mem, b);
  BITMAP bm{};
  ::GetObject(b, sizeof bm, &bm);
  ::BitBlt(item->hDC, item->rcItem.left, item->rcItem.top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
}

}  // namespace shellcontrols
