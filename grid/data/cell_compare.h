// The ordering of cells used by sorting: a small interface the grid
// implements (so a program grid may replace it) and the default order.
#pragma once

class CGridCell;

class CGridCellComparer {
 public:
  virtual ~CGridCellComparer() = default;
  // Above 0 when a sorts after b, below 0 before, 0 equal. Either cell may
  // be null (the row has no cell there).
  virtual int CompareCells(const CGridCell* a, const CGridCell* b, int flags) = 0;
};

enum : int { kGridSortDescending = 0x2 };

// The default order, a total order whatever the cells hold, so that every
// sort ends: null cells first, then present cells without text, then cells
// with text; two cells whose data types are both numeric (2, 3, 5) compare
// as numbers, any other pair as texts. Flag kGridSortDescending reverses it.
int CompareGridCells(const CGridCell* a, const CGridCell* b, int flags);
