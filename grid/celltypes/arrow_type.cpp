#include "grid/celltypes/arrow_type.h"

GUID CGridArrowType::GetTypeGuid() const {
  return GUID{0x6a1c2e01, 0x4d1b, 0x4f7a, {0x9b, 0x10, 0x41, 0x6c, 0x6d, 0x61, 0x03, 0x00}};
}

void CGridArrowType::OnDraw(HDC dc, int, int, const RECT* rect, const CGridCell& cell, int selected, int current) {
  if (rect->right - rect->left < 4) return;
  RECT r = *rect;
  DrawBorder(dc, &r, cell);
  HBRUSH back = ::CreateSolidBrush((selected || current) ? cell.GetSelectedBackColor() : cell.GetBackColor());
  ::FillRect(dc, &r, back);
  ::DeleteObject(back);

  const int style = cell.GetCellTypeStyle();
  int heads = 0;
  bool right = true;
  if (style == 0 || style == 0x10) {
    heads = 1;
  } else if (style == 0x20) {
    heads = 1;
    right = false;
  } else if (style == 0x40) {
    heads = 2;
  } else if (style == 0x80) {
    heads = 2;
    right = false;
  }
  if (!heads) return;
  HPEN pen = ::CreatePen(PS_SOLID, 1, cell.GetTextColor());
  HGDIOBJ old = ::SelectObject(dc, pen);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  const int size = 4;
  const int width = heads * size;
  int x = cx - width / 2;
  for (int h = 0; h < heads; ++h, x += size) {
    // A filled triangle of vertical lines, the tip towards the direction.
    for (int i = 0; i < size; ++i) {
      const int col = right ? x + i : x + size - 1 - i;
      const int half = size - 1 - i;
      ::MoveToEx(dc, col, cy - half, nullptr);
      ::LineTo(dc, col, cy + half + 1);
    }
  }
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}
