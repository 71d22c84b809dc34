// Selection ranges made by the mouse: Ctrl adds, Shift extends, a plain
// click starts over; whole-row ranges cover every column.
#include <windows.h>

#include "grid/data/selection.h"

#include <gtest/gtest.h>

namespace {
class Host : public CGridSelectionHost {
 public:
  int repaints = 0;
  int SelectionColumnCount() const override { return 6; }
  void RepaintCells(int, int, int, int) override { ++repaints; }
  void RepaintAllCells() override { ++repaints; }
};
}  // namespace

TEST(GridSelection, MouseClicksBuildRanges) {
  Host host;
  CGridSelection sel(&host);
  sel.SetMode(CGridSelection::kCells);
  sel.LeftButtonTo(1, 1, 0);
  sel.LeftButtonTo(3, 4, MK_CONTROL);
  EXPECT_EQ(sel.RangeCount(), 2);
  EXPECT_TRUE(sel.HitTest(1, 1, nullptr));
  int index = -1;
  EXPECT_TRUE(sel.HitTest(3, 4, &index));
  EXPECT_EQ(index, 1);
  sel.LeftButtonTo(5, 5, MK_SHIFT);
  int l, t, r, b;
  ASSERT_EQ(sel.BoundingBox(&l, &t, &r, &b), 0);
  EXPECT_EQ(r, 5);
  EXPECT_EQ(l, 1);
  EXPECT_EQ(b, 5);
  EXPECT_EQ(t, 1);
  EXPECT_TRUE(sel.HitTest(4, 5, nullptr));
  const int before = host.repaints;
  sel.LeftButtonTo(0, 0, 0);
  EXPECT_EQ(sel.RangeCount(), 1);
  EXPECT_GT(host.repaints, before);   // the old ranges' box was repainted
  EXPECT_FALSE(sel.HitTest(3, 4, nullptr));
  int col, row;
  ASSERT_EQ(sel.GetAnchor(&col, &row), 0);
  EXPECT_EQ(col, 0);
}

TEST(GridSelection, ModesDecideWhatIsSelected) {
  Host host;
  CGridSelection sel(&host);
  sel.LeftButtonTo(1, 1, 0);
  EXPECT_EQ(sel.RangeCount(), 0);   // mode 0 selects nothing
  EXPECT_EQ(sel.BoundingBox(nullptr, nullptr, nullptr, nullptr), 2);
  sel.SetMode(CGridSelection::kWholeRows);
  sel.LeftButtonTo(2, 3, 0);
  EXPECT_TRUE(sel.HitTest(5, 3, nullptr));
  EXPECT_FALSE(sel.HitTest(5, 4, nullptr));
  EXPECT_EQ(sel.GetRange(0).right, 5);
  sel.RightButtonTo(0, 3);   // inside the selection: nothing changes
  EXPECT_EQ(sel.RangeCount(), 1);
  EXPECT_EQ(sel.Extend(0, 6), 0);
  EXPECT_TRUE(sel.HitTest(0, 5, nullptr));
}
