#include "isam/index/key_compare.h"

namespace isam {

int KeyCompare(const uint8_t* a, const uint8_t* b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (a[i] != b[i]) {
      const int magnitude = static_cast<int>(i) + 1;
      return a[i] < b[i] ? -magnitude : magnitude;
    }
  }
  return 0;
}

}  // namespace isam
