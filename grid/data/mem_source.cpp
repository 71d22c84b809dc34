#include "grid/data/mem_source.h"

#include <mbstring.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "grid/data/cell_compare.h"

const CGridCell* CGridMemSource::At(int col, int row) const {
  if (row < 0 || col < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
  const Row& r = rows_[static_cast<size_t>(row)];
  if (col >= static_cast<int>(r.size())) return nullptr;
  return r[static_cast<size_t>(col)].get();
}

int CGridMemSource::InsertRow(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size())) rows_.insert(rows_.begin() + row, Row());
  return 0;
}

int CGridMemSource::InsertCol(int col) {
  if (rows_.empty()) return 1;
  if (col < 0) return 0;
  for (Row& r : rows_) {
    if (col < static_cast<int>(r.size())) r.insert(r.begin() + col, nullptr);
  }
  return 0;
}

int CGridMemSource::DeleteRow(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + row);
  return 0;
}

int CGridMemSource::DeleteCol(int col) {
  if (rows_.empty()) return 1;
  if (col < 0) return 0;
  for (Row& r : rows_) {
    if (col < static_cast<int>(r.size())) r.erase(r.begin() + col);
  }
  return 0;
}

int CGridMemSource::DeleteCell(int col, int row) {
  if (row < 0 || col < 0 || row >= static_cast<int>(rows_.size())) return 1;
  Row& r = rows_[static_cast<size_t>(row)];
  if (col >= static_cast<int>(r.size())) return 1;
  r[static_cast<size_t>(col)].reset();
  return 0;
}

int CGridMemSource::DeleteAll() {
  rows_.clear();
  lastFindCol_ = lastFindRow_ = -1;
  return 0;
}

int CGridMemSource::GetCell(int col, int row, CGridCell* cell) {
  const CGridCell* stored = At(col, row);
  if (!stored) return 1;
  if (cell) cell->MergeFrom(*stored);
  return 0;
}

int CGridMemSource::SetCell(int col, int row, const CGridCell& cell) {
  if (col < 0 || row < 0) return 1;
  if (row >= static_cast<int>(rows_.size())) rows_.resize(static_cast<size_t>(row) + 1);
  Row& r = rows_[static_cast<size_t>(row)];
  if (col >= static_cast<int>(r.size())) r.resize(static_cast<size_t>(col) + 1);
  auto& slot = r[static_cast<size_t>(col)];
  if (!slot) slot.reset(new CGridCell);
  slot->CopyFrom(cell);
  return 0;
}

bool CGridMemSource::Matches(const CGridCell* cell, const std::string& text, int flags) const {
  if (!cell) return false;
  const char* t = cell->GetTextPtr();
  if (!t) t = "";
  if (flags & kFindSubstring) {
    if (!(flags & kFindIgnoreCase)) return std::strstr(t, text.c_str()) != nullptr;
    // "Match case" off holds for substrings too.
    const std::string hay(t);
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(hay.begin(), hay.end(), text.begin(), text.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != hay.end();
  }
  const auto* a = reinterpret_cast<const unsigned char*>(text.c_str());
  const auto* b = reinterpret_cast<const unsigned char*>(t);
  return (flags & kFindIgnoreCase) ? _mbsicmp(a, b) == 0 : _mbscmp(a, b) == 0;
}

int CGridMemSource::FindFirst(const std::string& text, int* col, int* row, int flags) {
  if (!col || !row) return 1;
  if (flags & kFindAlongRows) {
    *col = -1;
    *row = 0;
  } else {
    *row = -1;
  }
  return FindNext(text, col, row, flags);
}

int CGridMemSource::FindNext(const std::string& text, int* col, int* row, int flags) {
  if (!col || !row) return 1;
  const int rowCount = static_cast<int>(rows_.size());
  if (flags & kFindAlongRows) {
    int c = *col + 1;
    for (int r = *row < 0 ? 0 : *row; r < rowCount; ++r, c = 0) {
      const int width = static_cast<int>(rows_[static_cast<size_t>(r)].size());
      for (c = c < 0 ? 0 : c; c < width; ++c) {
        if (Matches(At(c, r), text, flags)) {
          *col = lastFindCol_ = c;
          *row = lastFindRow_ = r;
          return 0;
        }
      }
    }
    return 1;
  }
  for (int r = (*row < -1 ? -1 : *row) + 1; r < rowCount; ++r) {
    if (Matches(At(*col, r), text, flags)) {
      *row = lastFindRow_ = r;
      lastFindCol_ = *col;
      return 0;
    }
  }
  return 1;
}

int CGridMemSource::Compare(const Row& a, const Row& b, const int* keys, int keyCount, int flags) {
  for (int k = 0; k < keyCount; ++k) {
    const size_t c = static_cast<size_t>(keys[k]);
    const CGridCell* x = c < a.size() ? a[c].get() : nullptr;
    const CGridCell* y = c < b.size() ? b[c].get() : nullptr;
    const int r = comparer_ ? comparer_->CompareCells(x, y, flags) : CompareGridCells(x, y, flags);
    if (r != 0) return r;
  }
  return 0;
}

int CGridMemSource::SortRows(const int* keyCols, int keyCount, int flags) {
  if (!keyCols || keyCount < 1) return 1;
  for (int k = 0; k < keyCount; ++k) {
    if (keyCols[k] < 0) return 1;
  }
  // A bottom-up merge sort: stable, O(n log n), and bounded by its indexes
  // alone, so even a comparison that contradicts itself cannot make it run
  // off or never end. A row moves only when it compares strictly before.
  const size_t n = rows_.size();
  std::vector<Row> buf(n);
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = lo + width < n ? lo + width : n;
      const size_t hi = lo + 2 * width < n ? lo + 2 * width : n;
      size_t i = lo, j = mid, o = lo;
      while (i < mid && j < hi) {
        if (Compare(rows_[i], rows_[j], keyCols, keyCount, flags) > 0) {
          buf[o++] = std::move(rows_[j++]);
        } else {
          buf[o++] = std::move(rows_[i++]);
        }
      }
      while (i < mid) buf[o++] = std::move(rows_[i++]);
      while (j < hi) buf[o++] = std::move(rows_[j++]);
    }
    rows_.swap(buf);
  }
  return 0;
}

int CGridMemSource::PrevNonEmptyCol(int* col, int row) {
  if (!col) return 1;
  for (int c = *col - 1; c >= 0; --c) {
    const CGridCell* cell = At(c, row);
    if (cell && cell->GetTextLength() > 0) {
      *col = c;
      return 0;
    }
  }
  return 1;
}
