// CGridSelection: the selected ranges of one sheet, in the order they were
// made. The anchor of the last range is where the grid's current cell goes
// while several ranges may be selected.
//
// Mode bits: kCells (ranges of cells), kWholeRows (ranges of whole rows),
// kFirstMatch (the hit test answers the first containing range instead of
// the last). Mode 0 selects nothing.
#pragma once

#include <cstddef>
#include <vector>

// What a selection needs of its grid: the column count (whole-row ranges
// span every column) and repainting of what changed.
class CGridSelectionHost {
 public:
  virtual ~CGridSelectionHost() = default;
  virtual int SelectionColumnCount() const = 0;
  virtual void RepaintCells(int left, int top, int right, int bottom) = 0;
  virtual void RepaintAllCells() = 0;
};

class CGridSelection {
 public:
  enum : int { kCells = 0x1, kWholeRows = 0x2, kFirstMatch = 0x10 };

  struct Range {
    int anchorCol, endCol, anchorRow, endRow;
    int left, right, top, bottom;
    int selected;
  };

  explicit CGridSelection(CGridSelectionHost* host = nullptr) : host_(host) {}
  void SetHost(CGridSelectionHost* host) { host_ = host; }

  // Deletes every range; repaints everything when more than one range had
  // been extended.
  void Clear();
  // Clear without the repaint.
  void Reset();
  void SetMode(int mode);
  int GetMode() const { return mode_; }

  // Starts a one-cell range (a whole row in whole-row mode) that becomes
  // the last one; nothing in mode 0.
  void AddRange(int col, int row);
  // Moves the last range's end; 1 when there is no anchor.
  int Extend(int col, int row);
  // 1 when there is no anchor.
  int GetAnchor(int* col, int* row) const;
  // The selected flag of the (last or, with kFirstMatch, first) range
  // holding the cell, its index through index; 0 when none does.
  int HitTest(int col, int row, int* index) const;
  // 2 when empty, else 0 with the box around every range.
  int BoundingBox(int* left, int* top, int* right, int* bottom) const;

  // Input: the keyboard (Shift extends, Ctrl keeps the other ranges), the
  // left button (key flags MK_CONTROL adds a range, MK_SHIFT extends,
  // neither starts over), the right button and a drag.
  void KeyMoveTo(int col, int row);
  void LeftButtonTo(int col, int row, unsigned keyFlags);
  void RightButtonTo(int col, int row);
  void DragTo(int col, int row);

  int RangeCount() const { return static_cast<int>(ranges_.size()); }
  const Range& GetRange(int i) const { return ranges_[static_cast<std::size_t>(i)]; }

 private:
  bool WholeRows() const { return (mode_ & kWholeRows) != 0; }
  int LastColumn() const;
  void RepaintBoundingBox();
  void KeyMoveTo(int col, int row, bool shift, bool ctrl);

  CGridSelectionHost* host_;
  std::vector<Range> ranges_;
  int mode_ = 0;
  bool hasAnchor_ = false;
  int anchorCol_ = -1, anchorRow_ = -1;
  int extendedCount_ = 0;
  bool extendPending_ = false;
  int lastCol_ = -1, lastRow_ = -1;
};
