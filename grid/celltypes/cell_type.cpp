#include "grid/celltypes/cell_type.h"

#include <algorithm>

#include "grid/core/grid_core.h"

GUID CGridCellType::GetTypeGuid() const {
  return GUID{0x6a1c2e01, 0x4d1b, 0x4f7a, {0x9b, 0x10, 0x41, 0x6c, 0x6d, 0x61, 0x01, 0x00}};
}

const CGridSheetInfo* CGridCellType::Sheet() const { return grid_ ? &grid_->Sheet() : nullptr; }

HFONT CGridCellType::SheetFont() const {
  const CGridSheetInfo* s = Sheet();
  return s ? s->defaultFont : nullptr;
}

int CGridCellType::Report(int col, int row, int code, void* param) {
  return grid_ ? grid_->OnCellTypeEvent(index_, col, row, code, param) : 1;
}

void CGridCellType::Redraw(int col, int row) {
  if (grid_) grid_->RedrawCell(col, row);
}

void CGridCellType::OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected,
                           int current) {
  if (DrawOverflow(dc, col, row, rect, cell)) return;
  RECT r = *rect;
  DrawBorder(dc, &r, cell);
  DrawCellText(dc, &r, cell, selected, current);
}

// A long text continues across empty neighbours to its right: an empty
// cell draws the part of the nearest text on its left that reaches it.
bool CGridCellType::DrawOverflow(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell) {
  const CGridSheetInfo* s = Sheet();
  if (!s || !s->allowOverflow || !allowOverflow_ || cell.HasProperty(CGridCell::kCellTypeStyle | CGridCell::kJoin) ||
      cell.GetTextLength() > 0 || col <= 0 || col >= s->ColumnCount()) {
    return false;
  }
  CGridDataSource* ds = s->columns[static_cast<size_t>(col)].source;
  if (!ds) return false;
  int from = grid_->GetColumnMapping(col);
  if (ds->PrevNonEmptyCol(&from, row) != 0) return false;
  // Find the grid column showing that data-source column.
  int fromCol = -1;
  for (int c = col - 1; c >= 0; --c) {
    if (grid_->GetColumnMapping(c) == from) {
      fromCol = c;
      break;
    }
  }
  if (fromCol < 0) return false;
  CGridCell other;
  grid_->GetCell(fromCol, row, &other);
  CGridCellType* otherType = grid_->GetCellType(other.GetCellType());
  if (!otherType->AllowsOverflow() || other.HasProperty(CGridCell::kCellTypeStyle | CGridCell::kJoin)) return false;
  HFONT font = other.GetFont() ? other.GetFont() : SheetFont();
  HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
  SIZE ext{};
  ::GetTextExtentPoint32A(dc, other.GetTextPtr(), static_cast<int>(other.GetTextLength()), &ext);
  if (old) ::SelectObject(dc, old);
  const int textWidth = ext.cx + s->textMargin;
  if (textWidth <= s->ColumnWidth(fromCol)) return false;
  int shift = 0;
  for (int c = fromCol; c < col; ++c) shift += s->ColumnWidth(c);
  if (shift >= textWidth) return false;
  RECT r = *rect;
  DrawBorder(dc, &r, cell);
  RECT shifted = r;
  shifted.left -= shift;
  CGridCell shown(other);
  shown.SetAlignment(static_cast<std::uint16_t>(other.GetAlignment() & ~(CGridCell::kAlignCenter | CGridCell::kAlignRight)));
  shown.SetBackColor(cell.GetBackColor());
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  HBRUSH back = ::CreateSolidBrush(cell.GetBackColor());
  ::FillRect(dc, &r, back);
  ::DeleteObject(back);
  DrawCellText(dc, &shifted, shown, 0, 0);
  ::RestoreDC(dc, saved);
  return true;
}

namespace {

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  ::MoveToEx(dc, x0, y0, nullptr);
  ::LineTo(dc, x1, y1);
}

}  // namespace

