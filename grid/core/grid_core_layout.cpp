// Column and row counts and sizes, heading sizes, column order, the layout
// of the part windows and the geometry of cells.
#include "grid/core/grid_core.h"

#include <algorithm>

#include "grid/parts/cell_area.h"
#include "grid/parts/corner_button.h"
#include "grid/parts/h_scroll_bar.h"
#include "grid/parts/v_scroll_bar.h"
#include "grid/parts/sheet_tabs.h"
#include "grid/parts/side_heading.h"
#include "grid/parts/top_heading.h"

int CGridCore::SetColumnCount(int count, int redraw) {
  if (count < 0 || count > kMaxColumns) return 1;
  CGridSheetInfo* s = sheet_;
  auto& cols = s->columns;
  if (count < s->ColumnCount()) {
    cols.resize(static_cast<size_t>(count));
  } else {
    for (int i = s->ColumnCount(); i < count; ++i) {
      CGridSheetInfo::Column c;
      c.width = s->defaultColWidth;
      c.source = s->currentSource;
      c.defaultCell.reset(new CGridCell(s->defaultCell));
      c.sourceCol = i;
      cols.push_back(std::move(c));
    }
  }
  RecomputeLastFirstVisible();
  if (s->currentCol >= count) s->currentCol = s->cursorCol = count - 1;
  s->RecomputeFrozen();
  if (s->currentCol < 0 && count > 0) MoveToColumn(0);
  if (redraw) RedrawAll();
  return 0;
}

int CGridCore::SetRowCount(int count, int redraw) {
  if (count < 0) return 1;
  CGridSheetInfo* s = sheet_;
  if (count > kMaxPerRowHeights && !s->uniformRows) SetUniformRowHeight(1);
  if (!s->uniformRows) s->rowHeights.resize(static_cast<size_t>(count), s->defaultRowHeight);
  s->rowCount = count;
  const int oldFirst = s->firstVisibleRow;
  RecomputeLastFirstVisible();
  if (s->currentRow >= count) s->currentRow = s->prevCurrentRow = s->cursorRow = count - 1;
  if (s->cursorRow >= count) s->cursorRow = count - 1;
  s->RecomputeFrozen();
  if (s->firstVisibleRow != oldFirst) NotifyChange();
  if (s->currentRow < 0 && count > 0) MoveToRow(0);
  if (redraw) RedrawAll();
  return 0;
}

int CGridCore::InsertRow(int row) {
  if (row < 0 || row > sheet_->rowCount) return 1;
  const int r = sheet_->currentSource->InsertRow(row);
  if (r == 0) SetRowCount(sheet_->rowCount + 1, 1);
  return r;
}

int CGridCore::AppendRow() {
  const int r = sheet_->currentSource->AppendRow();
  if (r == 0) SetRowCount(sheet_->rowCount + 1, 1);
  return r;
}

int CGridCore::DeleteRow(int row) {
  if (row < 0 || row >= sheet_->rowCount) return 1;
  const int r = sheet_->currentSource->DeleteRow(row);
  if (r == 0) SetRowCount(sheet_->rowCount - 1, 1);
  return r;
}

int CGridCore::SetColumnWidth(int col, int width) {
  CGridSheetInfo* s = sheet_;
  if (col >= 0 && col < s->ColumnCount()) {
    s->columns[static_cast<size_t>(col)].width = width;
    if (col < s->frozenCols) s->RecomputeFrozen();
    RecomputeLastFirstVisible();
    RedrawAll();
    return 0;
  }
  if (col < 0 && col >= -s->HeadingCols()) SetHeadingColumnWidth(col, width);
  return 1;
}

int CGridCore::GetColumnWidth(int col, int* width) const {
  if (col < 0 || col >= sheet_->ColumnCount()) return 1;
  if (width) *width = sheet_->columns[static_cast<size_t>(col)].width;
  return 0;
}

