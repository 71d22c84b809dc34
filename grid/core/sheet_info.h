// CGridSheetInfo: everything that differs between the sheets of a grid:
// columns, rows, heading sizes and heading cells, cursor and current cell,
// scroll position, the part rectangles of the last layout, options, default
// cells, the sheet's own data source and its selection. The grid works on
// its current sheet; the members are the grid's to keep consistent.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "grid/cell/grid_cell.h"
#include "grid/data/mem_source.h"
#include "grid/data/selection.h"

class CGridSheetInfo {
 public:
  struct Column {
    int width = 75;
    CGridDataSource* source = nullptr;   // not owned
    std::unique_ptr<CGridCell> defaultCell;
    int sourceCol = 0;
  };

  // Selection input kinds: how the last move was made.
  enum : int { kInputKeyboard = 0, kInputLeft = 1, kInputRight = 2, kInputDrag = 3 };

  CGridSheetInfo();
  virtual ~CGridSheetInfo();
  CGridSheetInfo(const CGridSheetInfo&) = delete;
  CGridSheetInfo& operator=(const CGridSheetInfo&) = delete;

  // Columns.
  std::vector<Column> columns;
  int currentCol = -1, prevCurrentCol = -1;
  int firstVisibleCol = 0, prevFirstVisibleCol = 0, lastFirstVisibleCol = 0;
  int defaultColWidth = 75;
  int lastVisibleCol = 0;
  int cursorCol = -1;

  // Rows: per-row heights unless uniform (every row defaultRowHeight).
  int rowCount = 0;
  int currentRow = -1, prevCurrentRow = -1;
  int firstVisibleRow = 0, prevFirstVisibleRow = 0, lastFirstVisibleRow = 0;
  std::vector<int> rowHeights;
  int defaultRowHeight = 20;
  bool uniformRows = false;
  int lastVisibleRow = 0;
  int cursorRow = -1;

  // Heading rows from the cells outwards: index 0 is row -1.
  std::vector<int> headingRowHeights{20};
  std::vector<int> headingColWidths{25};

  CGridCell defaultCell;
  CGridCell headingDefaultCell;

  int topHeadingHeight = 20;
  int sideHeadingWidth = 40;
  int vScrollWidth;
  int hScrollHeight;
  int tabBarWidth = 0;

  int cellAreaWidth = 0, cellAreaHeight = 0;
  RECT cellAreaRect{}, topHeadingRect{}, sideHeadingRect{}, cornerRect{}, tabBarRect{}, vScrollRect{},
      hScrollRect{};

  bool wholeRowSelection = false;
  int highlightStyle = 1;
  bool popupMenuOption = false;
  bool cellTipsOption = false;
  bool vThumbTipOption = false;
  bool hThumbTipOption = false;
  int headingResizeOption = 1;
  bool autoSizeOption = true;
  bool joinOption = true;
  bool columnMoveOption = false;
  bool gridLinesOption = true;
  int vScrollMode = 0, hScrollMode = 0;
  int dragScrollExponent = 0, dragScrollDelay = 200;
  int keyRepeatDivisor = 0, keyRepeatDelay = 0;
  bool doubleBuffer = false;
  int frozenCols = 0, frozenRows = 0;
  int frozenWidth = 0, frozenHeight = 0;
  int textMargin = 2;
  int frameDepth = 1;
  bool allowOverflow = true;
  int popupPlacement = 0;

  HFONT defaultFont = nullptr;   // not owned; null: the window's font

  CGridDataSource* currentSource;   // not owned unless it is ownSource
  std::unique_ptr<CGridMemSource> ownSource;

  int inputKind = kInputKeyboard;
  unsigned inputKeyFlags = 0;
  CGridSelection selection;

  HCURSOR arrowCursor, sizeWECursor, sizeNSCursor;
  HPEN gridLinePen;   // owned

  // Heading cells, kept apart from the data sources (which have no place
  // before index 0). Column headings are keyed by data-source column so
  // that they follow their column when it moves; row headings and the
  // corner by their position.
  std::map<std::pair<int, int>, CGridCell> topHeadingCells;
  std::map<std::pair<int, int>, CGridCell> sideHeadingCells;

  int ColumnCount() const { return static_cast<int>(columns.size()); }
  int HeadingRows() const { return static_cast<int>(headingRowHeights.size()); }
  int HeadingCols() const { return static_cast<int>(headingColWidths.size()); }
  // 1 for a column outside the columns.
  int ColumnWidth(int col) const;
  // 0 for a row outside the rows.
  int RowHeight(int row) const;
  // The walks below the last row count the default height.
  int WalkRowHeight(int row) const;
  int WalkColumnWidth(int col) const;
  void RecomputeFrozen();
};
