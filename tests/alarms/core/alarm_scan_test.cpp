// The alarm check's walk: alarms missed while the computer slept come up
// at the next check, one event with all its due occurrences; the
// remembered earliest times skip nothing that is due.
#include <gtest/gtest.h>

#include "alarms/core/alarm_scan.h"
#include "tests/model/cal_event_fixture.h"

using alarmcore::CAlarmScanner;
using caltest::At;

namespace {

bool NeverSkip(const CCalEvent&) { return false; }
bool SkipAll(const CCalEvent&) { return true; }

class AlarmScanTest : public ::testing::Test {
 protected:
  caltest::EventSettings settings_;
  caltest::InstalledDocument document_;
};

TEST_F(AlarmScanTest, ASleptThroughDailyAlarmComesUpOnceWithEveryMissedDay) {
  CCalEvent daily;
  caltest::MakeRecurring(daily, CRecurrenceRule::kDaily, At(4, 3, 2024, 9));
  daily.alarmOn = 1;
  daily.SetLeadTime(15, "Minutes");
  std::vector<CCalEvent*> events = {&daily, nullptr};
  CAlarmScanner scanner;
  EXPECT_TRUE(scanner.FindDue(events, At(4, 3, 2024, 8), &NeverSkip).empty());
  EXPECT_EQ(1u, scanner.CachedCount());
  EXPECT_TRUE(scanner.FindDue(events, At(4, 3, 2024, 8, 44, 59), &NeverSkip).empty());
  // The computer wakes two days later.
  std::vector<CCalEvent*> due = scanner.FindDue(events, At(6, 3, 2024, 10), &NeverSkip);
  ASSERT_EQ(1u, due.size());
  ASSERT_EQ(3u, daily.dueAlarms.GetCount());
  EXPECT_EQ(At(4, 3, 2024, 9), daily.dueAlarms.GetAt(0));
  EXPECT_EQ(At(6, 3, 2024, 9), daily.dueAlarms.GetAt(2));
  // Listed: not reported again.
  EXPECT_TRUE(scanner.FindDue(events, At(6, 3, 2024, 10, 0, 3), &NeverSkip).empty());
  // Acknowledged together, the series goes on from the next day.
  const std::vector<CDateTime> dates(daily.dueAlarms.begin(), daily.dueAlarms.end());
  for (const CDateTime& d : dates) daily.Acknowledge(d, false);
  EXPECT_EQ(At(7, 3, 2024, 9), daily.nextOccurrence);
}

TEST_F(AlarmScanTest, RememberedTimesAreDroppedWhenTheClockGoesBackOrOnRequest) {
  CCalEvent once;
  once.oneTime = 1;
  once.alarmOn = 1;
  once.start = once.end = once.nextOccurrence = At(4, 3, 2024, 9);
  once.SetLeadTime(0, "Minutes");
  std::vector<CCalEvent*> events = {&once};
  CAlarmScanner scanner;
  EXPECT_TRUE(scanner.FindDue(events, At(4, 3, 2024, 8), &NeverSkip).empty());
  // Snoozed to earlier while the time is remembered: the owner invalidates.
  once.occurrenceStates[once.nextOccurrence] = COccurrenceState(0, At(4, 3, 2024, 8, 30));
  scanner.Invalidate();
  EXPECT_EQ(1u, scanner.FindDue(events, At(4, 3, 2024, 8, 30), &NeverSkip).size());
  once.listed = 0;
  once.occurrenceStates.RemoveAll();
  EXPECT_TRUE(scanner.FindDue(events, At(4, 3, 2024, 10), &SkipAll).empty());  // alarms-off calendar
  EXPECT_EQ(1u, scanner.FindDue(events, At(4, 3, 2024, 10), &NeverSkip).size());
  // Remembered as never due; a clock set back forgets that.
  once.listed = 0;
  once.acknowledged = 1;
  EXPECT_TRUE(scanner.FindDue(events, At(4, 3, 2024, 10, 1), &NeverSkip).empty());
  EXPECT_EQ(1u, scanner.CachedCount());
  once.acknowledged = 0;
  EXPECT_TRUE(scanner.FindDue(events, At(4, 3, 2024, 10, 2), &NeverSkip).empty());
  EXPECT_EQ(1u, scanner.FindDue(events, At(4, 3, 2024, 9, 30), &NeverSkip).size());
}

TEST_F(AlarmScanTest, AnOverrideAlarmOfAnAlarmOffEventIsFound) {
  CCalEvent daily;
  caltest::MakeRecurring(daily, CRecurrenceRule::kDaily, At(4, 3, 2024, 23, 55));
  daily.alarmOn = 0;
  COccurrenceOverride& o = daily.occurrenceOverrides[At(4, 3, 2024, 23, 55)];
  o.mask = COccurrenceOverride::kAlarm;
  o.alarmOn = 1;
  o.leadTime = CDuration();
  std::vector<CCalEvent*> events = {&daily};
  CAlarmScanner scanner;
  EXPECT_TRUE(scanner.FindDue(events, At(4, 3, 2024, 20), &NeverSkip).empty());
  std::vector<CCalEvent*> due = scanner.FindDue(events, At(5, 3, 2024, 7), &NeverSkip);
  ASSERT_EQ(1u, due.size());
  EXPECT_TRUE(daily.dueAlarms.Contains(At(4, 3, 2024, 23, 55)));
}

}  // namespace