int CGridCore::SetRowHeight(int row, int height) {
  CGridSheetInfo* s = sheet_;
  if (row < 0 || row >= s->rowCount) return 0;
  if (s->uniformRows || s->rowHeights.empty()) {
    s->defaultRowHeight = height;
  } else {
    s->rowHeights[static_cast<size_t>(row)] = height;
  }
  s->RecomputeFrozen();
  RecomputeLastFirstVisible();
  RedrawAll();
  return 0;
}

int CGridCore::SetDefaultRowHeight(int height) {
  if (height < 1 || height > kMaxSize) return 1;
  sheet_->defaultRowHeight = height;
  RecomputeLastFirstVisible();
  return 0;
}

int CGridCore::SetUniformRowHeight(int flag) {
  CGridSheetInfo* s = sheet_;
  if (flag) {
    s->uniformRows = true;
    std::vector<int>().swap(s->rowHeights);
  } else if (s->uniformRows) {
    s->uniformRows = false;
    s->rowHeights.assign(static_cast<size_t>(s->rowCount), s->defaultRowHeight);
  }
  s->RecomputeFrozen();
  RecomputeLastFirstVisible();
  return 0;
}

// Scales heading sizes to a new total; sizes that sum to nothing share the
// total evenly instead of being divided by zero.
void CGridCore::ApplyHeadingRescale(std::vector<int>& sizes, int total) {
  long long sum = 0;
  for (int v : sizes) sum += v;
  const int n = static_cast<int>(sizes.size());
  if (n == 0) return;
  if (sum <= 0) {
    for (int i = 0; i < n; ++i) sizes[static_cast<size_t>(i)] = total / n + (i >= n - total % n ? 1 : 0);
    return;
  }
  for (int& v : sizes) v = static_cast<int>(static_cast<double>(total) / static_cast<double>(sum) * v + 0.5);
}

int CGridCore::SetTopHeadingHeight(int height) {
  if (height < 0 || height > kMaxSize) return 1;
  ApplyHeadingRescale(sheet_->headingRowHeights, height);
  sheet_->topHeadingHeight = height;
  AdjustLayout();
  return 0;
}

int CGridCore::SetSideHeadingWidth(int width) {
  if (width < 0 || width > kMaxSize) return 1;
  ApplyHeadingRescale(sheet_->headingColWidths, width);
  sheet_->sideHeadingWidth = width;
  AdjustLayout();
  return 0;
}

int CGridCore::SetHeadingRowCount(int count) {
  if (count < 1 || count > 16) return 1;
  sheet_->headingRowHeights.resize(static_cast<size_t>(count), 0);
  AdjustLayout();
  return 0;
}

int CGridCore::SetHeadingColumnCount(int count) {
  if (count < 1 || count > 16) return 1;
  sheet_->headingColWidths.resize(static_cast<size_t>(count), 0);
  AdjustLayout();
  return 0;
}

int CGridCore::SetHeadingRowHeight(int row, int height) {
  if (row >= 0 || row < -sheet_->HeadingRows()) return 1;
  if (height < 0 || height > kMaxSize) return 2;
  sheet_->headingRowHeights[static_cast<size_t>(-row - 1)] = height;
  AdjustLayout();
  return 0;
}

int CGridCore::SetHeadingColumnWidth(int col, int width) {
  CGridSheetInfo* s = sheet_;
  if (col >= 0 || col < -s->HeadingCols()) return 1;
  if (width < 0 || width > kMaxSize) return 2;
  int& w = s->headingColWidths[static_cast<size_t>(-col - 1)];
  // The heading's width follows: one column is the whole heading, and of
  // several the others keep theirs.
  if (s->HeadingCols() == 1) {
    if (w != width) s->sideHeadingWidth = width;
  } else {
    s->sideHeadingWidth = std::max(0, s->sideHeadingWidth + width - w);
  }
  w = width;
  AdjustLayout();
  return 0;
}

int CGridCore::GetHeadingRowHeight(int row) const {
  if (row >= 0 || row < -sheet_->HeadingRows()) return 0;
  return sheet_->headingRowHeights[static_cast<size_t>(-row - 1)];
}

