// The recurrence set: rule and added dates merged, exclusions skipped,
// instance ends, and the answers once nothing is left.
#include "model/recurrence/recurrence.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using R = CRecurrenceRule;

CDateTime At(int day, int month, int year, int h = 9, int mi = 0) {
  CDateTime t(day, month, year, CDateTime::kFloating);
  t.SetTime(h, mi, 0);
  return t;
}

std::string Text(const CDateTime& t) {
  int m, d, y;
  t.GetDate(&m, &d, &y);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%d/%02d/%d %d:%02d", m, d, y, t.GetHour(), t.GetMinute());
  return buf;
}

std::string Text(const CDateRange& r) { return Text(r.start) + "-" + Text(r.end); }

// Instances from `from`, one second past each start.
std::vector<std::string> Instances(CRecurrence& set, CDateTime from, size_t max, int* last = nullptr) {
  std::vector<std::string> out;
  int r = CRecurrence::kFound;
  while (out.size() < max) {
    CDateRange range(from);
    r = set.NextInstance(range);
    if (r != CRecurrence::kFound) break;
    out.push_back(Text(range));
    from = range.start;
    from.AddTime(0, 0, 1);
  }
  if (last) *last = r;
  return out;
}

class RecurrenceSet : public ::testing::Test {
 protected:
  RecurrenceSet() : set(&start) { set.occurrenceLength = CDuration::Hours(1); }
  void Daily(int count = 0) {
    R* r = set.GetRule();
    r->frequency = R::kDaily;
    r->count = count;
  }
  CDateTime start = At(1, 3, 2005);
  CRecurrence set;
};

TEST_F(RecurrenceSet, MomentBeforeStartGivesTheStartEvenWithEarlierAddedDates) {
  Daily();
  set.addedDates.InsertSorted(CDateRange(At(1, 1, 2005)));
  CDateRange range(At(1, 1, 2000));
  ASSERT_EQ(set.NextInstance(range), CRecurrence::kFound);
  EXPECT_EQ(Text(range), "3/01/2005 9:00-3/01/2005 10:00");
}

TEST_F(RecurrenceSet, ExcludedStartGivesTheNextOccurrence) {
  Daily();
  set.excludedDates.InsertSorted(start);
  EXPECT_EQ(Instances(set, At(1, 1, 2005), 2),
            std::vector<std::string>({"3/02/2005 9:00-3/02/2005 10:00", "3/03/2005 9:00-3/03/2005 10:00"}));
}

TEST_F(RecurrenceSet, AddedDatesMergeWithTheRule) {
  R* r = set.GetRule();
  r->frequency = R::kWeekly;
  set.addedDates.InsertSorted(CDateRange(At(3, 3, 2005, 14), At(3, 3, 2005, 18)));  // own end
  set.addedDates.InsertSorted(CDateRange(At(5, 3, 2005, 8)));                       // no end
  set.addedDates.InsertSorted(CDateRange(At(8, 3, 2005, 9), At(8, 3, 2005, 12)));   // same as the rule
  EXPECT_EQ(Instances(set, start, 5),
            std::vector<std::string>({"3/01/2005 9:00-3/01/2005 10:00", "3/03/2005 14:00-3/03/2005 18:00",
                                      "3/05/2005 8:00-3/05/2005 9:00", "3/08/2005 9:00-3/08/2005 10:00",
                                      "3/15/2005 9:00-3/15/2005 10:00"}));
}

TEST_F(RecurrenceSet, AddedDatesOutliveAnEndedRule) {
  Daily(2);
  set.addedDates.InsertSorted(CDateRange(At(10, 3, 2005)));
  set.addedDates.InsertSorted(CDateRange(At(20, 3, 2005)));
  int last = 0;
  EXPECT_EQ(Instances(set, start, 10, &last),
            std::vector<std::string>({"3/01/2005 9:00-3/01/2005 10:00", "3/02/2005 9:00-3/02/2005 10:00",
                                      "3/10/2005 9:00-3/10/2005 10:00", "3/20/2005 9:00-3/20/2005 10:00"}));
  EXPECT_EQ(last, CRecurrence::kEnded);
}

