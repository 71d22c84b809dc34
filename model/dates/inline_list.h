// InlineList: a small list of plain values kept inside the object up to N
// of them, on the heap beyond that. The rule engine's lists use it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

namespace rrule {

// A list of plain values that holds up to N of them inside itself and only
// goes to the heap beyond that: a rule built for one question (after an edit,
// or for each event of a freshly loaded calendar) then costs no allocation
// for its lists, which under Windows costs more than the arithmetic.
template <typename T, size_t N>
class InlineList {
  static_assert(std::is_trivially_copyable<T>::value, "values are copied as bytes");

 public:
  InlineList() {}
  InlineList(const InlineList& other) { assign(other.begin(), other.end()); }
  InlineList& operator=(const InlineList& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
  }

  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }

  void clear() { size_ = 0; }
  void push_back(T value) {
    if (size_ == capacity_) Grow(size_ + 1);
    data_[size_++] = value;
  }
  template <typename It>
  void assign(It first, It last) {
    size_ = 0;
    const size_t n = static_cast<size_t>(last - first);
    if (n > capacity_) Grow(n);
    for (; first != last; ++first) data_[size_++] = static_cast<T>(*first);
  }
  // Drops the values from `from` on.
  void truncate(T* from) { size_ = static_cast<size_t>(from - data_); }
  // `count` copies of `value`.
  void fill(size_t count, T value) {
    size_ = 0;
    if (count > capacity_) Grow(count);
    std::fill(data_, data_ + count, value);
    size_ = count;
  }

 private:
  void Grow(size_t need) {
    const size_t capacity = std::max(need, 2 * capacity_);
    std::unique_ptr<T[]> heap(new T[capacity]);
    if (size_) std::memcpy(heap.get(), data_, size_ * sizeof(T));
    heap_ = std::move(heap);
    data_ = heap_.get();
    capacity_ = capacity;
  }

  T inline_[N];
  T* data_ = inline_;
  size_t size_ = 0;
  size_t capacity_ = N;
  std::unique_ptr<T[]> heap_;
};

}  // namespace rrule
