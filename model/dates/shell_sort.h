// ShellSortArray: in-place Shell sort of an array (in practice of pointers)
// by a three-way comparison, as the list views sort their rows.
//
// The gaps are the numbers of 1, 4, 13, 40, ... (h = 3h + 1) smaller than
// the element count, largest first; for each gap an insertion pass moves an
// element back while compare(element, element one gap before) < 0. The sort
// is not stable. Arrays of fewer than two elements are left alone.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// The gaps a sort of `count` elements uses, largest first (ten elements use
// 4 and 1; one element or none uses no gap at all).
std::vector<size_t> ShellSortGaps(size_t count);

// `array` is any random-access container (std::vector<T*> and the like);
// `compare(a, b)` returns < 0 when a belongs before b.
template <class Array, class Compare>
void ShellSortArray(Array& array, Compare compare) {
  const size_t count = array.size();
  for (size_t gap : ShellSortGaps(count)) {
    for (size_t i = gap; i < count; ++i) {
      auto moving = std::move(array[i]);
      size_t j = i;
      while (j >= gap && compare(moving, array[j - gap]) < 0) {
        array[j] = std::move(array[j - gap]);
        j -= gap;
      }
      array[j] = std::move(moving);
    }
  }
}

// The same sort over a plain pointer array of `count` elements.
template <class T, class Compare>
void ShellSortArray(T** array, size_t count, Compare compare) {
  struct View {
    T** data;
    size_t n;
    size_t size() const { return n; }
    T*& operator[](size_t i) { return data[i]; }
  } view{array, count};
  ShellSortArray(view, compare);
}
