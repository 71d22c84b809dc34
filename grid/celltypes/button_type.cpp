#include "grid/celltypes/button_type.h"

GUID CGridButtonType::GetTypeGuid() const {
  return GUID{0x6a1c2e01, 0x4d1b, 0x4f7a, {0x9b, 0x10, 0x41, 0x6c, 0x6d, 0x61, 0x04, 0x00}};
}

int CGridButtonType::OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) {
  if (pressed) {
    Report(col, row, kPressed, nullptr);
    pressCol_ = col;
    pressRow_ = row;
    pressRect_ = rect ? *rect : RECT{};
    pressed_ = true;
    down_ = true;
    Redraw(col, row);
    return 1;
  }
  if (!down_) return 0;
  Report(col, row, kReleased, nullptr);
  const bool inside = rect && ::PtInRect(&pressRect_, pt);
  if (col == pressCol_ && row == pressRow_ && pressed_ && inside) Report(col, row, kClicked, nullptr);
  pressed_ = false;
  down_ = false;
  Redraw(pressCol_, pressRow_);
  return 1;
}

int CGridButtonType::OnDoubleClick(int col, int row, const RECT* rect, POINT pt) {
  return OnLeftClick(col, row, 1, rect, pt);
}

int CGridButtonType::OnMouseMove(int, int, POINT* pt, UINT keyFlags) {
  if (!down_ || !pt || !(keyFlags & MK_LBUTTON)) return 0;
  const bool inside = ::PtInRect(&pressRect_, *pt) != 0;
  if (inside != pressed_) {
    pressed_ = inside;
    Redraw(pressCol_, pressRow_);
  }
  return 1;
}

int CGridButtonType::OnKeyDown(int col, int row, UINT* key) {
  if (!key || *key != VK_RETURN) return 0;
  Report(col, row, kClicked, nullptr);
  return 1;
}

void CGridButtonType::OnLeaveCell(int, int, const CGridCell&) {
  pressed_ = false;
  down_ = false;
}

void CGridButtonType::DrawButtonFrame(HDC dc, RECT* rect, const CGridCell& cell, bool sunken) {
  CGridCell framed(cell);
  framed.SetBorder(sunken ? 0x1000 : 0x2000);
  DrawBorder(dc, rect, framed);
}

void CGridButtonType::OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected,
                             int current) {
  RECT r = *rect;
  const bool sunken = pressed_ && current && col == pressCol_ && row == pressRow_;
  DrawButtonFrame(dc, &r, cell, sunken);
  CGridCell face(cell);
  if (!cell.HasProperty(CGridCell::kBackColor)) face.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  if (!cell.HasProperty(CGridCell::kAlignment)) face.SetAlignment(0x24);
  DrawCellText(dc, &r, face, selected, 0);
}
