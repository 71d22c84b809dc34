// CGridDrawHint: the cells a part window must repaint at its next paint,
// as a list of ranges with their bounding range, plus the joined blocks
// already painted in the present paint (so a block is drawn once).
#pragma once

#include <utility>
#include <vector>

class CGridDrawHint {
 public:
  struct Range {
    int left, top, right, bottom;
  };
  // Appends a range (l..r, t..b inclusive) and widens the bounding range.
  void AddRange(int left, int top, int right, int bottom);
  void AddCell(int col, int row) { AddRange(col, row, col, row); }
  // Widens the first range (adding it when there is none).
  void Widen(int left, int top, int right, int bottom);
  // 1 when some range holds the cell; 0 when empty or outside.
  int Contains(int col, int row) const;
  void AddPainted(int col, int row) { painted_.emplace_back(col, row); }
  bool WasPainted(int col, int row) const;
  void Clear();
  bool IsEmpty() const { return ranges_.empty(); }
  const Range& Bounds() const { return bounds_; }

 private:
  std::vector<Range> ranges_;
  Range bounds_{0, 0, -1, -1};
  std::vector<std::pair<int, int>> painted_;
};
