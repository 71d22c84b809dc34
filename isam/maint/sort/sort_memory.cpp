// Sorting the keys in memory by their pointers.
#include <algorithm>
#include <cstring>

#include "isam/maint/sort/sort_context.h"

namespace isam::maint {

void SortPointers(uint8_t** keys, int32_t count, int32_t key_length) {
  if (count < 2) return;
  const std::size_t n = static_cast<std::size_t>(key_length);
  auto less = [n](const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, n) < 0; };
  if (count >= 1000) {
    // Introspective sort: quicksort with a bounded depth, so no input
    // (sorted, reversed, all equal) can make it quadratic.
    std::sort(keys, keys + count, less);
    return;
  }
  // Shell sort with the gaps ..., 40, 13, 4, 1.
  int32_t h = 1;
  while (h <= count) h = 3 * h + 1;
  while ((h /= 3) > 0) {
    for (int32_t i = h; i < count; ++i) {
      uint8_t* v = keys[i];
      int32_t j = i;
      while (j >= h && less(v, keys[j - h])) {
        keys[j] = keys[j - h];
        j -= h;
      }
      keys[j] = v;
    }
  }
}

}  // namespace isam::maint
