// The day schedule's lines, columns, markers and the pop-up's geometry.
#include <gtest/gtest.h>

#include "shell/core/day_popup_geometry.h"
#include "shell/core/day_schedule.h"

namespace {

using dayline::Item;
using dayline::Rows;

constexpr int32_t kDay = 2460000;

int Secs(int h, int m) { return h * 3600 + m * 60; }

TEST(DayScheduleTest, ScaleFallsBackToThirtyForNonDivisors) {
  const struct {
    int in, scale, lines;
  } cases[] = {{0, 30, 48}, {7, 30, 48}, {-5, 30, 48}, {2000, 30, 48}, {5, 5, 288}, {15, 15, 96},
               {60, 60, 24}, {120, 120, 12}};
  for (const auto& c : cases) {
    EXPECT_EQ(dayline::EffectiveScale(c.in), c.scale) << c.in;
    EXPECT_EQ(dayline::LineCount(c.in), c.lines) << c.in;
  }
}

TEST(DayScheduleTest, RowsOfSpans) {
  const struct {
    int32_t startDay, startSec;
    bool showEnd;
    int32_t endDay, endSec;
    int scale, start, end;
  } cases[] = {
      {kDay - 1, Secs(22, 0), true, kDay, Secs(2, 0), 30, 1, 4},    // from the day before to 02:00
      {kDay, Secs(22, 0), true, kDay + 1, Secs(1, 0), 30, 45, 48},  // into the next day
      {kDay, Secs(9, 0), true, kDay, Secs(10, 0), 30, 19, 20},      // an end on a line boundary
      {kDay, Secs(9, 0), false, kDay, Secs(10, 0), 30, 19, 19},     // no shown end: one line
      {kDay - 1, Secs(9, 0), true, kDay, 0, 30, 1, 1},              // an end at 00:00
      {kDay, Secs(9, 10), true, kDay, Secs(9, 50), 60, 10, 10},
  };
  for (const auto& c : cases) {
    Rows r = dayline::RowsOfSpan(c.startDay, c.startSec, c.showEnd, c.endDay, c.endSec, kDay, c.scale);
    EXPECT_EQ(r.start, c.start) << c.startSec;
    EXPECT_EQ(r.end, c.end) << c.endSec;
  }
}

TEST(DayScheduleTest, OverlapsTakeColumnsSideBySide) {
  std::vector<Item> items(3);
  items[0].rows = dayline::RowsOfSpan(kDay, Secs(10, 30), true, kDay, Secs(11, 30), kDay, 30);
  items[1].rows = dayline::RowsOfSpan(kDay, Secs(9, 30), true, kDay, Secs(11, 0), kDay, 30);
  items[2].rows = dayline::RowsOfSpan(kDay, Secs(9, 0), true, kDay, Secs(10, 0), kDay, 30);
  dayline::SortItems(items);
  int first = 0, last = 0;
  ASSERT_EQ(dayline::LayoutColumns(items, &first, &last), 2);
  EXPECT_EQ(first, 19);
  EXPECT_EQ(last, 23);
  const int expected[3][2] = {{1, 1}, {2, 2}, {1, 1}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(items[i].firstColumn, expected[i][0]) << i;
    EXPECT_EQ(items[i].lastColumn, expected[i][1]) << i;
  }
  EXPECT_TRUE(items[0].fixed);
  EXPECT_EQ(items[0].rows.start, 19);  // the 09:00 one sorted first
}

TEST(DayScheduleTest, GapsAndWidening) {
  // A long item, then two overlapping it, then one meeting only the long one.
  std::vector<Item> items(4);
  items[0].rows = {1, 10};
  items[1].rows = {2, 3};
  items[2].rows = {2, 3};
  items[3].rows = {6, 7};
  int first = 0, last = 0;
  EXPECT_EQ(dayline::LayoutColumns(items, &first, &last), 3);
  EXPECT_EQ(items[3].firstColumn, 2);  // the first free run after column 1
  EXPECT_EQ(items[3].lastColumn, 3);
  std::vector<Item> none;
  EXPECT_EQ(dayline::LayoutColumns(none, &first, &last), 0);
  EXPECT_EQ(first, 0);
}

TEST(DayScheduleTest, BoxesAndHits) {
  Item item;
  item.rows = {19, 20};
  item.firstColumn = 2;
  item.lastColumn = 2;
  dayline::Box b = dayline::ItemBox(item, 2, 405, 40, 15);
  EXPECT_EQ(b.left, 180 + 43);
  EXPECT_EQ(b.right, 360 + 41);
  EXPECT_EQ(b.top, 270);
  EXPECT_EQ(b.bottom, 300);
  std::vector<dayline::Box> boxes{b, b};
  EXPECT_EQ(dayline::HitTest(boxes, b.left, b.top), 0);
  EXPECT_EQ(dayline::HitTest(boxes, b.right, b.top), -1);
  EXPECT_EQ(dayline::HitTest(boxes, b.left, b.bottom), -1);
}

TEST(DayScheduleTest, LinesUnderPointsAreClamped) {
  EXPECT_EQ(dayline::LineAt(12 * 15 + 30, 15, 12), 12);  // 30 px below scale 120's last line
  EXPECT_EQ(dayline::LineSeconds(12, 120), Secs(22, 0));
  EXPECT_EQ(dayline::LineAt(0, 15, 48), 1);
  EXPECT_EQ(dayline::LineAt(-3, 15, 48), 1);
  EXPECT_EQ(dayline::LineAt(18 * 15, 15, 48), 19);
  EXPECT_EQ(dayline::LineSeconds(19, 30), Secs(9, 0));
}

TEST(DayScheduleTest, Markers) {
  EXPECT_FALSE(dayline::ShowsTopMarker(1, 0, 15));  // 00:00 at scroll 0
  EXPECT_FALSE(dayline::ShowsTopMarker(0, 300, 15));
  EXPECT_TRUE(dayline::ShowsTopMarker(5, 16 * 15, 15));
  EXPECT_FALSE(dayline::ShowsTopMarker(18, 16 * 15, 15));
  EXPECT_TRUE(dayline::ShowsBottomMarker(40, 0, 300, 15));
  EXPECT_FALSE(dayline::ShowsBottomMarker(20, 0, 300, 15));
  EXPECT_FALSE(dayline::ShowsBottomMarker(0, 0, 300, 15));
}

TEST(DayScheduleTest, ScaleLabelsAndSeparators) {
  const struct {
    int scale, perHour;
  } cases[] = {{60, 1}, {120, 1}, {30, 1}, {15, 2}, {5, 6}, {10, 3}};
  for (const auto& c : cases) {
    int labels = 0;
    for (int r = 1; r <= dayline::LineCount(c.scale); ++r) labels += dayline::LabelsLine(r, c.scale);
    const int hours = c.scale > 60 ? 24 / (c.scale / 60) : 24;
    EXPECT_EQ(labels, c.scale > 60 ? hours : hours * c.perHour) << c.scale;
  }
  EXPECT_TRUE(dayline::IsHourSeparator(2, 30));
  EXPECT_FALSE(dayline::IsHourSeparator(1, 30));
}

TEST(DayPopupGeometryTest, LinesAndPlacement) {
  EXPECT_EQ(daypopup::LineAt(13, 13, 10, 3), -1);
  EXPECT_EQ(daypopup::LineAt(14, 13, 10, 3), 0);
  EXPECT_EQ(daypopup::LineAt(42, 13, 10, 3), 2);
  EXPECT_EQ(daypopup::LineAt(43, 13, 10, 3), -1);
  EXPECT_EQ(daypopup::LineAt(20, 13, 10, 0), -1);
  const daypopup::Rect work{0, 0, 1024, 738};
  daypopup::Rect r = daypopup::FitInWorkArea(900, 650, 200, 300, work);
  EXPECT_EQ(r.left, 824);
  EXPECT_EQ(r.bottom, 738);
  r = daypopup::FitInWorkArea(100, 650, 200, 900, work);
  EXPECT_EQ(r.top, 0);
  r = daypopup::FitInWorkArea(10, 10, 50, 50, work);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
}

}  // namespace
