// CGridDataSource: the cell store behind a grid's columns. Every operation
// of this base answers "not supported" (-1), or the neutral answer for the
// notifications, so a column mapped to a bare source shows defaults and
// refuses row changes. The grid treats any answer other than the one it
// asks for as a failure.
#pragma once

#include <string>

class CGridCell;
class CGridCellComparer;
class CGridCore;

class CGridDataSource {
 public:
  CGridDataSource() = default;
  virtual ~CGridDataSource() = default;
  CGridDataSource(const CGridDataSource&) = delete;
  CGridDataSource& operator=(const CGridDataSource&) = delete;

  // Set by the grid that uses the source; sorting orders cells through the
  // comparer (the grid's CompareCells), or the default order without one.
  void SetOwner(CGridCore* owner, CGridCellComparer* comparer) {
    owner_ = owner;
    comparer_ = comparer;
  }
  CGridCore* GetOwner() const { return owner_; }

  // Rows and columns; 0 done.
  virtual int AppendRow() { return -1; }
  virtual int InsertRow(int /*row*/) { return -1; }
  virtual int AppendCol() { return -1; }
  virtual int InsertCol(int /*col*/) { return -1; }
  virtual int DeleteRow(int /*row*/) { return -1; }
  virtual int DeleteCol(int /*col*/) { return -1; }
  virtual int DeleteCell(int /*col*/, int /*row*/) { return -1; }
  virtual int DeleteAll() { return -1; }
  // GetCell merges the stored cell into cell (0 found); SetCell stores a
  // copy (0 done).
  virtual int GetCell(int /*col*/, int /*row*/, CGridCell* /*cell*/) { return -1; }
  virtual int SetCell(int /*col*/, int /*row*/, const CGridCell& /*cell*/) { return -1; }
  // Search flags: kFindSubstring, kFindIgnoreCase, kFindAlongRows; 0 found.
  virtual int FindFirst(const std::string& /*text*/, int* /*col*/, int* /*row*/, int /*flags*/) { return -1; }
  virtual int FindNext(const std::string& /*text*/, int* /*col*/, int* /*row*/, int /*flags*/) { return -1; }
  // Sort flags: kGridSortDescending (cell_compare.h).
  virtual int SortRows(const int* /*keyCols*/, int /*keyCount*/, int /*flags*/) { return -1; }
  virtual int SortRowsByColumn(int col, int flags) { return SortRows(&col, 1, flags); }

  // A move or the paint went past the last row; may add rows and hand a
  // value through param, which the grid passes on to its own notification.
  virtual int OnRowsRequested(int /*rowCount*/, int /*rowsMissing*/, void** /*param*/) { return -1; }
  // Told before the grid's own notifications.
  virtual void OnCurrentRowChanged(int /*oldRow*/, int /*newRow*/) {}
  virtual void OnCurrentColumnChanged(int /*oldCol*/, int /*newCol*/) {}
  // Any answer other than 1 refuses the move.
  virtual int OnCanMoveCurrentCell(int /*oldCol*/, int /*oldRow*/, int /*newCol*/, int /*newRow*/) { return 1; }
  // In-place editing (0 refuses; any answer but 1 refuses the end or the
  // move to the next cell).
  virtual int OnEditBegin(int /*col*/, int /*row*/, void** /*editor*/) { return 1; }
  virtual int OnEditEnd(int /*col*/, int /*row*/, void* /*editor*/, std::string* /*text*/, int /*cancelled*/) {
    return 1;
  }
  virtual int OnEditMoveNext(int /*col*/, int /*row*/, int* /*nextCol*/, int* /*nextRow*/) { return 1; }
  // The nearest column left of *col in row whose cell has text; 0 found.
  virtual int PrevNonEmptyCol(int* /*col*/, int /*row*/) { return -1; }

  enum : int { kFindSubstring = 0x1, kFindIgnoreCase = 0x2, kFindAlongRows = 0x8 };

 protected:
  CGridCore* owner_ = nullptr;
  CGridCellComparer* comparer_ = nullptr;
};
