#include "grid/parts/draw_hint.h"

#include <algorithm>

void CGridDrawHint::AddRange(int left, int top, int right, int bottom) {
  if (ranges_.empty()) {
    bounds_ = Range{left, top, right, bottom};
  } else {
    bounds_.left = std::min(bounds_.left, left);
    bounds_.top = std::min(bounds_.top, top);
    bounds_.right = std::max(bounds_.right, right);
    bounds_.bottom = std::max(bounds_.bottom, bottom);
  }
  ranges_.push_back(Range{left, top, right, bottom});
}

void CGridDrawHint::Widen(int left, int top, int right, int bottom) {
  if (ranges_.empty()) {
    AddRange(left, top, right, bottom);
    return;
  }
  Range& f = ranges_.front();
  f = Range{std::min(f.left, left), std::min(f.top, top), std::max(f.right, right), std::max(f.bottom, bottom)};
  bounds_ = Range{std::min(bounds_.left, left), std::min(bounds_.top, top), std::max(bounds_.right, right),
                  std::max(bounds_.bottom, bottom)};
}

int CGridDrawHint::Contains(int col, int row) const {
  if (ranges_.empty() || col < bounds_.left || col > bounds_.right || row < bounds_.top || row > bounds_.bottom) {
    return 0;
  }
  for (const Range& r : ranges_) {
    if (col >= r.left && col <= r.right && row >= r.top && row <= r.bottom) return 1;
  }
  return 0;
}

bool CGridDrawHint::WasPainted(int col, int row) const {
  return std::find(painted_.begin(), painted_.end(), std::make_pair(col, row)) != painted_.end();
}

void CGridDrawHint::Clear() {
  ranges_.clear();
  painted_.clear();
  bounds_ = Range{0, 0, -1, -1};
}
