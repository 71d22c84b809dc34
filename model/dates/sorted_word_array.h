// CSortedWordArray: an ascending set of 16-bit values without duplicates,
// the small-integer sets the recurrence engine matches against (allowed
// hours, resolved month days, ...). Values compare as unsigned 16-bit
// numbers. An empty set allows every value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CSortedWordArray {
 public:
  using const_iterator = std::vector<uint16_t>::const_iterator;

  CSortedWordArray() = default;
  virtual ~CSortedWordArray() = default;
  CSortedWordArray(const CSortedWordArray&) = default;
  CSortedWordArray& operator=(const CSortedWordArray&) = default;

  // Inserts v in ascending place; an equal element already present leaves
  // the set unchanged. Returns true when v was added.
  bool InsertUnique(uint16_t v);
  // True for an empty set (an empty set allows every value); otherwise true
  // when v is present.
  bool Contains(uint16_t v) const;
  // The first element greater than v; when there is none, the first element
  // (wrap-around); -1 for an empty set.
  int NextAfter(uint16_t v) const;
  // True when v is present (false for an empty set, unlike Contains).
  bool Has(uint16_t v) const;

  // Empties the set and inserts every element of the other array. The
  // result is ascending and without duplicates even when the source is not.
  void CopyFrom(const std::vector<uint16_t>& other);
  void CopyFrom(const std::vector<int16_t>& other);
  void CopyFrom(const CSortedWordArray& other) { *this = other; }

  void RemoveAll() { values_.clear(); }
  size_t GetSize() const { return values_.size(); }
  bool IsEmpty() const { return values_.empty(); }
  // Element by position 0..GetSize()-1 (unchecked).
  uint16_t GetAt(size_t index) const { return values_[index]; }
  // The smallest / largest element; the set must not be empty.
  uint16_t First() const { return values_.front(); }
  uint16_t Last() const { return values_.back(); }
  const_iterator begin() const { return values_.begin(); }
  const_iterator end() const { return values_.end(); }
  const std::vector<uint16_t>& Values() const { return values_; }

 private:
  std::vector<uint16_t> values_;
};
