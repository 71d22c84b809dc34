// Reading a rule into the advanced dialog's controls and writing it back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/core/rule_criteria.h"
#include "model/dates/date_time.h"
#include "model/recurrence/recurrence_rule.h"

using namespace dialogcore;

namespace {

const std::vector<std::string> kDays = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string Item(int day, int ordinal) { return WeekDayItemText(WeekDayItemData(day, ordinal), kDays); }

TEST(RuleCriteria, WeekDayListDuplicatesAndMerges) {
  WeekDayList list;
  EXPECT_EQ(list.Add(Item(1, 0), WeekDayItemData(1, 0)), "");
  EXPECT_EQ(list.Add(Item(1, 2), WeekDayItemData(1, 2)),
            "Every Monday Is Already in The List.\n\n2nd Monday not added.");
  EXPECT_EQ(list.items.size(), 1u);

  WeekDayList mondays;
  mondays.Add(Item(1, 1), WeekDayItemData(1, 1));
  mondays.Add(Item(1, 6), WeekDayItemData(1, 6));
  mondays.Add(Item(2, 3), WeekDayItemData(2, 3));
  mondays.Add(Item(1, 0), WeekDayItemData(1, 0));
  ASSERT_EQ(mondays.items.size(), 2u);
  EXPECT_EQ(mondays.items[0].text, "Every Monday");
  EXPECT_EQ(mondays.items[1].text, "3rd Tuesday");

  WeekDayList tuesdays;
  for (int o : {6, 1, 2, 3, 4, 5}) tuesdays.Add(Item(2, o), WeekDayItemData(2, o));
  std::vector<std::string> notices = tuesdays.MergeFull(kDays);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "Every Tuesday is now in the list.\n\nReplacing with 'Every Tuesday'.");
  ASSERT_EQ(tuesdays.items.size(), 1u);
  EXPECT_EQ(tuesdays.items[0].text, "Every Tuesday");
}

TEST(RuleCriteria, RoundTrips) {
  using RuleFn = void (*)(CRecurrenceRule&);
  using EditFn = void (*)(RuleCriteriaView&);
  using CheckFn = void (*)(const CRecurrenceRule&);
  struct Case {
    int16_t frequency;
    RuleFn rule;  // the rule as stored
    EditFn edit;  // what the user changes in the controls
    CheckFn check;
  } cases[] = {
      // A daily rule without BYDAY shows every day; OK writes all seven.
      {CRecurrenceRule::kDaily, [](CRecurrenceRule&) {}, [](RuleCriteriaView&) {},
       [](const CRecurrenceRule& r) { EXPECT_EQ(r.byDayWeekdays.size(), 7u); }},
      // Weekly seeded with Friday: only that day, ordinal 0.
      {CRecurrenceRule::kWeekly, [](CRecurrenceRule& r) { r.AddByDay(5); }, [](RuleCriteriaView&) {},
       [](const CRecurrenceRule& r) {
         ASSERT_EQ(r.byDayWeekdays.size(), 1u);
         EXPECT_EQ(r.byDayWeekdays[0], 5);
         EXPECT_EQ(r.byDayOrdinals[0], 0);
       }},
      // Every day cell including Last: an empty BYMONTHDAY; repeat 2 times.
      {CRecurrenceRule::kMonthly, [](CRecurrenceRule&) {},
       [](RuleCriteriaView& v) {
         v.repeatMode = 1;
         v.repeatCount = 2;
       },
       [](const CRecurrenceRule& r) {
         EXPECT_TRUE(r.byMonthDay.empty());
         EXPECT_EQ(r.count, 2);
         EXPECT_FALSE(r.IsUntilSet());
       }},
      // Without Last: the 31 days in row order 1, 13, 25, 2, ...
      {CRecurrenceRule::kMonthly, [](CRecurrenceRule&) {}, [](RuleCriteriaView& v) { v.cells.monthDays[31] = false; },
       [](const CRecurrenceRule& r) {
         ASSERT_EQ(r.byMonthDay.size(), 31u);
         EXPECT_EQ(r.byMonthDay[1], 13);
         EXPECT_EQ(r.byMonthDay[2], 25);
         EXPECT_EQ(r.byMonthDay[3], 2);
       }},
      // Last Sunday stays (7, -1); an imported ordinal 20, day -2 and month
      // 13 are kept.
      {CRecurrenceRule::kYearly,
       [](CRecurrenceRule& r) {
         r.AddByDayOrdinal(7, -1);
         r.AddByDayOrdinal(1, 20);
         r.byMonthDay = {-2};
         r.byMonth = {13};
       },
       [](RuleCriteriaView&) {},
       [](const CRecurrenceRule& r) {
         ASSERT_EQ(r.byDayWeekdays.size(), 2u);
         EXPECT_EQ(r.byDayWeekdays[0], 7);
         EXPECT_EQ(r.byDayOrdinals[0], -1);
         EXPECT_EQ(r.byDayOrdinals[1], 20);
         EXPECT_EQ(r.byMonthDay, (std::vector<int16_t>{-2}));
         EXPECT_EQ(r.byMonth, (std::vector<int16_t>{13}));
       }},
      // Positions: ascending, unique, never 0; until written in mode 2.
      {CRecurrenceRule::kMonthly, [](CRecurrenceRule&) {},
       [](RuleCriteriaView& v) {
         v.positions = {3, -1, 0, 3};
         v.repeatMode = 2;
       },
       [](const CRecurrenceRule& r) {
         EXPECT_EQ(r.bySetPos, (std::vector<int16_t>{-1, 3}));
         EXPECT_TRUE(r.until == CDateTime(8, 3, 2005));
       }},
      // Easter: only the repeat length is written.
      {CRecurrenceRule::kEaster, [](CRecurrenceRule& r) { r.byMonth = {4}; }, [](RuleCriteriaView&) {},
       [](const CRecurrenceRule& r) {
         EXPECT_EQ(r.byMonth.size(), 1u);
         EXPECT_EQ(r.count, 0);
       }},
  };
  for (const Case& c : cases) {
    CDateTime start(1, 3, 2005);
    CRecurrenceRule rule(&start);
    rule.frequency = c.frequency;
    c.rule(rule);
    RuleCriteriaView view;
    ReadRuleCriteria(rule, kDays, CDateTime(8, 3, 2005), view);
    c.edit(view);
    WriteRuleCriteria(view, rule);
    c.check(rule);
  }
  EXPECT_EQ(PositionText(-1), "Last");
  EXPECT_EQ(PositionText(-3), "3 From Last");
  EXPECT_EQ(PositionText(4), "4");
}

}  // namespace