void CGridCellType::DrawBorder(HDC dc, RECT* rect, const CGridCell& cell) {
  const CGridSheetInfo* s = Sheet();
  const unsigned style = cell.GetBorder();
  HPEN pen = cell.GetBorderObject();
  if (!pen && s) pen = s->gridLinePen;
  if (!pen) pen = static_cast<HPEN>(::GetStockObject(BLACK_PEN));
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  RECT& r = *rect;

  if (style & (0x1000 | 0x2000)) {
    const int depth = s ? s->frameDepth : 1;
    HPEN light = grid_ ? grid_->LightPen() : static_cast<HPEN>(::GetStockObject(WHITE_PEN));
    HPEN shadow = grid_ ? grid_->ShadowPen() : static_cast<HPEN>(::GetStockObject(BLACK_PEN));
    const bool sunken = (style & 0x1000) != 0;
    for (int i = 0; i < depth; ++i) {
      ::SelectObject(dc, sunken ? shadow : light);
      Line(dc, r.left, r.bottom - 1, r.left, r.top);
      Line(dc, r.left, r.top, r.right, r.top);
      ::SelectObject(dc, sunken ? light : shadow);
      Line(dc, r.right - 1, r.top, r.right - 1, r.bottom);
      Line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
      ::InflateRect(&r, -1, -1);
    }
    ::SelectObject(dc, oldPen);
    return;
  }

  // Line counts per edge: 1, 2 or 3 adjacent lines.
  auto lines = [style](unsigned one) {
    if (style & (one << 8)) return 3;
    if (style & (one << 4)) return 2;
    if (style & one) return 1;
    return 0;
  };
  int left = lines(0x1), top = lines(0x2), right = lines(0x4), bottom = lines(0x8);
  if (s && s->gridLinesOption) {
    if (right == 0) right = -1;   // a grid line, drawn in the grid-line pen
    if (bottom == 0) bottom = -1;
  }
  const RECT outer = r;
  for (int i = 0; i < left; ++i) Line(dc, outer.left + i, outer.top, outer.left + i, outer.bottom);
  for (int i = 0; i < top; ++i) Line(dc, outer.left, outer.top + i, outer.right, outer.top + i);
  for (int i = 0; i < right; ++i) Line(dc, outer.right - 1 - i, outer.top, outer.right - 1 - i, outer.bottom);
  for (int i = 0; i < bottom; ++i) Line(dc, outer.left, outer.bottom - 1 - i, outer.right, outer.bottom - 1 - i);
  if (right < 0 || bottom < 0) {
    ::SelectObject(dc, s->gridLinePen);
    if (right < 0) Line(dc, outer.right - 1, outer.top, outer.right - 1, outer.bottom);
    if (bottom < 0) Line(dc, outer.left, outer.bottom - 1, outer.right, outer.bottom - 1);
  }
  r.left += left;
  r.top += top;
  r.right -= right < 0 ? 1 : right;
  r.bottom -= bottom < 0 ? 1 : bottom;
  ::SelectObject(dc, oldPen);
}

