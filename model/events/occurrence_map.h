// COccurrenceMap<Value>: the per-occurrence map of an event, keyed by the
// scheduled date of an occurrence. Two keys are the same when they have the
// same Julian day and seconds on the CDateTime comparison basis (a floating
// key and the UTC key of the same moment are one entry).
//
// Entries are kept in a vector sorted by key, so "map order" (iteration,
// and "the first override that matches") is ascending scheduled date and
// does not depend on the history of inserts and removals. Keys and values
// are copies owned by the map.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/dates/date_time.h"

template <class Value>
class COccurrenceMap {
 public:
  using Entry = std::pair<CDateTime, Value>;
  using const_iterator = typename std::vector<Entry>::const_iterator;
  using iterator = typename std::vector<Entry>::iterator;

  // Copies the value of the date into *value and returns true, or returns
  // false and leaves *value alone.
  bool Lookup(const CDateTime& date, Value& value) const {
    const Value* found = GetAssocAt(date);
    if (!found) return false;
    value = *found;
    return true;
  }
  // The value of the date, or nullptr.
  const Value* GetAssocAt(const CDateTime& date) const {
    auto it = LowerBound(date);
    return (it != entries_.end() && it->first == date) ? &it->second : nullptr;
  }
  Value* GetAssocAt(const CDateTime& date) {
    auto it = LowerBound(date);
    return (it != entries_.end() && it->first == date) ? &it->second : nullptr;
  }
  // The value of the date, created (default constructed) when missing. The
  // reference stays valid until the next insertion or removal.
  Value& operator[](const CDateTime& date) {
    auto it = LowerBound(date);
    if (it != entries_.end() && it->first == date) return it->second;
    it = entries_.insert(it, Entry(date, Value()));
    return it->second;
  }
  // Removes the date's entry; false when there is none.
  bool RemoveKey(const CDateTime& date) {
    auto it = LowerBound(date);
    if (it == entries_.end() || !(it->first == date)) return false;
    entries_.erase(it);
    if (entries_.empty()) std::vector<Entry>().swap(entries_);
    return true;
  }
  // Removes every entry and releases the storage.
  void RemoveAll() { std::vector<Entry>().swap(entries_); }

  size_t GetCount() const { return entries_.size(); }
  bool IsEmpty() const { return entries_.empty(); }
  // ---- Iteration by position, for callers written against the class
  // library's maps. A position of kStartPosition (all bits set) starts at
  // the first entry; each GetNextAssoc copies one entry out and moves the
  // position on, to 0 after the last. GetNextAssoc answers false (and sets
  // the position to 0) when there is no entry at the position: an empty
  // map, or the end. Positions are invalid after an insertion or removal.
  using Position = uintptr_t;
  static constexpr Position kStartPosition = ~static_cast<Position>(0);
  // kStartPosition, or 0 for an empty map.
  Position GetStartPosition() const { return entries_.empty() ? 0 : kStartPosition; }
  bool GetNextAssoc(Position& position, CDateTime& key, Value& value) const {
    // Entry i has the position i + 1, so 0 stays free to mean "the end".
    const size_t index = position == kStartPosition ? 0 : static_cast<size_t>(position) - 1;
    if (position == 0 || index >= entries_.size()) {
      position = 0;
      return false;
    }
    key = entries_[index].first;
    value = entries_[index].second;
    position = index + 1 < entries_.size() ? static_cast<Position>(index + 2) : 0;
    return true;
  }

  // Ascending scheduled date. Keys must not be changed through iterators.
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }

 private:
  const_iterator LowerBound(const CDateTime& date) const {
    return std::lower_bound(entries_.begin(), entries_.end(), date,
                            [](const Entry& e, const CDateTime& d) { return e.first < d; });
  }
  iterator LowerBound(const CDateTime& date) {
    return std::lower_bound(entries_.begin(), entries_.end(), date,
                            [](const Entry& e, const CDateTime& d) { return e.first < d; });
  }

  std::vector<Entry> entries_;
};
