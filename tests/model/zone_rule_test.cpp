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

}  // namespace