void CGridCellType::DrawCellText(HDC dc, const RECT* rect, const CGridCell& cell, int selected, int current) {
  const CGridSheetInfo* s = Sheet();
  RECT r = *rect;
  if (r.right <= r.left || r.bottom <= r.top) return;
  const bool showLabel = showLabel_ || cell.GetCellTypeStyle() == 8;
  const char* text = showLabel ? cell.GetLabelPtr() : cell.GetTextPtr();
  if (!text) text = "";
  const int len = static_cast<int>(std::char_traits<char>::length(text));

  const bool highlight = selected || (current && s && (s->highlightStyle & 0x2));
  const COLORREF fore = highlight ? cell.GetSelectedTextColor() : cell.GetTextColor();
  const COLORREF back = highlight ? cell.GetSelectedBackColor() : cell.GetBackColor();
  HFONT font = cell.GetFont() ? cell.GetFont() : SheetFont();
  HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
  const COLORREF oldFore = ::SetTextColor(dc, fore);
  const COLORREF oldBack = ::SetBkColor(dc, back);
  const int oldMode = ::SetBkMode(dc, OPAQUE);

  HBRUSH brush = ::CreateSolidBrush(back);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);

  const int margin = s ? s->textMargin : 2;
  if (HBITMAP bmp = cell.GetBitmap()) {
    BITMAP bm{};
    if (::GetObjectA(bmp, sizeof bm, &bm) && bm.bmHeight > 0) {
      int h = bm.bmHeight, w = bm.bmWidth;
      const int room = static_cast<int>(r.bottom - r.top) - 4;
      if (h > room && room > 0) {
        w = w * room / h;
        h = room;
      }
      HDC mem = ::CreateCompatibleDC(dc);
      HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
      const int y = r.top + (r.bottom - r.top - h) / 2;
      ::StretchBlt(dc, r.left + 2, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
      ::SelectObject(mem, oldBmp);
      ::DeleteDC(mem);
      r.left += 2 + w;
    }
  }

  const unsigned align = cell.GetAlignment();
  const int style = cell.GetCellTypeStyle();
  UINT flags = DT_NOPREFIX;
  RECT tr = r;
  if (align & CGridCell::kAlignCenter) {
    flags |= DT_CENTER;
  } else if (align & CGridCell::kAlignRight) {
    flags |= DT_RIGHT;
    tr.right -= margin;
  } else {
    flags |= DT_LEFT;
    tr.left += margin;
  }
  if (style & 0x2) {
    flags |= DT_WORDBREAK;
    tr.top += 1;
  } else {
    flags |= DT_SINGLELINE;
    if (align & CGridCell::kAlignMiddle) {
      flags |= DT_VCENTER;
    } else if (align & CGridCell::kAlignBottom) {
      flags |= DT_BOTTOM;
      tr.bottom -= 1;
    } else {
      flags |= DT_TOP;
      tr.top += 1;
    }
    if (style & 0x4) {
      SIZE ext{};
      ::GetTextExtentPoint32A(dc, text, len, &ext);
      if (ext.cx + 6 > r.right - r.left) flags |= DT_END_ELLIPSIS;
    }
  }
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, text, len, &tr, flags);
  ::RestoreDC(dc, saved);

  ::SetBkMode(dc, oldMode);
  ::SetBkColor(dc, oldBack);
  ::SetTextColor(dc, oldFore);
  if (oldFont) ::SelectObject(dc, oldFont);
}

void CGridCellType::DrawScaled(HDC dc, const RECT* rect, int col, int row, const CGridCell& cell) {
  const int rowHeight = grid_ ? grid_->GetRowHeight(row) : 0;
  const int height = rect->bottom - rect->top;
  HFONT base = cell.GetFont() ? cell.GetFont() : SheetFont();
  if (rowHeight <= 0 || !base || height == rowHeight) {
    OnDraw(dc, col, row, rect, cell, 0, 0);
    return;
  }
  LOGFONTA lf{};
  if (!::GetObjectA(base, sizeof lf, &lf)) {
    OnDraw(dc, col, row, rect, cell, 0, 0);
    return;
  }
  lf.lfHeight = static_cast<LONG>(static_cast<long long>(lf.lfHeight) * height / rowHeight);
  HFONT scaled = ::CreateFontIndirectA(&lf);
  CGridCell copy(cell);
  if (scaled) copy.SetFont(scaled);
  OnDraw(dc, col, row, rect, copy, 0, 0);
  if (scaled) ::DeleteObject(scaled);
}

void CGridCellType::MeasureBestSize(HDC dc, SIZE* size, const CGridCell& cell) {
  if (!size) return;
  if (!cell.GetTextLength()) {
    size->cx = 9;
    size->cy = 5;
    return;
  }
  HFONT font = cell.GetFont() ? cell.GetFont() : SheetFont();
  HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
  SIZE ext{};
  ::GetTextExtentPoint32A(dc, cell.GetTextPtr(), static_cast<int>(cell.GetTextLength()), &ext);
  if (old) ::SelectObject(dc, old);
  size->cx = ext.cx + 6;
  size->cy = ext.cy + 2;
}