TEST_F(RecurrenceSet, NoRuleEndsAfterTheAddedDates) {
  set.addedDates.InsertSorted(CDateRange(At(10, 3, 2005)));
  int last = 0;
  EXPECT_EQ(Instances(set, start, 10, &last).size(), 2u);
  EXPECT_EQ(last, CRecurrence::kEnded);
}

TEST_F(RecurrenceSet, ExclusionRuleThatSelectsEverythingEnds) {
  Daily(5);
  R* ex = set.GetExclusionRule();
  ex->frequency = R::kDaily;
  // Every occurrence, the start included, is excluded; the rule's own end
  // comes back.
  int last = 0;
  EXPECT_EQ(Instances(set, start, 10, &last).size(), 0u);
  EXPECT_EQ(last, CRecurrence::kEnded);

  // Over an unbounded rule the walk stops at the search horizon.
  set.GetRule()->count = 0;
  CDateRange open(At(2, 3, 2005));
  EXPECT_EQ(set.NextInstance(open), CRecurrence::kNone);
}

TEST_F(RecurrenceSet, ExclusionRuleRemovesWhatItSelects) {
  Daily();
  R* ex = set.GetExclusionRule();
  ex->frequency = R::kWeekly;
  ex->AddByDay(6);
  ex->AddByDay(7);  // weekends out
  EXPECT_EQ(Instances(set, At(4, 3, 2005), 3),  // Friday
            std::vector<std::string>({"3/04/2005 9:00-3/04/2005 10:00", "3/07/2005 9:00-3/07/2005 10:00",
                                      "3/08/2005 9:00-3/08/2005 10:00"}));
}

TEST_F(RecurrenceSet, ExclusionRuleKeepsAStartItDoesNotSelect) {
  Daily();
  R* ex = set.GetExclusionRule();
  ex->frequency = R::kMonthly;
  ex->byMonthDay = {2};  // the 2nd of each month out; the start is the 1st
  EXPECT_EQ(Instances(set, At(1, 1, 2005), 3),
            std::vector<std::string>({"3/01/2005 9:00-3/01/2005 10:00", "3/03/2005 9:00-3/03/2005 10:00",
                                      "3/04/2005 9:00-3/04/2005 10:00"}));
}

TEST_F(RecurrenceSet, EmptySetsAnswerAtOnce) {
  CRecurrence none(nullptr);
  CDateRange r(At(1, 1, 2005));
  EXPECT_EQ(none.NextInstance(r), CRecurrence::kNone);
  // A set with only its start: the start, then the end of the series.
  int last = 0;
  EXPECT_EQ(Instances(set, At(1, 1, 2005), 5, &last).size(), 1u);
  EXPECT_EQ(last, CRecurrence::kEnded);
}

TEST_F(RecurrenceSet, RulesAreCreatedOnceAndDeleted) {
  R* r = set.GetRule();
  EXPECT_EQ(set.GetRule(), r);
  EXPECT_EQ(r->GetSeriesStart(), &start);
  EXPECT_EQ(r->startIsOccurrence, 1);
  EXPECT_EQ(set.GetExclusionRule()->startIsOccurrence, 0);
  set.DeleteRule();
  EXPECT_EQ(set.FindRule(), nullptr);
  set.DeleteExclusionRule();
  EXPECT_EQ(set.FindExclusionRule(), nullptr);
}

TEST_F(RecurrenceSet, CopyRunsOverItsOwnStart) {
  Daily(3);
  set.excludedDates.InsertSorted(At(2, 3, 2005));
  CDateTime otherStart = At(1, 6, 2005, 7);
  CRecurrence copy(&otherStart);
  copy = set;
  ASSERT_NE(copy.FindRule(), nullptr);
  EXPECT_NE(copy.FindRule(), set.FindRule());
  EXPECT_EQ(copy.FindRule()->GetSeriesStart(), &otherStart);
  EXPECT_TRUE(copy.excludedDates.allowBeforeFirst);
  EXPECT_EQ(Instances(copy, otherStart, 5),
            std::vector<std::string>({"6/01/2005 7:00-6/01/2005 8:00", "6/02/2005 7:00-6/02/2005 8:00",
                                      "6/03/2005 7:00-6/03/2005 8:00"}));
}

}  // namespace
