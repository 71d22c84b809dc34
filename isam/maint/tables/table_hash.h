// Bucket of a batch or context number: a non-negative remainder, so
// negative numbers land inside the table, and at least one bucket, so a
// hash size of 0 never divides by zero.
#pragma once

#include <cstdint>

namespace isam::maint {

inline int32_t BucketCount(int32_t hash_size) { return hash_size < 1 ? 1 : hash_size; }

inline int32_t BucketOf(int32_t number, int32_t buckets) {
  const int32_t r = number % buckets;
  return r < 0 ? r + buckets : r;
}

}  // namespace isam::maint
