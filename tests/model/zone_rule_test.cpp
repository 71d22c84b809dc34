// The stored zone rule: what text it accepts, and offsets on both sides of
// the changes, in a zone whose daylight time spans the new year.
#include "model/dates/zone_rule.h"

#include <gtest/gtest.h>

#include "model/dates/date_time.h"

namespace {

const char kSydney[] = "36000 39600 10 1 7 7200 4 1 7 10800";

int64_t At(int year, int month, int day, int hour, int minute = 0) {
  return int64_t{JulianDayFromDate(month, day, year)} * 86400 + hour * 3600 + minute * 60;
}

TEST(ZoneRule, ReadsOnlyWellFormedText) {
  const struct {
    const char* text;
    bool ok;
  } cases[] = {
      {kSydney, true},
      {"-18000 -14400 3 8 7 7200 11 1 7 7200", true},
      {"3600", true},
      {"-18000 -14400 3 -1 7 7200 10 -1 7 10800", true},
      {"", false},
      {"3600 ", false},
      {"x", false},
      {"999999", false},
      {"-18000 -14400 13 8 7 7200 11 1 7 7200", false},
      {"-18000 -14400 3 8 8 7200 11 1 7 7200", false},
      {"-18000 -14400 3 8 7 86400 11 1 7 7200", false},
      {"-18000 -14400 3 -1 0 7200 11 1 7 7200", false},
      {"-18000 -14400 3 8 7 7200 11 1 7", false},
      {"-18000 -14400 3 8 7 7200 11 1 7 7200 1", false},
      {"99999999999999999999", false},
      // Dated changes: ascending moments since 1970 and an offset each.
      {"36000;1080403200 36000;1099152000 39600", true},
      {"-18000 -14400 3 8 7 7200 11 1 7 7200;1143961200 -14400;1162101600 -18000", true},
      {"-3600;-86400 0", true},
      {"36000;1099152000 39600;1080403200 36000", false},
      {"36000;1080403200 36000;1080403200 39600", false},
      {"36000;", false},
      {"36000;1080403200", false},
      {"36000;1080403200 99999", false},
      {"36000;1080403200  36000", false},
      {"36000;x 36000", false},
      {"36000;253402300800 36000", false},
  };
  for (const auto& c : cases) {
    CZoneRule r;
    EXPECT_EQ(c.ok, r.Parse(c.text)) << c.text;
    if (c.ok) {
      EXPECT_EQ(c.text, r.Format()) << c.text;
    }
  }
}

TEST(ZoneRule, OffsetsAndWallClockAroundTheChanges) {
  CZoneRule r;
  ASSERT_TRUE(r.Parse(kSydney));
  const struct {
    int64_t utc;
    int32_t offset;
  } offsets[] = {
      {At(2026, 1, 15, 0), 39600},   {At(2026, 7, 15, 0), 36000},
      {At(2026, 4, 4, 15, 59), 39600}, {At(2026, 4, 4, 16), 36000},
      {At(2026, 10, 3, 15, 59), 36000}, {At(2026, 10, 3, 16), 39600},
  };
  for (const auto& c : offsets) EXPECT_EQ(c.offset, r.OffsetAtUtc(c.utc)) << c.utc;
  const struct {
    int64_t wall, utc;
  } walls[] = {
      {At(2026, 1, 15, 9), At(2026, 1, 14, 22)},
      {At(2026, 4, 5, 2, 30), At(2026, 4, 4, 15, 30)},   // twice: the first
      {At(2026, 10, 4, 2, 30), At(2026, 10, 3, 16, 30)}, // in the gap
  };
  for (const auto& c : walls) EXPECT_EQ(c.utc, r.WallToUtc(c.wall)) << c.wall;
}

// Melbourne 2004-2005 written as dated changes, then a yearly rule that
// takes over at its first change after the last of them.
TEST(ZoneRule, DatedChangesThenTheYearlyRule) {
  const int64_t unix = int64_t{2440588} * 86400;
  const std::string text = std::string(kSydney) + ";" + std::to_string(At(2004, 3, 27, 16) - unix) + " 36000;" +
                           std::to_string(At(2004, 10, 30, 16) - unix) + " 39600;" +
                           std::to_string(At(2005, 3, 26, 16) - unix) + " 36000";
  CZoneRule r;
  ASSERT_TRUE(r.Parse(text));
  EXPECT_EQ(text, r.Format());
  const struct {
    int64_t utc;
    int32_t offset;
  } offsets[] = {
      {At(2004, 3, 1, 0), 36000},     // before the first: its offset
      {At(2004, 4, 1, 0), 36000},     {At(2004, 10, 30, 15, 59), 36000},
      {At(2004, 10, 30, 16), 39600},  {At(2005, 3, 26, 15, 59), 39600},
      {At(2005, 3, 26, 16), 36000},   // the yearly rule would say 39600 until 2 April
      {At(2005, 4, 5, 0), 36000},     {At(2005, 10, 1, 15, 59), 36000},
      {At(2005, 10, 1, 16), 39600},   // the yearly rule's first change after the last dated one
      {At(2026, 7, 15, 0), 36000},
  };
  for (const auto& c : offsets) EXPECT_EQ(c.offset, r.OffsetAtUtc(c.utc)) << c.utc;
  EXPECT_EQ(At(2004, 10, 30, 15, 30), r.WallToUtc(At(2004, 10, 31, 1, 30)));
  EXPECT_EQ(At(2004, 10, 30, 16, 30), r.WallToUtc(At(2004, 10, 31, 2, 30)));  // in the gap
  EXPECT_EQ(At(2005, 3, 26, 15, 30), r.WallToUtc(At(2005, 3, 27, 2, 30)));    // twice: the first
}

}  // namespace
