// Grid cells as values: defaults of unset properties, numbers and truth
// values of texts, copy against merge, and owned user data.
#include "grid/cell/grid_cell.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GridCell, UnsetPropertiesAnswerTheirDefaults) {
  CGridCell c;
  EXPECT_EQ(c.GetMask(), 0u);
  EXPECT_EQ(c.GetTextColor(), ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(c.GetBackColor(), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(c.GetDataType(), 1);
  EXPECT_EQ(c.GetTextPtr(), nullptr);
  EXPECT_EQ(c.GetText(nullptr), 1);
  EXPECT_EQ(c.GetJoin(nullptr, nullptr, nullptr), 1);
  int n = 5;
  EXPECT_EQ(c.GetNumberInt(&n), 1);
}

TEST(GridCell, NumbersAreStoredAsTextWithTheirPlaces) {
  struct Case {
    int places;   // -2: never set
    double value;
    const char* text;
  } cases[] = {{2, 2.5, "2.50"}, {-2, 2.5, "2.500000"}, {0, 3.7, "4"}, {-1, 1.0, "1.000000"}};
  for (const Case& k : cases) {
    CGridCell c;
    if (k.places != -2) c.SetDecimalPlaces(k.places);
    c.SetNumber(k.value);
    EXPECT_STREQ(c.GetTextPtr(), k.text) << k.places;
    EXPECT_EQ(c.GetDataType(), 2);
  }
}

TEST(GridCell, TruthValueOfTexts) {
  struct Case {
    const char* text;
    bool value;
  } cases[] = {{"True", true}, {"t", true}, {"1", true}, {"2", true}, {"0", false}, {"f", false}, {"", false},
               {"-3", true}, {"yes", false}};
  for (const Case& k : cases) {
    CGridCell c;
    c.SetText(k.text);
    EXPECT_EQ(c.GetBool(), k.value) << k.text;
  }
}

TEST(GridCell, CopyTakesExactlyTheSourcePropertiesAndMergeKeepsTheRest) {
  CGridCell colour;
  colour.SetBackColor(RGB(1, 2, 3));
  CGridCell merged, copied;
  merged.SetText("kept");
  copied.SetText("dropped");
  merged.MergeFrom(colour);
  copied.CopyFrom(colour);
  EXPECT_STREQ(merged.GetTextPtr(), "kept");
  EXPECT_EQ(merged.GetBackColor(), RGB(1, 2, 3));
  EXPECT_EQ(copied.GetMask(), static_cast<std::uint32_t>(CGridCell::kBackColor));
  EXPECT_EQ(copied.GetBackColor(), RGB(1, 2, 3));
}

TEST(GridCell, CopiesHoldSeparateUserDataBlocks) {
  struct Day {
    int year, month, day;
  };
  CGridCell a;
  ASSERT_TRUE(a.SetUserValue(Day{2026, 12, 9}));
  CGridCell b(a), c;
  c.MergeFrom(a);
  ASSERT_NE(a.GetUserData(), b.GetUserData());
  ASSERT_NE(a.GetUserData(), c.GetUserData());
  static_cast<Day*>(a.GetUserData())->day = 31;
  Day got{};
  ASSERT_TRUE(b.GetUserValue(&got));
  EXPECT_EQ(got.day, 9);
  int wrongSize = 0;
  EXPECT_FALSE(b.GetUserValue(&wrongSize));
  // A copy of a cell without user data releases the destination's block.
  b.CopyFrom(CGridCell());
  EXPECT_EQ(b.GetUserData(), nullptr);
  a.FreeUserData();
  EXPECT_FALSE(a.HasProperty(CGridCell::kUserData));
}
