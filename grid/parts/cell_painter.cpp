#include "grid/parts/cell_painter.h"

#include <set>
#include <utility>
#include <vector>

#include "grid/core/grid_core.h"
#include "grid/parts/draw_hint.h"

namespace {

struct Span {
  int index, start, size;
};

// The body columns (or rows) a part of the given extent shows.
std::vector<Span> BodySpans(int count, int frozen, int firstVisible, int extent, int (*size)(const CGridCore&, int),
                            const CGridCore& grid) {
  std::vector<Span> out;
  int pos = 0;
  for (int i = 0; i < count && pos < extent; ++i) {
    if (i == frozen && firstVisible > i) i = firstVisible;
    if (i >= count) break;
    const int s = size(grid, i);
    if (s > 0) out.push_back(Span{i, pos, s});
    pos += s;
  }
  return out;
}

std::vector<Span> HeadingSpans(int n, int (*size)(const CGridCore&, int), const CGridCore& grid) {
  std::vector<Span> out;
  int pos = 0;
  for (int i = -n; i <= -1; ++i) {
    const int s = size(grid, i);
    if (s > 0) out.push_back(Span{i, pos, s});
    pos += s;
  }
  return out;
}

int ColSize(const CGridCore& g, int c) { return c < 0 ? g.GetHeadingColumnWidth(c) : g.ColumnWidth(c); }
int RowSize(const CGridCore& g, int r) { return r < 0 ? g.GetHeadingRowHeight(r) : g.GetRowHeight(r); }

}  // namespace

RECT PaintCells(CGridCore& grid, HDC dc, int originX, int originY, const RECT& client, const RECT& paint, int part,
                CGridDrawHint* hint) {
  const CGridSheetInfo& s = grid.Sheet();
  const int width = client.right - client.left, height = client.bottom - client.top;
  std::vector<Span> cols, rows;
  if (part == CGridCore::kPartCells || part == CGridCore::kPartTopHeading) {
    cols = BodySpans(s.ColumnCount(), s.frozenCols, s.firstVisibleCol, width, ColSize, grid);
  } else {
    cols = HeadingSpans(s.HeadingCols(), ColSize, grid);
  }
  if (part == CGridCore::kPartCells || part == CGridCore::kPartSideHeading) {
    rows = BodySpans(s.rowCount, s.frozenRows, s.firstVisibleRow, height, RowSize, grid);
  } else {
    rows = HeadingSpans(s.HeadingRows(), RowSize, grid);
  }
  if (part == CGridCore::kPartCorner) {
    // The corner is one cell: (-1, -1) over the whole button.
    cols = {Span{-1, 0, width}};
    rows = {Span{-1, 0, height}};
  }

  HFONT font = s.defaultFont;
  HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
  std::set<std::pair<int, int>> painted;
  RECT used{0, 0, 0, 0};
  for (const Span& r : rows) {
    for (const Span& c : cols) {
      RECT rect{originX + c.start, originY + r.start, originX + c.start + c.size, originY + r.start + r.size};
      used.right = rect.right > used.right ? rect.right : used.right;
      used.bottom = rect.bottom > used.bottom ? rect.bottom : used.bottom;
      RECT overlap;
      if (!::IntersectRect(&overlap, &rect, &paint)) continue;
      int col = c.index, row = r.index;
      if (hint && !hint->Contains(col, row)) {
        int oc, orow, nc, nr;
        // A joined block is drawn when any of its cells is hinted.
        if (part == CGridCore::kPartCorner || !s.joinOption || !grid.GetJoinBlock(col, row, &oc, &orow, &nc, &nr) ||
            !hint->Contains(oc, orow)) {
          continue;
        }
      }
      CGridCell cell;
      grid.GetCell(col, row, &cell);
      int oc, orow, nc, nr;
      // Headings join their cells as the cell area does; the corner is one cell.
      if (part != CGridCore::kPartCorner && s.joinOption && grid.GetJoinBlock(col, row, &oc, &orow, &nc, &nr)) {
        if (!painted.insert({oc, orow}).second || (hint && hint->WasPainted(oc, orow))) continue;
        if (hint) hint->AddPainted(oc, orow);
        if (oc != col || orow != row) {
          col = oc;
          row = orow;
          cell.Clear();
          grid.GetCell(col, row, &cell);
        }
        grid.GetCellRect(col, row, &rect);
        ::OffsetRect(&rect, originX, originY);
      }
      int selected = 0, current = 0;
      if (part == CGridCore::kPartCells) {
        // The current row is painted whole also when nothing else can be
        // selected.
        const bool wholeRows = s.wholeRowSelection || (s.selection.GetMode() & CGridSelection::kWholeRows) != 0;
        current = row == grid.GetCurrentRow() && (wholeRows || col == grid.GetCurrentColumn());
        int index = -1;
        if (!current && grid.IsCellSelected(col, row, &index)) selected = index + 1;
      }
      const int saved = ::SaveDC(dc);
      grid.GetCellType(cell.GetCellType())->OnDraw(dc, col, row, &rect, cell, selected, current);
      ::RestoreDC(dc, saved);
    }
  }
  if (oldFont) ::SelectObject(dc, oldFont);
  return used;
}
