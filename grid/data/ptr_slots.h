// CGridPtrSlots: a registry of pointers by index (cell types, data
// sources). It never owns what it holds.
#pragma once

#include <vector>

class CGridPtrSlots {
 public:
  // The first free index, growing by 10 entries when all are used; -1 for
  // null or when the registry cannot grow.
  int Add(void* p, int value = 0);
  // Null for an index outside the registry or a free entry.
  void* Get(int index) const;
  int GetValue(int index) const;
  // 1 for an index outside the registry or a free entry.
  int Remove(int index);
  int UsedCount() const { return used_; }
  int Capacity() const { return static_cast<int>(entries_.size()); }

 private:
  struct Entry {
    bool inUse = false;
    void* ptr = nullptr;
    int value = 0;
    unsigned char extra[16] = {};
  };
  std::vector<Entry> entries_;
  int used_ = 0;
};
