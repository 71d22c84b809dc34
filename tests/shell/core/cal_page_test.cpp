// The calendar page built from plain events: which days list what, in
// which order, and the geometry the views and painters share.
#include <gtest/gtest.h>

#include <memory>

#include "../../model/cal_event_fixture.h"
#include "model/settings/program_settings.h"
#include "model/recurrence/recurrence_rule.h"
#include "shell/core/cal_geometry.h"
#include "shell/core/cal_page.h"

namespace {

using caltest::At;

class Source : public ICalPageSource {
 public:
  std::vector<CCalEvent*> events;
  int displayMode = 1;
  std::string hidden;
  const std::vector<CCalEvent*>& GetPageEvents() const override { return events; }
  int IsTypeHidden(const std::string& type) const override { return !hidden.empty() && type == hidden; }
  int GetDisplayMode() const override { return displayMode; }
};

class CalPageTest : public ::testing::Test {
 protected:
  CalPageTest() {
    g_Settings.CalendarStartDay = 0;
    g_Settings.ShowAcknowledgedCalendar = 1;
    SetLocale24HourOverride(1);
  }
  ~CalPageTest() override { SetLocale24HourOverride(-1); }
  CCalEvent* OneTime(const std::string& name, const CDateTime& start) {
    auto* e = new CCalEvent;
    owned_.emplace_back(e);
    e->name = name;
    e->oneTime = 1;
    e->start = start;
    e->end = start;
    e->nextOccurrence = start;
    source.events.push_back(e);
    return e;
  }
  std::string Day(int d, int m, int y) { return page.GetDayText(CDateTime(d, m, y)); }

