// Sorting a memory data source of 10,000 rows by one column: random texts,
// numbers, and a column that is already sorted; rows per second.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "grid/data/mem_source.h"

namespace {

void Fill(CGridMemSource& src, int rows, int kind, std::mt19937& rng) {
  src.DeleteAll();
  std::uniform_int_distribution<int> letter('a', 'z'), number(0, 1000000);
  for (int r = 0; r < rows; ++r) {
    CGridCell key;
    if (kind == 0) {
      std::string s;
      for (int i = 0; i < 8; ++i) s += static_cast<char>(letter(rng));
      key.SetText(s);
    } else if (kind == 1) {
      key.SetNumber(number(rng));
    } else {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%08d", r);
      key.SetText(buf);
    }
    src.SetCell(0, r, key);
    CGridCell other;
    other.SetText("row " + std::to_string(r));
    src.SetCell(1, r, other);
  }
}

}  // namespace

int main() {
  const int kRows = 10000, kRuns = 20;
  std::mt19937 rng(42);
  const char* names[] = {"random texts", "random numbers", "already sorted"};
  for (int kind = 0; kind < 3; ++kind) {
    double total = 0;
    for (int run = 0; run < kRuns; ++run) {
      CGridMemSource src;
      Fill(src, kRows, kind, rng);
      const auto t0 = std::chrono::steady_clock::now();
      src.SortRowsByColumn(0, 0);
      total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double each = total / kRuns;
    std::printf("%-16s %d rows: %8.2f ms per sort, %10.0f rows/s\n", names[kind], kRows, each * 1000, kRows / each);
  }
  return 0;
}
