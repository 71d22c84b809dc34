// CGridMemSource: the in-memory data source every sheet owns. Places exist
// from index 0 up to the highest written in each direction; a place never
// written, or emptied by DeleteCell, answers 1 from GetCell.
//
// Results (beyond the base's contract):
//   AppendRow, AppendCol   0, nothing stored (places appear when written).
//   InsertRow(row)         0; an empty row goes before row when it exists.
//   InsertCol(col)         0, or 1 when there are no rows; an empty place
//                          goes before col in every row that reaches col.
//   DeleteRow(row)         0 (also when the row does not exist); later rows
//                          move up.
//   DeleteCol(col)         0, or 1 when there are no rows.
//   DeleteCell(col, row)   0, or 1 when the place does not exist; the place
//                          stays.
//   DeleteAll              0.
//   GetCell                0 merged into cell; 1 never written or emptied,
//                          or a negative index.
//   SetCell                0; 1 for a negative index.
//   FindFirst / FindNext   0 with the place found, 1 when nothing matches.
//   SortRows               0; 1 for no key or a negative key column.
//   PrevNonEmptyCol        0 found, 1 none.
#pragma once

#include <memory>
#include <vector>

#include "grid/cell/grid_cell.h"
#include "grid/data/data_source.h"

class CGridMemSource : public CGridDataSource {
 public:
  int AppendRow() override { return 0; }
  int InsertRow(int row) override;
  int AppendCol() override { return 0; }
  int InsertCol(int col) override;
  int DeleteRow(int row) override;
  int DeleteCol(int col) override;
  int DeleteCell(int col, int row) override;
  int DeleteAll() override;
  int GetCell(int col, int row, CGridCell* cell) override;
  int SetCell(int col, int row, const CGridCell& cell) override;
  // Without kFindAlongRows the search walks down the one column from the
  // row after *row; with it, along the rows from the column after *col,
  // later rows from column 0. FindFirst starts before the first place.
  int FindFirst(const std::string& text, int* col, int* row, int flags) override;
  int FindNext(const std::string& text, int* col, int* row, int flags) override;
  // Stable: rows whose keys compare equal keep their order. Only cell
  // contents move.
  int SortRows(const int* keyCols, int keyCount, int flags) override;
  int PrevNonEmptyCol(int* col, int row) override;

  int RowPlaces() const { return static_cast<int>(rows_.size()); }

 private:
  using Row = std::vector<std::unique_ptr<CGridCell>>;
  const CGridCell* At(int col, int row) const;
  bool Matches(const CGridCell* cell, const std::string& text, int flags) const;
  int Compare(const Row& a, const Row& b, const int* keys, int keyCount, int flags);

  std::vector<Row> rows_;
  int lastFindCol_ = -1, lastFindRow_ = -1;
};