int CGridCore::GetHeadingColumnWidth(int col) const {
  if (col >= 0 || col < -sheet_->HeadingCols()) return 0;
  return sheet_->headingColWidths[static_cast<size_t>(-col - 1)];
}

int CGridCore::SetVScrollWidth(int width) {
  if (width < 0 || width > kMaxSize) return 1;
  sheet_->vScrollWidth = width;
  AdjustLayout();
  return 0;
}

int CGridCore::SetHScrollHeight(int height) {
  if (height < 0 || height > kMaxSize) return 1;
  sheet_->hScrollHeight = height;
  AdjustLayout();
  return 0;
}

int CGridCore::AutoSizeColumns(int firstCol, int lastCol, int maxRows, int flags) {
  CGridSheetInfo* s = sheet_;
  if (firstCol < -s->HeadingCols()) return 1;
  if (lastCol >= s->ColumnCount()) return 2;
  if (lastCol < firstCol) return 3;
  std::vector<int> rows;
  auto add = [&](int r) {
    if (static_cast<int>(rows.size()) < maxRows) rows.push_back(r);
  };
  if (flags & 1) {
    for (int r = -s->HeadingRows(); r < 0; ++r) add(r);
  }
  for (int r = 0; r < s->frozenRows && r < s->rowCount; ++r) add(r);
  for (int r = std::max(s->firstVisibleRow, s->frozenRows); r < s->rowCount; ++r) {
    if (static_cast<int>(rows.size()) >= maxRows) break;
    add(r);
  }
  HDC dc = ::GetDC(GetSafeHwnd());
  HGDIOBJ oldFont = s->defaultFont ? ::SelectObject(dc, s->defaultFont) : nullptr;
  CGridCell cell;
  for (int c = firstCol; c <= lastCol; ++c) {
    int width = 3;
    for (int r : rows) {
      GetCell(c, r, &cell);
      if (cell.HasProperty(CGridCell::kJoin)) continue;
      SIZE size{0, 0};
      GetCellType(cell.GetCellType())->MeasureBestSize(dc, &size, cell);
      width = std::max(width, static_cast<int>(size.cx));
    }
    if (c >= 0) {
      s->columns[static_cast<size_t>(c)].width = width;
    } else if (width <= kMaxSize && GetHeadingColumnWidth(c) != width) {
      s->headingColWidths[static_cast<size_t>(-c - 1)] = width;
      if (s->HeadingCols() == 1) s->sideHeadingWidth = width;
    }
  }
  if (oldFont) ::SelectObject(dc, oldFont);
  ::ReleaseDC(GetSafeHwnd(), dc);
  s->RecomputeFrozen();
  AdjustLayout();
  return 0;
}

int CGridCore::MoveColumn(int from, int to, int before) {
  CGridSheetInfo* s = sheet_;
  const int count = s->ColumnCount();
  const int insert = before ? to : to + 1;
  if (from < 0 || from >= count || insert < 0 || insert > count) return 1;
  if (insert == from || insert == from + 1) return 0;
  CGridSheetInfo::Column moved = std::move(s->columns[static_cast<size_t>(from)]);
  s->columns.erase(s->columns.begin() + from);
  const int at = insert > from ? insert - 1 : insert;
  s->columns.insert(s->columns.begin() + at, std::move(moved));
  s->RecomputeFrozen();
  RecomputeLastFirstVisible();
  RedrawAll();
  return 0;
}

int CGridCore::SetColumnMapping(int col, int sourceCol) {
  if (col < 0 || col >= sheet_->ColumnCount()) return 1;
  sheet_->columns[static_cast<size_t>(col)].sourceCol = sourceCol;
  return 0;
}

