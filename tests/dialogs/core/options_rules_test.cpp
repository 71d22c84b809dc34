// The Options pages' conversions: radio and list positions both ways with
// the values no control stands for kept, and the clock forms.
#include "dialogs/core/options_rules.h"

#include <gtest/gtest.h>

#include "dialogs/core/filter_rules.h"

using namespace options_rules;

TEST(OptionsRules, RadioAndListPositionsKeepUnknownValues) {
  struct Case {
    int32_t stored;
    int index;
    int32_t back;  // read back from `index`
  };
  const Case startup[] = {{1, 0, 1}, {4, 1, 4}, {2, 2, 2}, {3, 3, 3}, {0, -1, 0}, {7, -1, 7}};
  for (const Case& c : startup) {
    EXPECT_EQ(StartupModeToIndex(c.stored), c.index) << c.stored;
    EXPECT_EQ(IndexToStartupMode(c.index, c.stored), c.back) << c.stored;
  }
  const Case notify[] = {{0, 0, 0}, {5, 1, 5}, {1, 2, 1}, {2, 3, 2}, {3, 4, 3}, {4, 4, 3}, {9, -1, 9}, {-1, -1, -1}};
  for (const Case& c : notify) {
    EXPECT_EQ(NotifyTypeToIndex(c.stored), c.index) << c.stored;
    EXPECT_EQ(IndexToNotifyType(c.index, static_cast<int16_t>(c.stored)), c.back) << c.stored;
  }
  const Case scale[] = {{5, 0, 5}, {15, 2, 15}, {120, 5, 120}, {0, -1, 0}, {45, -1, 45}};
  for (const Case& c : scale) {
    EXPECT_EQ(DailyScaleToIndex(c.stored), c.index) << c.stored;
    EXPECT_EQ(IndexToDailyScale(c.index, c.stored), c.back) << c.stored;
  }
}

TEST(OptionsRules, ReminderMinutesInBothClocks) {
  struct Case {
    int32_t minutes;
    bool h24;
    int hour, minute;
    bool pm;
  };
  const Case cases[] = {
      {5, false, 12, 5, false},   {725, false, 12, 5, true}, {540, false, 9, 0, false},
      {1439, false, 11, 59, true}, {780, false, 1, 0, true},  {5, true, 0, 5, false},
      {1439, true, 23, 59, false},
  };
  for (const Case& c : cases) {
    ClockTime t = MinutesToClock(c.minutes, c.h24);
    EXPECT_EQ(t.hour, c.hour) << c.minutes;
    EXPECT_EQ(t.minute, c.minute) << c.minutes;
    EXPECT_EQ(t.pm, c.pm) << c.minutes;
    EXPECT_EQ(ClockToMinutes(t.hour, t.minute, t.pm, c.h24), c.minutes);
  }
  // Typed values the page refuses.
  EXPECT_EQ(ClockToMinutes(13, 0, false, false), -1);
  EXPECT_EQ(ClockToMinutes(0, 0, false, false), -1);
  EXPECT_EQ(ClockToMinutes(24, 0, false, true), -1);
  EXPECT_EQ(ClockToMinutes(10, 60, false, true), -1);
  EXPECT_EQ(ClockToMinutes(10, -1, true, false), -1);
}

TEST(OptionsRules, WarningHoursAndFontHeights) {
  EXPECT_EQ(ClockToHour(11, true, false), 23);
  EXPECT_EQ(ClockToHour(6, false, false), 6);
  EXPECT_EQ(ClockToHour(12, false, false), 0);
  EXPECT_EQ(ClockToHour(12, true, false), 12);
  EXPECT_EQ(ClockToHour(23, false, true), 23);
  EXPECT_EQ(ClockToHour(13, true, false), -1);
  ClockTime t = HourToClock(0, false);
  EXPECT_EQ(t.hour, 12);
  EXPECT_FALSE(t.pm);
  t = HourToClock(22, false);
  EXPECT_EQ(t.hour, 10);
  EXPECT_TRUE(t.pm);

  EXPECT_EQ(TenthsToFontDialogHeight(80, 96), -11);   // 8 pt: -10.67 rounds away
  EXPECT_EQ(TenthsToFontDialogHeight(100, 96), -13);  // 10 pt: -13.33
  EXPECT_EQ(TenthsToFontDialogHeight(95, 72), -9);    // tenths are truncated first
  EXPECT_EQ(TenthsToFontDialogHeight(0, 96), 0);
}

TEST(FilterRules, StartupFilterJoin) {
  const std::vector<std::string> names = {"Birthday", "Holiday", "Meeting", "Work"};
  struct Case {
    std::vector<uint16_t> shown;
    bool reapply;
    const char* text;
    int on;
  };
  const Case cases[] = {
      {{1, 0, 1, 0}, true, "Holiday~Work", 1},
      {{1, 1, 1, 1}, true, "", 0},
      {{0, 1, 1, 1}, false, "", 1},
      {{0, 0, 0, 0}, true, "Birthday~Holiday~Meeting~Work", 1},
      {{1, 1}, true, "", 0},  // fewer flags than names: the rest count as shown
  };
  for (const Case& c : cases) {
    int on = -1;
    EXPECT_EQ(JoinStartupFilter(names, c.shown, c.reapply, &on), c.text);
    EXPECT_EQ(on, c.on);
  }
}
