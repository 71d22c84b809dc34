// CSortedWordArray and ShellSortArray.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/dates/shell_sort.h"
#include "model/dates/sorted_word_array.h"

TEST(SortedWordArray, InsertsInOrderWithoutDuplicates) {
  CSortedWordArray a;
  for (uint16_t v : {5, 1, 9, 5, 1, 3}) a.InsertUnique(v);
  EXPECT_EQ(a.Values(), (std::vector<uint16_t>{1, 3, 5, 9}));
  // Compared unsigned: a negative value sorts after every positive one.
  a.InsertUnique(static_cast<uint16_t>(-1));
  EXPECT_EQ(a.Last(), 0xFFFF);
}

TEST(SortedWordArray, EmptySetAllowsEverything) {
  CSortedWordArray a;
  for (uint16_t v = 0; v < 100; ++v) EXPECT_TRUE(a.Contains(v));
  EXPECT_FALSE(a.Has(3));
  EXPECT_EQ(a.NextAfter(3), -1);
  a.InsertUnique(0);
  for (uint16_t v = 1; v <= 31; ++v) EXPECT_FALSE(a.Contains(v));
  EXPECT_TRUE(a.Contains(0));
}

TEST(SortedWordArray, NextAfterWrapsAround) {
  CSortedWordArray a;
  a.InsertUnique(15);
  a.InsertUnique(1);
  EXPECT_EQ(a.NextAfter(5), 15);
  EXPECT_EQ(a.NextAfter(15), 1);
  EXPECT_EQ(a.NextAfter(20), 1);
  EXPECT_EQ(a.NextAfter(0), 1);
}

TEST(SortedWordArray, CopyFromAnUnsortedArrayStaysASet) {
  CSortedWordArray a;
  a.InsertUnique(42);
  a.CopyFrom(std::vector<int16_t>{7, 3, 7, 1});
  EXPECT_EQ(a.Values(), (std::vector<uint16_t>{1, 3, 7}));
  a.CopyFrom(std::vector<uint16_t>{});
  EXPECT_TRUE(a.IsEmpty());
}

TEST(ShellSort, GapSequence) {
  EXPECT_EQ(ShellSortGaps(10), (std::vector<size_t>{4, 1}));
  EXPECT_EQ(ShellSortGaps(14), (std::vector<size_t>{13, 4, 1}));
  EXPECT_EQ(ShellSortGaps(13), (std::vector<size_t>{4, 1}));
  EXPECT_TRUE(ShellSortGaps(1).empty());
  EXPECT_TRUE(ShellSortGaps(0).empty());
}

TEST(ShellSort, SortsPointersByTheComparison) {
  std::vector<std::string> names = {"kiwi", "apple", "fig", "pear", "date", "lime", "plum", "nut",
                                    "yam",  "oat",   "bean", "corn", "rice", "sago", "taro"};
  std::vector<const std::string*> rows;
  for (const auto& n : names) rows.push_back(&n);
  int calls = 0;
  ShellSortArray(rows, [&calls](const std::string* a, const std::string* b) {
    ++calls;
    return a->compare(*b);
  });
  for (size_t i = 1; i < rows.size(); ++i) EXPECT_LE(*rows[i - 1], *rows[i]);
  EXPECT_GT(calls, 0);
  std::vector<const std::string*> none;
  ShellSortArray(none, [](const std::string*, const std::string*) { return 0; });
  EXPECT_TRUE(none.empty());
}

TEST(ShellSort, SortsEveryPermutationOfSmallArrays) {
  std::vector<int> v = {1, 2, 3, 4, 5, 6};
  do {
    std::vector<int> w = v;
    ShellSortArray(w, [](int a, int b) { return a - b; });
    ASSERT_EQ(w, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  } while (std::next_permutation(v.begin(), v.end()));
}

TEST(ShellSort, PlainPointerArrayWithACount) {
  int values[] = {30, 10, 50, 20, 40};
  int* rows[5];
  for (int i = 0; i < 5; ++i) rows[i] = &values[i];
  // Only the first four take part.
  ShellSortArray(rows, 4, [](const int* a, const int* b) { return *a < *b ? -1 : (*a > *b ? 1 : 0); });
  EXPECT_EQ(*rows[0], 10);
  EXPECT_EQ(*rows[1], 20);
  EXPECT_EQ(*rows[2], 30);
  EXPECT_EQ(*rows[3], 50);
  EXPECT_EQ(*rows[4], 40);
}
