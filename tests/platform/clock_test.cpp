// Local/UTC conversion in the Europe/Berlin zone (CET +1, CEST +2; in 2026
// summer time runs from 29 March 01:00 UTC to 25 October 01:00 UTC).
#include "platform/clock.h"
#include "platform/locale.h"
#include "tests/support/fixed_clock.h"

#include <gtest/gtest.h>

using platform::CivilTime;
using testsupport::Civil;

namespace {

CivilTime ToUtc(const CivilTime& local) {
  CivilTime out;
  EXPECT_TRUE(platform::LocalToUtc(local, &out));
  return out;
}

CivilTime ToLocal(const CivilTime& utc) {
  CivilTime out;
  EXPECT_TRUE(platform::UtcToLocal(utc, &out));
  return out;
}

}  // namespace

TEST(ClockConversion, UsesTheOffsetInForceOnTheConvertedDate) {
  // Whatever the season of the run, a winter date is +1 and a summer date +2.
  EXPECT_EQ(ToUtc(Civil(2026, 1, 15, 12, 0, 0)), Civil(2026, 1, 15, 11, 0, 0));
  EXPECT_EQ(ToUtc(Civil(2026, 7, 15, 12, 0, 0)), Civil(2026, 7, 15, 10, 0, 0));
  EXPECT_EQ(ToLocal(Civil(2026, 1, 15, 11, 0, 0)), Civil(2026, 1, 15, 12, 0, 0));
  EXPECT_EQ(ToLocal(Civil(2026, 7, 15, 10, 0, 0)), Civil(2026, 7, 15, 12, 0, 0));
}

TEST(ClockConversion, CrossesTheSpringAndAutumnChanges) {
  // Just before and after 29 March 2026 01:00 UTC.
  EXPECT_EQ(ToLocal(Civil(2026, 3, 29, 0, 59, 0)), Civil(2026, 3, 29, 1, 59, 0));
  EXPECT_EQ(ToLocal(Civil(2026, 3, 29, 1, 0, 0)), Civil(2026, 3, 29, 3, 0, 0));
  EXPECT_EQ(ToUtc(Civil(2026, 3, 29, 1, 30, 0)), Civil(2026, 3, 29, 0, 30, 0));
  EXPECT_EQ(ToUtc(Civil(2026, 3, 29, 3, 30, 0)), Civil(2026, 3, 29, 1, 30, 0));
  // Autumn: 25 October 2026 01:00 UTC, local 03:00 CEST becomes 02:00 CET.
  EXPECT_EQ(ToLocal(Civil(2026, 10, 25, 0, 30, 0)), Civil(2026, 10, 25, 2, 30, 0));
  EXPECT_EQ(ToLocal(Civil(2026, 10, 25, 1, 30, 0)), Civil(2026, 10, 25, 2, 30, 0));
  EXPECT_EQ(ToUtc(Civil(2026, 10, 25, 4, 0, 0)), Civil(2026, 10, 25, 3, 0, 0));
}

TEST(ClockConversion, CarriesDayMonthAndYearAndKeepsMilliseconds) {
  EXPECT_EQ(ToUtc(Civil(2027, 1, 1, 0, 30, 0, 250)), Civil(2026, 12, 31, 23, 30, 0, 250));
  EXPECT_EQ(ToLocal(Civil(2024, 2, 28, 23, 30, 0)), Civil(2024, 2, 29, 0, 30, 0));
}

TEST(ClockConversion, RejectsImpossibleFields) {
  CivilTime out;
  EXPECT_FALSE(platform::LocalToUtc(Civil(2026, 13, 1), &out));
  EXPECT_FALSE(platform::UtcToLocal(Civil(2026, 0, 1), &out));
  EXPECT_FALSE(platform::UtcToLocal(Civil(2026, 1, 1, 24, 0, 0), &out));
}

TEST(ClockNow, FixedClockDrivesBothReadingsUntilReleased) {
  {
    testsupport::FixedClock clock(Civil(2026, 7, 1, 8, 15, 30, 125));
    EXPECT_EQ(platform::UtcNow(), Civil(2026, 7, 1, 8, 15, 30, 125));
    EXPECT_EQ(platform::LocalNow(), Civil(2026, 7, 1, 10, 15, 30, 125));
  }
  CivilTime now = platform::UtcNow();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LE(now.millisecond, 999);
}

TEST(ClockNow, LocalAndUtcReadingsAgreeThroughTheConversion) {
  CivilTime utc = platform::UtcNow();
  CivilTime local = platform::LocalNow();
  CivilTime back = ToUtc(local);
  // Same minute (allowing for the tick between the two readings).
  long a = ((back.day * 24L + back.hour) * 60 + back.minute);
  long b = ((utc.day * 24L + utc.hour) * 60 + utc.minute);
  EXPECT_LE(labs(a - b), 1);
}

TEST(Locale, ReportsAClockConvention) {
  // The test pins a British locale (24-hour) through LANG/LC_ALL.
  EXPECT_TRUE(platform::LocaleUses24HourClock());
}
