#include "controls/flat_button.h"

namespace shellcontrols {

FRAMEWORK_BEGIN_MESSAGE_MAP(CFlatButton, framework::CButton)
  framework::OnReflectDrawItem<&CFlatButton::DrawItem>(),
FRAMEWORK_END_MESSAGE_MAP()

namespace {
// A one-pixel frame: topLeft on the left and top edges, bottomRight on the
// right and bottom ones.
void Frame(HDC dc, const RECT& r, int topLeft, int bottomRight) {
  HBRUSH tl = ::GetSysColorBrush(topLeft);
  HBRUSH br = ::GetSysColorBrush(bottomRight);
  RECT e{r.left, r.top, r.right, r.top + 1};
  ::FillRect(dc, &e, tl);
  e = {r.left, r.top, r.left + 1, r.bottom};
  ::FillRect(dc, &e, tl);
  e = {r.right - 1, r.top, r.right, r.bottom};
  ::FillRect(dc, &e, br);
  e = {r.left, r.bottom - 1, r.right, r.bottom};
  ::FillRect(dc, &e, br);
}
}  // namespace

void CFlatButton::Paint(HDC dc, const RECT& rect, bool pressed) {
  ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
  RECT inner = rect;
  ::InflateRect(&inner, -1, -1);
  if (pressed) {
    Frame(dc, rect, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    Frame(dc, inner, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  } else {
    Frame(dc, rect, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    Frame(dc, inner, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  }
  int half = ::GetSystemMetrics(SM_CXVSCROLL) / 5;
  if (half < 1) half = 1;
  int cx = (rect.left + rect.right) / 2 + (pressed ? 1 : 0);
  int cy = (rect.top + rect.bottom) / 2 + (pressed ? 1 : 0);
  POINT tri[3] = {{cx - half, cy - half / 2}, {cx + half, cy - half / 2}, {cx, cy - half / 2 + half}};
  COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  HBRUSH brush = ::CreateSolidBrush(text);
  HPEN pen = ::CreatePen(PS_SOLID, 1, text);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  ::Polygon(dc, tri, 3);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(brush);
  ::DeleteObject(pen);
}

void CFlatButton::DrawItem(DRAWITEMSTRUCT* item) {
  Paint(item->hDC, item->rcItem, (item->itemState & ODS_SELECTED) != 0);
}

}  // namespace shellcontrols