  caltest::EventSettings settings_;
  std::vector<std::unique_ptr<CCalEvent>> owned_;
  Source source;
  CCalPage page;
};

TEST(CalGeometry, WeekSlotsFollowTheFirstDayOfTheWeek) {
  struct Case {
    int weekday, startDay, slot;
  } cases[] = {{1, 1, 0}, {7, 1, 6}, {7, 0, 0}, {1, 0, 1}, {6, 0, 6}, {6, 5, 6}};
  for (const Case& c : cases) EXPECT_EQ(c.slot, calgeom::WeekSlot(c.weekday, c.startDay)) << c.weekday;
}

TEST(CalGeometry, RowsSizesAndCells) {
  EXPECT_EQ(6, calgeom::MonthWeekRows(6, 31));
  EXPECT_EQ(4, calgeom::MonthWeekRows(0, 28));
  // Small panes: no step below 0, the last takes the rest.
  struct Case {
    int w, h, rows;
    int col0, col6, row2, rowLast;
  } cases[] = {{6, 41, 8, 0, 6, 0, 1}, {10, 10, 6, 1, 4, 0, 0}, {700, 540, 7, 100, 100, 100, 100}, {703, 545, 7, 100, 103, 101, 101}};
  for (const Case& c : cases) {
    calgeom::GridSizes g = calgeom::MonthGridSizes(c.w, c.h, c.rows);
    EXPECT_EQ(c.col0, g.columns[0]) << c.w;
    EXPECT_EQ(c.col6, g.columns[6]) << c.w;
    EXPECT_EQ(c.row2, g.rows[2]) << c.h;
    EXPECT_EQ(c.rowLast, g.rows.back()) << c.h;
  }
  calgeom::GridSizes w = calgeom::WeekGridSizes(7, 21);
  EXPECT_EQ(0, w.columns[0]);
  EXPECT_EQ(7, w.columns[7]);
  EXPECT_EQ(0, w.rows[1]);
  EXPECT_EQ(1, w.rows[2]);
  int col = -1, row = -1;
  // February 2015 starts on a Sunday.
  EXPECT_TRUE(calgeom::FindMonthCell(CDateTime(14, 2, 2015), 2, 2015, 0, &col, &row));
  EXPECT_EQ(6, col);
  EXPECT_EQ(3, row);
  EXPECT_FALSE(calgeom::FindMonthCell(CDateTime(14, 3, 2015), 2, 2015, 0, &col, &row));
  EXPECT_FALSE(calgeom::FindMonthCell(CDateTime(), 2, 2015, 0, &col, &row));
  EXPECT_TRUE(calgeom::FindWeekCell(CDateTime(12, 3, 2015), CDateTime(8, 3, 2015), 0, &col, &row));
  EXPECT_EQ(0, col);
  EXPECT_EQ(2, row);
  EXPECT_FALSE(calgeom::FindWeekCell(CDateTime(15, 3, 2015), CDateTime(8, 3, 2015), 0, &col, &row));
}

TEST(CalGeometry, NavigationStaysWithinTheCalendar) {
  int m = 1, y = 1753;
  calgeom::PreviousMonth(&m, &y);
  EXPECT_EQ(1, m);
  EXPECT_EQ(1753, y);
  m = 12, y = 9999;
  calgeom::NextMonth(&m, &y);
  EXPECT_EQ(12, m);
  calgeom::NextYear(&y);
  EXPECT_EQ(9999, y);
  m = 12, y = 2005;
  calgeom::NextMonth(&m, &y);
  EXPECT_EQ(1, m);
  EXPECT_EQ(2006, y);
  CDateTime last(30, 12, 9999);
  EXPECT_EQ(last, calgeom::AddDaysWithin(last, 7));
  EXPECT_EQ(CDateTime(6, 1, 2006), calgeom::AddDaysWithin(CDateTime(30, 12, 2005), 7));
}

TEST(CalGeometry, WeekNumbersAndColourCoding) {
  // July 2015 starts on a Wednesday, February 2015 on a Sunday.
  EXPECT_TRUE(calgeom::ShowsWeekNumber(CDateTime(1, 7, 2015)));
  EXPECT_FALSE(calgeom::ShowsWeekNumber(CDateTime(2, 7, 2015)));
  EXPECT_TRUE(calgeom::ShowsWeekNumber(CDateTime(6, 7, 2015)));
  EXPECT_FALSE(calgeom::ShowsWeekNumber(CDateTime(1, 2, 2015)));
  EXPECT_TRUE(calgeom::ShowsWeekNumber(CDateTime(2, 2, 2015)));
  struct Case {
    int on, colours, style;
    bool coded;
  } cases[] = {{1, -1, 0, true}, {1, 2, 0, false}, {1, 256, 0, true}, {1, 2, 1, true}, {0, 256, 1, false}};
  for (const Case& c : cases)
    EXPECT_EQ(c.coded, calgeom::UsesItemColours(c.on, c.colours, static_cast<short>(c.style))) << c.colours;
}

TEST(CalGeometry, LayoutModeCallsOnlyAZeroRowCollapsed) {
  EXPECT_EQ(2, calgeom::LayoutMode(0, 300));
  EXPECT_EQ(0, calgeom::LayoutMode(40, 300));
  EXPECT_EQ(1, calgeom::LayoutMode(390, 0));
}

TEST_F(CalPageTest, WeekSlotsOfAPage) {
  g_Settings.CalendarStartDay = 1;
  page.Build(source, CDateTime(2, 3, 2015), CCalPage::kWeek);
  EXPECT_EQ(0, page.SlotOf(CDateTime(2, 3, 2015)));  // a Monday
  EXPECT_EQ(6, page.SlotOf(CDateTime(8, 3, 2015)));
  g_Settings.CalendarStartDay = 0;
  EXPECT_EQ(0, page.SlotOf(CDateTime(8, 3, 2015)));
}

TEST_F(CalPageTest, ARunningEventListsOnlyItsDaysInThePage) {
  CCalEvent* e = OneTime("Trip", At(30, 4, 2015, 9));
  e->end = At(2, 5, 2015, 17);
  e->showEnd = 1;
  page.Build(source, CDateTime(1, 5, 2015), CCalPage::kMonth);
  EXPECT_EQ("Trip", Day(1, 5, 2015));
  EXPECT_EQ("Trip 17:00", Day(2, 5, 2015));
  EXPECT_EQ("", Day(3, 5, 2015));
  e->showEnd = 0;
  page.Build(source, CDateTime(1, 5, 2015), CCalPage::kMonth);
  for (int d = 1; d <= 31; ++d) EXPECT_EQ(nullptr, page.LookupDay(d)) << d;
}

TEST_F(CalPageTest, OrderByTimeThenNameAndTheLaterAddedEqualFirst) {
  CCalEvent* b = OneTime("B", At(5, 5, 2015, 9));
  CCalEvent* a1 = OneTime("A", At(5, 5, 2015, 9));
  CCalEvent* early = OneTime("Z", At(5, 5, 2015, 8));
  CCalEvent* a2 = OneTime("A", At(5, 5, 2015, 9));
  page.Build(source, CDateTime(1, 5, 2015), CCalPage::kMonth);
  const CCalPage::DayList* list = page.LookupDay(5);
  ASSERT_NE(nullptr, list);
  ASSERT_EQ(4u, list->size());
  EXPECT_EQ(early, (*list)[0].event);
  EXPECT_EQ(a2, (*list)[1].event);
  EXPECT_EQ(a1, (*list)[2].event);
  EXPECT_EQ(b, (*list)[3].event);
  // The single insert keeps the same rule.
  page.AddOccurrence(CDateTime(5, 5, 2015), COccurrenceRef(a1, a1->start));
  EXPECT_EQ(a1, (*page.LookupDay(5))[1].event);
  EXPECT_EQ(a2, (*page.LookupDay(5))[2].event);
}

TEST_F(CalPageTest, FilterDisabledAndDisplayModes) {
  CCalEvent* hidden = OneTime("Hidden", At(6, 5, 2015, 9));
  hidden->type = "Secret";
  source.hidden = "Secret";
  CCalEvent* off = OneTime("Off", At(6, 5, 2015, 9));
  off->disabled = 1;
  CCalEvent* soon = OneTime("Soon", At(6, 5, 2015, 9));
  soon->daysPrior = 2;
  CCalEvent* later = OneTime("Later", At(20, 5, 2015, 9));
  later->daysPrior = 2;
  source.displayMode = 0;
  page.Build(source, CDateTime(1, 5, 2015), CCalPage::kMonth, CDateTime(4, 5, 2015));
  EXPECT_EQ("9:00 Soon", Day(6, 5, 2015));
  EXPECT_EQ("", Day(20, 5, 2015));
  page.Build(source, CDateTime(1, 5, 2015), CCalPage::kMonth, CDateTime(7, 5, 2015));
  EXPECT_EQ("", Day(6, 5, 2015));  // before today
}

TEST_F(CalPageTest, AMovedOccurrenceListsOnItsNewDayUnderItsScheduledDate) {
  auto* e = new CCalEvent;
  owned_.emplace_back(e);
  caltest::MakeRecurring(*e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e->name = "Daily";
  COccurrenceOverride& o = e->occurrenceOverrides[At(10, 3, 2005, 9)];
  o.moved = 1;
  o.start = At(9, 3, 2005, 14);
  o.end = At(9, 3, 2005, 15);
  o.mask = COccurrenceOverride::kName;
  o.name = "Moved";
  source.events.push_back(e);
  g_Settings.ShowAcknowledgedCalendar = 0;
  page.Build(source, CDateTime(1, 3, 2005), CCalPage::kMonth);
  EXPECT_EQ("9:00 Daily\n14:00 Moved", Day(9, 3, 2005));
  EXPECT_EQ("", Day(10, 3, 2005));
  e->occurrenceStates[At(10, 3, 2005, 9)].acknowledged = 1;
  page.Build(source, CDateTime(1, 3, 2005), CCalPage::kMonth);
  EXPECT_EQ("9:00 Daily", Day(9, 3, 2005));
  EXPECT_EQ("9:00 Daily", Day(11, 3, 2005));
}

}  // namespace