void CGridCore::AdjustLayout() {
  CGridSheetInfo* s = sheet_;
  RECT client{0, 0, 0, 0};
  if (GetSafeHwnd()) ::GetClientRect(GetSafeHwnd(), &client);
  const int W = client.right, H = client.bottom;
  const int h = s->sideHeadingWidth, t = s->topHeadingHeight;
  int v = s->vScrollWidth, sb = s->hScrollHeight, b = s->tabBarWidth;
  const int availW = W - h, availH = H - t;
  if (b > 0) b = std::max(std::min(b, availW - 30), 4);

  long long colSum = 0, rowSum = 0;
  for (int c = 0; c < s->ColumnCount() && colSum <= availW; ++c) colSum += s->ColumnWidth(c);
  for (int r = 0; r < s->rowCount && rowSum <= availH; ++r) rowSum += s->RowHeight(r);
  const bool colsFit = colSum <= availW, rowsFit = rowSum <= availH;
  const int v0 = v, s0 = sb;
  if (rowsFit && (colsFit || rowSum <= availH - s0)) v = 0;
  if (colsFit && b < 1 && (rowsFit || colSum <= availW - v0)) sb = 0;

  RECT cells{h, t, W - v, H - sb}, top{h, 0, W - v, t}, side{0, t, h, H - sb}, corner{0, 0, h, t};
  RECT tab{0, H - sb, b, H}, vbar{W - v, 0, W, H - sb}, hbar{b, H - sb, W - v, H};
  s->cellAreaWidth = std::max(0, static_cast<int>(cells.right - cells.left));
  s->cellAreaHeight = std::max(0, static_cast<int>(cells.bottom - cells.top));
  OnLayoutAdjusted(&cells, &top, &side, &corner, &vbar, &hbar, &tab);
  s->cellAreaRect = cells;
  s->topHeadingRect = top;
  s->sideHeadingRect = side;
  s->cornerRect = corner;
  s->tabBarRect = tab;
  s->vScrollRect = vbar;
  s->hScrollRect = hbar;
  s->cellAreaWidth = std::max(0, static_cast<int>(cells.right - cells.left));
  s->cellAreaHeight = std::max(0, static_cast<int>(cells.bottom - cells.top));

  cellArea_->Move(cells, false);
  topHeading_->Move(top, false);
  sideHeading_->Move(side, false);
  corner_->Move(corner, false);
  vScroll_->Move(vbar, true);
  hScroll_->Move(hbar, true);
  tabs_->Move(tab, true);
  const bool nested = inLayout_;
  inLayout_ = true;
  RecomputeLastFirstVisible();
  inLayout_ = nested;
  vScroll_->Update();
  hScroll_->Update();
  RedrawAll();
  s->prevFirstVisibleCol = s->firstVisibleCol;
  s->prevFirstVisibleRow = s->firstVisibleRow;
}

void CGridCore::RecomputeLastFirstVisible() {
  CGridSheetInfo* s = sheet_;
  const int oldRowLimit = s->lastFirstVisibleRow;
  auto limit = [](int count, int frozen, int room, auto size) {
    int result = frozen;
    for (int i = count - 1; i >= frozen; --i) {
      room -= size(i);
      if (room < 0) {
        result = std::min(i + 1, count - 1);
        break;
      }
    }
    return std::max(result, frozen);
  };
  s->lastFirstVisibleCol = limit(s->ColumnCount(), s->frozenCols, s->cellAreaWidth - s->frozenWidth,
                                 [s](int c) { return s->ColumnWidth(c); });
  s->lastFirstVisibleRow = limit(s->rowCount, s->frozenRows, s->cellAreaHeight - s->frozenHeight,
                                 [s](int r) { return s->RowHeight(r); });
  s->firstVisibleCol = std::min(std::max(s->firstVisibleCol, s->frozenCols), s->lastFirstVisibleCol);
  s->firstVisibleRow = std::min(std::max(s->firstVisibleRow, s->frozenRows), s->lastFirstVisibleRow);
  // The vertical bar appears or disappears with the limit.
  if (!inLayout_ && GetSafeHwnd() && (oldRowLimit == 0) != (s->lastFirstVisibleRow == 0)) AdjustLayout();
}

