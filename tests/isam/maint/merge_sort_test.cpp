// The external merge sort against std::sort, its work files and its
// refusals.
#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "isam/maint/sort/merge_sort.h"
#include "isam/maint/sort/sort_context.h"
#include "isam/runtime/engine_instance.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam::maint {
namespace {

using Key = std::array<uint8_t, 16>;

int WorkFiles() {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(".")) {
    const std::string name = e.path().filename().string();
    if (name.size() == 12 && name.compare(0, 2, "sw") == 0 && name[8] == '.') ++n;
  }
  return n;
}

std::vector<Key> Keys(int pattern, int n) {
  std::mt19937 rng(77 + pattern);
  std::vector<Key> keys(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    Key& k = keys[static_cast<std::size_t>(i)];
    const uint32_t v = pattern == 0 ? rng() : pattern == 1 ? static_cast<uint32_t>(i)
                     : pattern == 2 ? static_cast<uint32_t>(n - i) : rng() % 7;
    for (int b = 0; b < 16; ++b) k[static_cast<std::size_t>(b)] = static_cast<uint8_t>(b < 4 ? v >> (24 - 8 * b) : (pattern == 3 ? 0 : rng()));
  }
  return keys;
}

class MergeSortTest : public RecordEngineTest {
 protected:
  // Sorts keys and returns them as delivered (empty on an error).
  std::vector<Key> Sort(const std::vector<Key>& keys, int order, SortStats* stats = nullptr) {
    SortContext* c = SortCreate(16, order);
    EXPECT_NE(nullptr, c);
    if (c == nullptr) return {};
    for (const Key& k : keys) EXPECT_EQ(0, SortAddKey(c, k.data()));
    std::vector<Key> out;
    Key k;
    int rc = SortNextKey(c, k.data());
    if (stats != nullptr && rc == 0) *stats = SortStatsOf(c);
    for (; rc == 0; rc = SortNextKey(c, k.data())) out.push_back(k);
    EXPECT_EQ(1, rc);
    return out;
  }
};

TEST_F(MergeSortTest, WorkFileNames) {
  EXPECT_EQ("swFEDCBA.000", SortWorkFileName(0x12ABCDEF, 0));
  EXPECT_EQ("sw000000.017", SortWorkFileName(0, 17));
}

TEST_F(MergeSortTest, AgreesWithStdSort) {
  const int before = WorkFiles();
  const char* names[] = {"random", "sorted", "reverse", "duplicates"};
  for (int pattern = 0; pattern < 4; ++pattern) {
    std::vector<Key> keys = Keys(pattern, 200000);
    SortStats stats;
    const std::vector<Key> got = Sort(keys, 5, &stats);
    std::sort(keys.begin(), keys.end());
    EXPECT_TRUE(got == keys) << names[pattern];
    EXPECT_GT(stats.runs_written, 5) << names[pattern];
    EXPECT_LE(stats.open_files_peak, 5) << names[pattern];
    EXPECT_EQ(before, WorkFiles()) << names[pattern];
  }
  // Shell sort below 1000 keys, the other sort from 1000 on, no work file.
  for (int n : {0, 1, 999, 1000}) {
    std::vector<Key> keys = Keys(0, n);
    SortStats stats;
    const std::vector<Key> got = Sort(keys, 3, &stats);
    std::sort(keys.begin(), keys.end());
    EXPECT_TRUE(got == keys) << n;
    EXPECT_EQ(0, stats.runs_written) << n;
  }
}

TEST_F(MergeSortTest, OrdersAreClamped) {
  const std::vector<Key> keys = Keys(0, 30000);
  SortStats five, nine, one, three;
  Sort(keys, 5, &five);
  Sort(keys, 9, &nine);
  Sort(keys, 1, &one);
  Sort(keys, 3, &three);
  EXPECT_EQ(five.merges, nine.merges);
  EXPECT_EQ(five.block_size, nine.block_size);
  EXPECT_EQ(three.merges, one.merges);
  EXPECT_LE(three.open_files_peak, 3);
}

TEST_F(MergeSortTest, AbortAnywhereLeavesNoFile) {
  const int before = WorkFiles();
  const std::vector<Key> keys = Keys(0, 20000);
  for (int stop : {0, 1999, 2001, 7000, 20000, 20001, 25000}) {
    SortContext* c = SortCreate(16, 4);
    ASSERT_NE(nullptr, c);
    int i = 0;
    for (; i < stop && i < 20000; ++i) ASSERT_EQ(0, SortAddKey(c, keys[static_cast<std::size_t>(i)].data()));
    Key k;
    for (; i < stop; ++i) ASSERT_EQ(0, SortNextKey(c, k.data()));
    EXPECT_EQ(0, SortAbort(c));
    EXPECT_EQ(before, WorkFiles()) << stop;
  }
}

TEST_F(MergeSortTest, StaleNamesakeIsLeftAlone) {
  // Files named for this second and the next few already exist.
  const uint32_t now = static_cast<uint32_t>(std::time(nullptr));
  std::vector<std::string> stale;
  for (uint32_t t = now; t < now + 4; ++t) {
    stale.push_back(SortWorkFileName(t, 0));
    std::ofstream(stale.back()) << "stale";
  }
  std::vector<Key> keys = Keys(0, 10000);
  const std::vector<Key> got = Sort(keys, 5);
  std::sort(keys.begin(), keys.end());
  EXPECT_TRUE(got == keys);
  for (const std::string& s : stale) {
    std::ifstream in(s);
    std::string text;
    in >> text;
    EXPECT_EQ("stale", text) << s;
    in.close();
    std::remove(s.c_str());
  }
}

TEST_F(MergeSortTest, Refusals) {
  EXPECT_EQ(nullptr, SortCreate(0, 5));
  EXPECT_EQ(370 + 110, CurrentInstance()->eng_err);
  EXPECT_EQ(kSortNotCreated, SortAddKey(nullptr, "x"));
  EXPECT_EQ(kSortNextNotCreated, SortNextKey(nullptr, nullptr));
  SortContext* c = SortCreate(16, 5);
  Key k{};
  ASSERT_EQ(0, SortAddKey(c, k.data()));
  ASSERT_EQ(0, SortNextKey(c, k.data()));
  EXPECT_EQ(kSortInputClosed, SortAddKey(c, k.data()));
  EXPECT_EQ(479, CurrentInstance()->eng_err);
  EXPECT_EQ(kSortInputClosed, SortAbort(c));
}

// A run's bytes sit behind the work file's 128-byte header; a run that
// would pass the 32-bit positions must fail, not wrap onto its own start.
TEST(SortWorkPositionTest, RunsEndBelowFourGigabytes) {
  struct Case {
    uint32_t at, count;
    int rc;
    uint32_t position;
  } cases[] = {
      {0, 4096, 0, 128},
      {0xFFFFFF7Fu - 4096, 4096, 0, 0xFFFFFFFFu - 4096},
      {0xFFFFFF7Fu - 4095, 4096, kSortShortWrite, 0},
      {0xFFFFFF80u, 16, kSortShortWrite, 0},
      {0xFFFFFFF0u, 16, kSortShortWrite, 0},
  };
  for (const Case& c : cases) {
    uint32_t position = 0;
    EXPECT_EQ(c.rc, SortWorkPosition(c.at, c.count, &position)) << c.at;
    if (c.rc == 0) {
      EXPECT_EQ(c.position, position) << c.at;
    }
  }
}

}  // namespace
}  // namespace isam::maint
