#include "controls/triangle_button_type.h"

#include "grid/cell/grid_cell.h"

namespace shellcontrols {

namespace {
// A filled triangle with its base at x = base (cy-5 .. cy+5) and its tip at
// x = tip, cy.
void Arrow(HDC dc, int base, int tip, int cy) {
  POINT pts[3] = {{base, cy - 5}, {base, cy + 5}, {tip, cy}};
  ::Polygon(dc, pts, 3);
}
}  // namespace

void CTriangleButtonType::OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int /*selected*/,
                                 int current) {
  const bool sunken = pressed_ && current && col == pressCol_ && row == pressRow_;
  Paint(dc, *rect, cell, sunken);
}

void CTriangleButtonType::Paint(HDC dc, const RECT& rect, const CGridCell& cell, bool sunken) {
  RECT r = rect;
  DrawButtonFrame(dc, &r, cell, sunken);
  HBRUSH back = ::CreateSolidBrush(cell.GetBackColor());
  ::FillRect(dc, &r, back);
  ::DeleteObject(back);
  if (r.right - r.left <= 3) return;
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  const COLORREF text = cell.GetTextColor();
  HBRUSH brush = ::CreateSolidBrush(text);
  HPEN pen = ::CreatePen(PS_SOLID, 1, text);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  switch (cell.GetCellTypeStyle() & 0xF0) {
    case kLeft:
      Arrow(dc, cx + 2, cx - 3, cy);
      break;
    case kDoubleRight:
      Arrow(dc, cx - 6, cx - 1, cy);
      Arrow(dc, cx + 2, cx + 7, cy);
      break;
    case kDoubleLeft:
      Arrow(dc, cx + 6, cx + 1, cy);
      Arrow(dc, cx - 2, cx - 7, cy);
      break;
    default:
      Arrow(dc, cx - 2, cx + 3, cy);
      break;
  }
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(brush);
  ::DeleteObject(pen);
}

}  // namespace shellcontrols
