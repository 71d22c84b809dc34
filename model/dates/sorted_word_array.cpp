// CSortedWordArray: binary searches over an ascending vector.
#include "model/dates/sorted_word_array.h"

#include <algorithm>

bool CSortedWordArray::InsertUnique(uint16_t v) {
  auto it = std::lower_bound(values_.begin(), values_.end(), v);
  if (it != values_.end() && *it == v) return false;
  values_.insert(it, v);
  return true;
}

bool CSortedWordArray::Contains(uint16_t v) const { return values_.empty() || Has(v); }

bool CSortedWordArray::Has(uint16_t v) const { return std::binary_search(values_.begin(), values_.end(), v); }

int CSortedWordArray::NextAfter(uint16_t v) const {
  if (values_.empty()) return -1;
  auto it = std::upper_bound(values_.begin(), values_.end(), v);
  return it == values_.end() ? values_.front() : *it;
}

void CSortedWordArray::CopyFrom(const std::vector<uint16_t>& other) {
  values_.clear();
  for (uint16_t v : other) InsertUnique(v);
}

void CSortedWordArray::CopyFrom(const std::vector<int16_t>& other) {
  values_.clear();
  for (int16_t v : other) InsertUnique(static_cast<uint16_t>(v));
}
