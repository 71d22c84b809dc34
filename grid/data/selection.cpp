#include "grid/data/selection.h"

#include <windows.h>

#include <algorithm>

int CGridSelection::LastColumn() const {
  const int n = host_ ? host_->SelectionColumnCount() : 0;
  return n > 0 ? n - 1 : 0;
}

void CGridSelection::Clear() {
  ranges_.clear();
  hasAnchor_ = false;
  if (extendedCount_ > 1 && host_) host_->RepaintAllCells();
  extendedCount_ = 0;
  extendPending_ = false;
  lastCol_ = lastRow_ = -1;
}

void CGridSelection::Reset() {
  extendedCount_ = 0;
  Clear();
}

void CGridSelection::SetMode(int mode) {
  Clear();
  mode_ = mode;
}

void CGridSelection::AddRange(int col, int row) {
  if ((mode_ & (kCells | kWholeRows)) == 0) return;
  Range r{};
  if (WholeRows()) {
    r.anchorCol = r.endCol = 1;
    r.left = 0;
    r.right = LastColumn();
  } else {
    r.anchorCol = r.endCol = r.left = r.right = col;
  }
  r.anchorRow = r.endRow = r.top = r.bottom = row;
  r.selected = 1;
  ranges_.push_back(r);
  hasAnchor_ = true;
  anchorCol_ = r.anchorCol;
  anchorRow_ = row;
  extendPending_ = true;
}

int CGridSelection::Extend(int col, int row) {
  if (!hasAnchor_ || ranges_.empty()) return 1;
  Range& r = ranges_.back();
  const Range old = r;
  r.endCol = WholeRows() ? 1 : col;
  r.endRow = row;
  if (WholeRows()) {
    r.left = 0;
    r.right = LastColumn();
  } else {
    r.left = std::min(r.anchorCol, r.endCol);
    r.right = std::max(r.anchorCol, r.endCol);
  }
  r.top = std::min(r.anchorRow, r.endRow);
  r.bottom = std::max(r.anchorRow, r.endRow);
  if (extendPending_) {
    ++extendedCount_;
    extendPending_ = false;
  }
  if (host_) {
    // Only the bands between the old and the new end change.
    const int l = std::min(old.left, r.left), rt = std::max(old.right, r.right);
    const int t = std::min(old.top, r.top), b = std::max(old.bottom, r.bottom);
    if (old.endRow != r.endRow) host_->RepaintCells(l, std::min(old.endRow, r.endRow), rt, std::max(old.endRow, r.endRow));
    if (old.endCol != r.endCol || WholeRows()) {
      host_->RepaintCells(std::min(old.endCol, r.endCol), t, std::max(old.endCol, r.endCol), b);
    }
  }
  return 0;
}

int CGridSelection::GetAnchor(int* col, int* row) const {
  if (!hasAnchor_) return 1;
  if (col) *col = anchorCol_;
  if (row) *row = anchorRow_;
  return 0;
}

int CGridSelection::HitTest(int col, int row, int* index) const {
  if (ranges_.empty()) return 0;
  if (WholeRows()) col = 1;
  int found = -1;
  for (size_t i = 0; i < ranges_.size(); ++i) {
    const Range& r = ranges_[i];
    const int left = WholeRows() ? 1 : r.left, right = WholeRows() ? 1 : r.right;
    if (col >= left && col <= right && row >= r.top && row <= r.bottom) {
      found = static_cast<int>(i);
      if (mode_ & kFirstMatch) break;
    }
  }
  if (found < 0) return 0;
  if (index) *index = found;
  return ranges_[static_cast<size_t>(found)].selected;
}

int CGridSelection::BoundingBox(int* left, int* top, int* right, int* bottom) const {
  if (ranges_.empty()) return 2;
  int l = ranges_[0].left, t = ranges_[0].top, r = ranges_[0].right, b = ranges_[0].bottom;
  for (const Range& x : ranges_) {
    l = std::min(l, x.left);
    t = std::min(t, x.top);
    r = std::max(r, x.right);
    b = std::max(b, x.bottom);
  }
  if (left) *left = l;
  if (top) *top = t;
  if (right) *right = r;
  if (bottom) *bottom = b;
  return 0;
}

void CGridSelection::RepaintBoundingBox() {
  int l, t, r, b;
  if (host_ && BoundingBox(&l, &t, &r, &b) == 0) host_->RepaintCells(l, t, r, b);
}

void CGridSelection::KeyMoveTo(int col, int row) {
  KeyMoveTo(col, row, ::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0);
}

void CGridSelection::KeyMoveTo(int col, int row, bool shift, bool ctrl) {
  if (col == lastCol_ && row == lastRow_) return;
  lastCol_ = col;
  lastRow_ = row;
  if (shift) {
    Extend(col, row);
    return;
  }
  if (!ctrl) {
    RepaintBoundingBox();
    Clear();
  }
  AddRange(col, row);
  lastCol_ = col;
  lastRow_ = row;
}

void CGridSelection::LeftButtonTo(int col, int row, unsigned keyFlags) {
  if (col == lastCol_ && row == lastRow_) return;
  if (keyFlags & MK_CONTROL) {
    AddRange(col, row);
  } else if (keyFlags & MK_SHIFT) {
    Extend(col, row);
  } else {
    RepaintBoundingBox();
    Clear();
    AddRange(col, row);
  }
  lastCol_ = col;
  lastRow_ = row;
}

void CGridSelection::RightButtonTo(int col, int row) {
  if (HitTest(col, row, nullptr)) return;
  RepaintBoundingBox();
  Clear();
  AddRange(col, row);
  lastCol_ = col;
  lastRow_ = row;
}

void CGridSelection::DragTo(int col, int row) {
  if (col == lastCol_ && row == lastRow_) return;
  Extend(col, row);
  lastCol_ = col;
  lastRow_ = row;
}