int CGridCore::ColumnLeft(int col) const {
  const CGridSheetInfo* s = sheet_;
  if (col < 0) {
    int x = 0;
    for (int c = -s->HeadingCols(); c < col; ++c) x += GetHeadingColumnWidth(c);
    return x;
  }
  int x = 0;
  if (col < s->frozenCols) {
    for (int c = 0; c < col; ++c) x += s->ColumnWidth(c);
    return x;
  }
  if (col < s->firstVisibleCol) return s->frozenWidth;
  x = s->frozenWidth;
  for (int c = s->firstVisibleCol; c < col; ++c) x += s->ColumnWidth(c);
  return x;
}

int CGridCore::RowTop(int row) const {
  const CGridSheetInfo* s = sheet_;
  if (row < 0) {
    int y = 0;
    for (int r = -s->HeadingRows(); r < row; ++r) y += GetHeadingRowHeight(r);
    return y;
  }
  int y = 0;
  if (row < s->frozenRows) {
    for (int r = 0; r < row; ++r) y += s->RowHeight(r);
    return y;
  }
  if (row < s->firstVisibleRow) return s->frozenHeight;
  y = s->frozenHeight;
  for (int r = s->firstVisibleRow; r < row; ++r) y += s->RowHeight(r);
  return y;
}

void CGridCore::RawCellRect(int col, int row, RECT* rect) const {
  const CGridSheetInfo* s = sheet_;
  rect->left = ColumnLeft(col);
  const bool colHidden = col >= s->frozenCols && col < s->firstVisibleCol;
  rect->right = rect->left + (colHidden ? 0 : (col < 0 ? GetHeadingColumnWidth(col) : s->ColumnWidth(col)));
  rect->top = RowTop(row);
  const bool rowHidden = row >= s->frozenRows && row < s->firstVisibleRow;
  rect->bottom = rect->top + (rowHidden ? 0 : (row < 0 ? GetHeadingRowHeight(row) : s->RowHeight(row)));
}

int CGridCore::GetCellRect(int col, int row, RECT* rect) {
  const CGridSheetInfo* s = sheet_;
  if (!rect || col >= s->ColumnCount() || row >= s->rowCount || col < -s->HeadingCols() || row < -s->HeadingRows()) {
    return 1;
  }
  int oc, orow, nc, nr;
  if (s->joinOption && GetJoinBlock(col, row, &oc, &orow, &nc, &nr)) {
    RECT first, last;
    RawCellRect(oc, orow, &first);
    RawCellRect(oc + nc - 1, orow + nr - 1, &last);
    *rect = RECT{first.left, first.top, std::max(first.right, last.right), std::max(first.bottom, last.bottom)};
    return 0;
  }
  RawCellRect(col, row, rect);
  return 0;
}

int CGridCore::HitTest(int x, int y, int* col, int* row, RECT* rect) {
  const CGridSheetInfo* s = sheet_;
  if (x < 0 || y < 0 || x >= s->cellAreaWidth || y >= s->cellAreaHeight) return 1;
  auto walk = [](int pos, int count, int frozen, int first, auto size, int* index, int* start, int* end) {
    int sum = 0;
    for (int i = 0; i < count; ++i) {
      if (i == frozen && first > i) i = first;
      if (i >= count) break;
      const int from = sum;
      sum += size(i);
      if (sum > pos) {
        *index = i;
        *start = from;
        *end = sum;
        return true;
      }
    }
    return false;
  };
  int c, r, left, right, top, bottom;
  if (!walk(x, s->ColumnCount(), s->frozenCols, s->firstVisibleCol, [s](int i) { return s->ColumnWidth(i); }, &c,
            &left, &right)) {
    return 1;
  }
  if (!walk(y, s->rowCount, s->frozenRows, s->firstVisibleRow, [s](int i) { return s->RowHeight(i); }, &r, &top,
            &bottom)) {
    return 1;
  }
  RECT cellRect{left, top, right, bottom};
  int oc, orow, nc, nr;
  if (s->joinOption && GetJoinBlock(c, r, &oc, &orow, &nc, &nr)) {
    c = oc;
    r = orow;
    GetCellRect(c, r, &cellRect);
  }
  if (col) *col = c;
  if (row) *row = r;
  if (rect) *rect = cellRect;
  return 0;
}
