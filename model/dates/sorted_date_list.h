// SortedDateList<Entry, Key>: the shared engine behind CDateTimeList and
// CDateRangeList: an ascending list without duplicates, ordered by the
// CDateTime comparison rule applied to Key(entry), with the lookup of the
// first entry on or after a moment.
//
// Entries are held by value in a sorted std::vector; lookups and sorted
// insertion are binary searches. Not meant to be used directly: include the
// list you need.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "model/dates/date_time.h"

template <class Entry, class Key>
class SortedDateList {
 public:
  using const_iterator = typename std::vector<Entry>::const_iterator;

  // When false (the default), a lookup for a moment before the first entry
  // finds nothing; when true it finds the first entry. Not copied by
  // assignment.
  bool allowBeforeFirst = false;

  SortedDateList() = default;
  SortedDateList(const SortedDateList& other) : entries_(other.entries_) {}
  SortedDateList& operator=(const SortedDateList& other) {
    if (this != &other) entries_ = other.entries_;
    return *this;
  }

  // Empties the list.
  void DeleteAll() { entries_.clear(); }

  // Adds a copy at the head / tail, where the caller knows it belongs. A
  // copy that would break the order goes to its sorted place instead, and
  // one equal to an entry is dropped, so the list stays ascending and
  // without duplicates whatever the caller passes.
  void AddHeadCopy(const Entry& entry) {
    if (entries_.empty() || Key()(entry) < Key()(entries_.front()))
      entries_.insert(entries_.begin(), entry);
    else
      InsertSorted(entry);
  }
  void AddTailCopy(const Entry& entry) {
    if (entries_.empty() || Key()(entry) > Key()(entries_.back()))
      entries_.push_back(entry);
    else
      InsertSorted(entry);
  }

  // Adds a copy in ascending place. Returns false (and stores nothing) when
  // an equal entry is already present.
  bool InsertSorted(const Entry& entry) {
    auto it = LowerBound(Key()(entry));
    if (it != entries_.end() && Key()(*it) == Key()(entry)) return false;
    entries_.insert(it, entry);
    return true;
  }

  // Overwrites `entry` with the first entry not earlier than Key(entry) and
  // returns true; returns false and leaves `entry` alone when the list is
  // empty, when the moment is later than the last entry, or (unless
  // allowBeforeFirst) when it is earlier than the first entry.
  bool FindOnOrAfter(Entry& entry) const {
    const Entry* found = FindFirstOnOrAfter(Key()(entry));
    if (!found) return false;
    entry = *found;
    return true;
  }
  // The same lookup by moment, without copying: the entry or nullptr.
  const Entry* FindFirstOnOrAfter(const CDateTime& moment) const {
    if (entries_.empty()) return nullptr;
    if (!allowBeforeFirst && moment < Key()(entries_.front())) return nullptr;
    if (moment > Key()(entries_.back())) return nullptr;
    auto it = LowerBound(moment);
    return it == entries_.end() ? nullptr : &*it;
  }

  // The entry equal to the moment (same Julian day and seconds on the
  // comparison basis), or nullptr.
  const Entry* Find(const CDateTime& moment) const {
    auto it = LowerBound(moment);
    if (it == entries_.end() || Key()(*it) != moment) return nullptr;
    return &*it;
  }
  bool Contains(const CDateTime& moment) const { return Find(moment) != nullptr; }
  // Removes the entry equal to the moment; false when there is none.
  bool Remove(const CDateTime& moment) {
    auto it = LowerBound(moment);
    if (it == entries_.end() || Key()(*it) != moment) return false;
    entries_.erase(it);
    return true;
  }
  void RemoveAt(size_t index) {
    if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  void RemoveHead() {
    if (!entries_.empty()) entries_.erase(entries_.begin());
  }
  void RemoveTail() {
    if (!entries_.empty()) entries_.pop_back();
  }

  size_t GetCount() const { return entries_.size(); }
  bool IsEmpty() const { return entries_.empty(); }
  // Entry by position 0..GetCount()-1 (unchecked, like operator[]).
  const Entry& GetAt(size_t index) const { return entries_[index]; }
  // First / last entry; the list must not be empty.
  const Entry& GetHead() const { return entries_.front(); }
  const Entry& GetTail() const { return entries_.back(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  const std::vector<Entry>& Entries() const { return entries_; }

 protected:
  ~SortedDateList() = default;

 private:
  typename std::vector<Entry>::const_iterator LowerBound(const CDateTime& moment) const {
    return std::lower_bound(entries_.begin(), entries_.end(), moment,
                            [](const Entry& e, const CDateTime& m) { return Key()(e) < m; });
  }
  typename std::vector<Entry>::iterator LowerBound(const CDateTime& moment) {
    return std::lower_bound(entries_.begin(), entries_.end(), moment,
                            [](const Entry& e, const CDateTime& m) { return Key()(e) < m; });
  }

  std::vector<Entry> entries_;
};
