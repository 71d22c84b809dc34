// The gap sequence of ShellSortArray.
#include "model/dates/shell_sort.h"

std::vector<size_t> ShellSortGaps(size_t count) {
  std::vector<size_t> gaps;
  for (size_t h = 1; h < count; h = 3 * h + 1) gaps.insert(gaps.begin(), h);
  return gaps;
}
