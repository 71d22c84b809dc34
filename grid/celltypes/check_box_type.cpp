#include "grid/celltypes/check_box_type.h"

#include <algorithm>

#include "grid/core/grid_core.h"

CGridCheckBoxType::CGridCheckBoxType() {
  showLabel_ = true;
  allowOverflow_ = false;
  CreatePens();
}

CGridCheckBoxType::~CGridCheckBoxType() { DeletePens(); }

void CGridCheckBoxType::CreatePens() {
  lightPen_ = ::CreatePen(PS_SOLID, 1, 0xE1E1E1);
  shadowPen_ = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
  facePen_ = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
}

void CGridCheckBoxType::DeletePens() {
  for (HPEN* p : {&lightPen_, &shadowPen_, &facePen_}) {
    if (*p) ::DeleteObject(*p);
    *p = nullptr;
  }
}

void CGridCheckBoxType::OnSysColorChange() {
  DeletePens();
  CreatePens();
}

GUID CGridCheckBoxType::GetTypeGuid() const {
  return GUID{0x6a1c2e01, 0x4d1b, 0x4f7a, {0x9b, 0x10, 0x41, 0x6c, 0x6d, 0x61, 0x02, 0x00}};
}

int CGridCheckBoxType::BoxSize() {
  // The system's own check-box size, never smaller than a 96 DPI box: a
  // smaller square is hard to see and harder to hit.
  return std::max(13, ::GetSystemMetrics(SM_CXMENUCHECK));
}

RECT CGridCheckBoxType::BoxRect(const RECT& cell, unsigned alignment) {
  const int size = std::min(static_cast<int>(cell.bottom - cell.top) - 1, BoxSize());
  if (size <= 5) return RECT{0, 0, 0, 0};
  RECT box;
  if (alignment & CGridCell::kAlignCenter) {
    box.left = cell.left + (cell.right - cell.left - size) / 2;
  } else if (alignment & CGridCell::kAlignRight) {
    box.left = cell.right - 3 - size;
  } else {
    box.left = cell.left + 3;
  }
  box.top = cell.top + (cell.bottom - cell.top - size) / 2;
  box.right = box.left + size;
  box.bottom = box.top + size;
  return box;
}

bool CGridCheckBoxType::Toggle(int col, int row, int* newState) {
  if (!grid_) return false;
  CGridCell shown;
  grid_->GetCell(col, row, &shown);
  if (shown.GetReadOnly()) return false;
  CGridCell data;
  grid_->GetCellData(col, row, &data);
  const int state = shown.GetNumber() != 0 ? 0 : 1;
  data.SetText(state ? "1" : "0");
  data.SetDataType(2);
  const bool stored = grid_->SetCell(col, row, data) == 0;
  grid_->RedrawCell(col, row);
  if (newState) *newState = state;
  return stored;
}

int CGridCheckBoxType::OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) {
  if (pressed || !rect) return 0;
  CGridCell shown;
  if (grid_) grid_->GetCell(col, row, &shown);
  const RECT box = BoxRect(*rect, shown.GetAlignment());
  if (!::PtInRect(&box, pt)) return 0;
  int state = 0;
  if (!Toggle(col, row, &state)) return 0;
  Report(col, row, 53, nullptr);
  return 1;
}

int CGridCheckBoxType::OnCharTyped(int col, int row, UINT* ch) {
  if (!ch || *ch != ' ') return 0;
  int state = 0;
  if (!Toggle(col, row, &state)) return 0;
  Report(col, row, 53, reinterpret_cast<void*>(static_cast<INT_PTR>(state)));
  return 1;
}

void CGridCheckBoxType::OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected,
                               int current) {
  (void)col;
  (void)row;
  RECT r = *rect;
  DrawBorder(dc, &r, cell);
  const RECT box = BoxRect(r, cell.GetAlignment());
  RECT textRect = r;
  if (box.right > box.left) textRect.left = box.right + 6 - 2;   // the text margin adds the rest
  DrawCellText(dc, &textRect, cell, selected, current);
  // Fill the strip before the caption with the cell's back colour, behind the box.
  RECT strip = r;
  strip.right = textRect.left;
  HBRUSH back = ::CreateSolidBrush(selected ? cell.GetSelectedBackColor() : cell.GetBackColor());
  ::FillRect(dc, &strip, back);
  ::DeleteObject(back);
  if (box.right <= box.left) return;

  const int style = cell.GetCellTypeStyle();
  HBRUSH window = ::CreateSolidBrush(::GetSysColor(COLOR_WINDOW));
  ::FillRect(dc, &box, window);
  ::DeleteObject(window);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  auto line = [dc](int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
  };
  if (style & (0x100 | 0x200)) {
    const bool sunken = (style & 0x100) != 0;
    ::SelectObject(dc, sunken ? shadowPen_ : lightPen_);
    line(box.left, box.bottom - 1, box.left, box.top);
    line(box.left, box.top, box.right, box.top);
    ::SelectObject(dc, sunken ? lightPen_ : shadowPen_);
    line(box.right - 1, box.top, box.right - 1, box.bottom);
    line(box.left, box.bottom - 1, box.right, box.bottom - 1);
  } else {
    ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    line(box.left, box.top, box.right - 1, box.top);
    line(box.right - 1, box.top, box.right - 1, box.bottom - 1);
    line(box.right - 1, box.bottom - 1, box.left, box.bottom - 1);
    line(box.left, box.bottom - 1, box.left, box.top);
  }
  if (cell.GetNumber() != 0) {
    ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    const int size = box.right - box.left;
    const bool doubled = size > 9;
    const int l = box.left + 2, t = box.top + 2, rgt = box.right - 3, b = box.bottom - 3;
    if (style & 0x1000) {
      const int mx = l + (rgt - l) / 3, my = b;
      for (int d = 0; d <= (doubled ? 1 : 0); ++d) {
        line(l, t + (b - t) / 2 + d, mx, my + d);
        line(mx, my + d, rgt + 1, t - 1 + d);
      }
    } else {
      for (int d = 0; d <= (doubled ? 1 : 0); ++d) {
        line(l + d, t, rgt + 1, b + 1 - d);
        line(l + d, b, rgt + 1, t - 1 + d);
      }
    }
  }
  ::SelectObject(dc, oldPen);
}
