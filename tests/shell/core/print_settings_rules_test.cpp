// The "Print" dialog's rules: results by type, quick ranges, From dragging To.
#include "shell/core/print_settings_rules.h"

#include <gtest/gtest.h>

using namespace printcore;

namespace {
int Jd(int d, int m, int y) { return CDateTime(d, m, y).GetJulianDay(); }
}  // namespace

TEST(PrintSettingsRules, ResultsAndTexts) {
  struct Case {
    int type;
    int print, preview;
    const char* button;
  } cases[] = {
      {kMonthCalendar, 1000, 1002, "Calendar Settings"},
      {kWeekCalendar, 1004, 1005, "Calendar Settings"},
      {kCurrentList, 1001, 1003, "Event List Settings"},
      {kDateRangeList, 1001, 1003, "Event List Settings"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReportResult(c.type, false), c.print) << c.type;
    EXPECT_EQ(ReportResult(c.type, true), c.preview) << c.type;
    EXPECT_STREQ(SettingsButtonText(c.type), c.button) << c.type;
  }
  EXPECT_STREQ(OrientationText(2), "Landscape");
  EXPECT_STREQ(OrientationText(1), "Portrait");
}

TEST(PrintSettingsRules, QuickRanges) {
  struct Case {
    CDateTime today;
    int startDay;
    int from, to;
  } cases[] = {
      {CDateTime(12, 3, 2025), 0, Jd(9, 3, 2025), Jd(15, 3, 2025)},   // Wednesday, weeks from Sunday
      {CDateTime(12, 3, 2025), 1, Jd(10, 3, 2025), Jd(16, 3, 2025)},  // weeks from Monday
      {CDateTime(9, 3, 2025), 1, Jd(3, 3, 2025), Jd(9, 3, 2025)},     // a Sunday, Monday weeks
      {CDateTime(9, 3, 2025), 0, Jd(9, 3, 2025), Jd(15, 3, 2025)},
      {CDateTime(1, 1, 2026), 0, Jd(28, 12, 2025), Jd(3, 1, 2026)},   // across the year
  };
  for (const Case& c : cases) {
    DateRange r = ThisWeek(c.today, c.startDay);
    EXPECT_EQ(r.from.GetJulianDay(), c.from);
    EXPECT_EQ(r.to.GetJulianDay(), c.to);
  }
  DateRange feb = ThisMonth(CDateTime(15, 2, 2024));
  EXPECT_EQ(feb.from.GetJulianDay(), Jd(1, 2, 2024));
  EXPECT_EQ(feb.to.GetJulianDay(), Jd(29, 2, 2024));
}

TEST(PrintSettingsRules, FromDragsTo) {
  struct Case {
    const char* name;
    int from, to, newFrom;
    int wantFrom, wantTo;
  } cases[] = {
      {"To later: From moves alone", Jd(1, 3, 2025), Jd(31, 3, 2025), Jd(5, 4, 2025), Jd(5, 4, 2025), Jd(31, 3, 2025)},
      {"To equal: To moves along", Jd(1, 3, 2025), Jd(1, 3, 2025), Jd(4, 3, 2025), Jd(4, 3, 2025), Jd(4, 3, 2025)},
      {"To earlier: same shift", Jd(10, 3, 2025), Jd(8, 3, 2025), Jd(12, 3, 2025), Jd(12, 3, 2025), Jd(10, 3, 2025)},
  };
  for (const Case& c : cases) {
    DateRange r{CDateTime(c.from, CDateTime::kFloating), CDateTime(c.to, CDateTime::kFloating)};
    DateRange moved = MoveFrom(r, CDateTime(c.newFrom, CDateTime::kFloating));
    EXPECT_EQ(moved.from.GetJulianDay(), c.wantFrom) << c.name;
    EXPECT_EQ(moved.to.GetJulianDay(), c.wantTo) << c.name;
  }
}
