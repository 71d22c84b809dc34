#include "grid/data/ptr_slots.h"

#include <cstddef>
#include <new>

int CGridPtrSlots::Add(void* p, int value) {
  if (!p) return -1;
  std::size_t i = 0;
  while (i < entries_.size() && entries_[i].inUse) ++i;
  if (i == entries_.size()) {
    try {
      entries_.resize(entries_.size() + 10);
    } catch (const std::bad_alloc&) {
      return -1;
    }
  }
  entries_[i].inUse = true;
  entries_[i].ptr = p;
  entries_[i].value = value;
  ++used_;
  return static_cast<int>(i);
}

void* CGridPtrSlots::Get(int index) const {
  if (index < 0 || index >= Capacity() || !entries_[static_cast<std::size_t>(index)].inUse) return nullptr;
  return entries_[static_cast<std::size_t>(index)].ptr;
}

int CGridPtrSlots::GetValue(int index) const {
  return Get(index) ? entries_[static_cast<std::size_t>(index)].value : 0;
}

int CGridPtrSlots::Remove(int index) {
  if (!Get(index)) return 1;
  entries_[static_cast<std::size_t>(index)] = Entry();
  --used_;
  return 0;
}
