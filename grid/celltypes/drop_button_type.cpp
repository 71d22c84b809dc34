#include "grid/celltypes/drop_button_type.h"

CGridDropButtonType::CGridDropButtonType() : buttonWidth_(::GetSystemMetrics(SM_CXVSCROLL)) { OnSysColorChange(); }

CGridDropButtonType::~CGridDropButtonType() {
  if (facePen_) ::DeleteObject(facePen_);
  if (faceBrush_) ::DeleteObject(faceBrush_);
}

void CGridDropButtonType::OnSysColorChange() {
  if (facePen_) ::DeleteObject(facePen_);
  if (faceBrush_) ::DeleteObject(faceBrush_);
  facePen_ = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
  faceBrush_ = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

GUID CGridDropButtonType::GetTypeGuid() const {
  return GUID{0x6a1c2e01, 0x4d1b, 0x4f7a, {0x9b, 0x10, 0x41, 0x6c, 0x6d, 0x61, 0x05, 0x00}};
}

RECT CGridDropButtonType::ButtonRect(const RECT& cell) const {
  RECT b = cell;
  b.left = cell.right - buttonWidth_;
  if (b.left < cell.left) b.left = cell.left;
  return b;
}

int CGridDropButtonType::OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) {
  if (!rect) return 0;
  if (pressed) {
    const RECT b = ButtonRect(*rect);
    if (!::PtInRect(&b, pt)) return 0;
    pressed_ = down_ = true;
    pressCol_ = col;
    pressRow_ = row;
    pressRect_ = b;
    Redraw(col, row);
    return 1;
  }
  if (!down_) return 0;
  const bool wasPressed = pressed_;
  pressed_ = down_ = false;
  Redraw(pressCol_, pressRow_);
  if (wasPressed) Report(pressCol_, pressRow_, kDropButton, nullptr);
  return 1;
}

int CGridDropButtonType::OnMouseMove(int, int, POINT* pt, UINT keyFlags) {
  if (!down_ || !pt || !(keyFlags & MK_LBUTTON)) return 0;
  const bool inside = ::PtInRect(&pressRect_, *pt) != 0;
  if (inside != pressed_) {
    pressed_ = inside;
    Redraw(pressCol_, pressRow_);
  }
  return 1;
}

void CGridDropButtonType::OnLeaveCell(int, int, const CGridCell&) { pressed_ = down_ = false; }

void CGridDropButtonType::DrawButton(HDC dc, const RECT& button, bool sunken) {
  RECT r = button;
  CGridCell frame;
  frame.SetBorder(sunken ? 0x1000 : 0x2000);
  DrawBorder(dc, &r, frame);
  ::FillRect(dc, &r, faceBrush_);
  HGDIOBJ old = ::SelectObject(dc, facePen_);
  ::MoveToEx(dc, r.left, r.top, nullptr);
  ::LineTo(dc, r.left, r.bottom);
  ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  // A small triangle pointing down: 5, 3 and 1 pixels wide.
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2 - 1;
  for (int i = 0; i < 3; ++i) {
    ::MoveToEx(dc, cx - 2 + i, cy + i, nullptr);
    ::LineTo(dc, cx + 3 - i, cy + i);
  }
  ::SelectObject(dc, old);
}

void CGridDropButtonType::OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected,
                                 int current) {
  RECT text = *rect;
  const RECT button = ButtonRect(*rect);
  text.right = button.left;
  RECT r = text;
  DrawBorder(dc, &r, cell);
  DrawCellText(dc, &r, cell, selected, current);
  DrawButton(dc, button, pressed_ && col == pressCol_ && row == pressRow_);
}
