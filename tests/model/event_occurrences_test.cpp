// Occurrence computations around moved occurrences and the acknowledged
// state: the cases where the scheduled date (the identity) and the actual
// start (the place in the series) of one occurrence differ.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "model/events/cal_event.h"
#include "tests/model/cal_event_fixture.h"
#include "tests/support/fixed_clock.h"

// Readable failures: "20050303T090000" instead of the object's bytes.
void PrintTo(const CDateTime& value, std::ostream* os) { *os << value.FormatICal(CDateTime::kAsStored); }

using caltest::At;
using caltest::EventSettings;
using caltest::InstalledDocument;
using caltest::MakeDailyWithAlarm;
using caltest::MakeDailyWithMove;
using caltest::List;
using caltest::MakeRecurring;

namespace {

// The actual starts of the listed occurrences.
std::vector<CDateTime> ActualStarts(CCalEvent& e, const std::vector<CDateTime>& scheduled) {
  std::vector<CDateTime> out;
  for (const CDateTime& d : scheduled) out.push_back(e.GetOccurrenceRange(d).start);
  return out;
}

class OccurrenceServices : public ::testing::Test {
 protected:
  EventSettings settings_;
  InstalledDocument document_;
};

}  // namespace

TEST(MovedOccurrences, TheSeriesRunsInTheOrderOfActualStarts) {
  EventSettings settings;
  CCalEvent e;
  MakeDailyWithMove(e, 3, 5, 14);
  std::vector<CDateTime> got = List(e, At(1, 3, 2005), 6);
  std::vector<CDateTime> starts = ActualStarts(e, got);
  std::vector<CDateTime> want = {At(1, 3, 2005, 9), At(2, 3, 2005, 9), At(4, 3, 2005, 9),
                                 At(5, 3, 2005, 9), At(5, 3, 2005, 14), At(6, 3, 2005, 9)};
  ASSERT_EQ(starts.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(starts[i], want[i]) << i;
  // The moved one is found under its scheduled date, with its moved range.
  EXPECT_EQ(got[4], At(3, 3, 2005, 9));
  EXPECT_EQ(e.GetOccurrenceRange(got[4]).start, At(5, 3, 2005, 14));
  EXPECT_EQ(e.GetOccurrenceRange(got[4]).end, At(5, 3, 2005, 15));
}

TEST(MovedOccurrences, AnOccurrenceMovedEarlierComesAtItsMovedStart) {
  EventSettings settings;
  CCalEvent e;
  MakeDailyWithMove(e, 5, 3, 14);
  std::vector<CDateTime> got = List(e, At(1, 3, 2005), 6);
  std::vector<CDateTime> want = {At(1, 3, 2005, 9), At(2, 3, 2005, 9), At(3, 3, 2005, 9),
                                 At(5, 3, 2005, 9), At(4, 3, 2005, 9), At(6, 3, 2005, 9)};
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << i;
  // Searching from after the moved start but before the scheduled date does
  // not find the moved occurrence a second time.
  CDateTime from = At(4, 3, 2005, 12);
  ASSERT_EQ(e.GetNextOccurrenceFrom(from, false), CCalEvent::kFound);
  EXPECT_EQ(from, At(6, 3, 2005, 9));
}

TEST(MovedOccurrences, AMovedOccurrenceBeyondTheSeriesEndStillComes) {
  EventSettings settings;
  CCalEvent e;
  MakeDailyWithMove(e, 3, 10, 9);
  e.recurrence.GetRule()->count = 3;
  std::vector<CDateTime> got = List(e, At(1, 3, 2005), 10);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[2], At(3, 3, 2005, 9));
  // Past the moved one the series has ended.
  CDateTime from = At(10, 3, 2005, 9, 0, 1);
  EXPECT_EQ(e.GetNextOccurrenceFrom(from, true), CCalEvent::kEnded);
  EXPECT_EQ(e.acknowledged, 1);
  EXPECT_EQ(e.nextOccurrence, e.start);
}

TEST_F(OccurrenceServices, DeletingAnEarlierMovedNextOccurrenceKeepsTheOneBetween) {
  // 5 March was moved to 3 March 14:00; it is the next occurrence. Deleting
  // it leaves 4 March as the next one: the search goes on from where the
  // deleted occurrence actually was, not from its scheduled date.
  CCalEvent e;
  MakeDailyWithMove(e, 5, 3, 14);
  e.nextOccurrence = At(5, 3, 2005, 9);
  e.DeleteOccurrence(At(5, 3, 2005, 9));
  EXPECT_TRUE(e.recurrence.excludedDates.Contains(At(5, 3, 2005, 9)));
  EXPECT_FALSE(e.recurrence.excludedDates.Contains(At(3, 3, 2005, 14)));
  EXPECT_EQ(e.nextOccurrence, At(4, 3, 2005, 9));
  EXPECT_EQ(document_.refreshes, 1);
  EXPECT_EQ(document_.lastIncrementSequence, 1);
}

TEST_F(OccurrenceServices, DeletingTheMovedOccurrenceTakesItsStateAlong) {
  CCalEvent e;
  MakeDailyWithMove(e, 3, 5, 14);
  e.occurrenceStates[At(3, 3, 2005, 9)] = COccurrenceState(0, At(5, 3, 2005, 13, 55));
  e.DeleteOccurrence(At(3, 3, 2005, 9));
  EXPECT_TRUE(e.occurrenceStates.IsEmpty());
  std::vector<CDateTime> got = List(e, At(1, 3, 2005), 5);
  std::vector<CDateTime> want = {At(1, 3, 2005, 9), At(2, 3, 2005, 9), At(4, 3, 2005, 9), At(5, 3, 2005, 9),
                                 At(6, 3, 2005, 9)};
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << i;
}

TEST_F(OccurrenceServices, AcknowledgedFollowsTheOrderOfActualStarts) {
  CCalEvent e;
  MakeDailyWithMove(e, 3, 5, 14);
  e.nextOccurrence = At(4, 3, 2005, 9);
  // Scheduled before the next occurrence but taking place after it.
  EXPECT_FALSE(e.IsOccurrenceAcknowledged(At(3, 3, 2005, 9)));
  EXPECT_TRUE(e.IsOccurrenceAcknowledged(At(2, 3, 2005, 9)));
  // Acknowledging steps through the series as it takes place.
  EXPECT_EQ(e.AcknowledgeNext(false), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(5, 3, 2005, 9));
  EXPECT_EQ(e.AcknowledgeNext(false), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(3, 3, 2005, 9));
  EXPECT_EQ(e.AcknowledgeNext(false), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(6, 3, 2005, 9));
  EXPECT_TRUE(e.IsOccurrenceAcknowledged(At(3, 3, 2005, 9)));
}

TEST_F(OccurrenceServices, UnacknowledgingAMovedOccurrenceOfAnEndedSeries) {
  CCalEvent e;
  MakeDailyWithMove(e, 3, 5, 14);
  e.recurrence.GetRule()->count = 5;
  CDateTime from = At(6, 3, 2005);
  ASSERT_EQ(e.GetNextOccurrenceFrom(from, true), CCalEvent::kEnded);
  ASSERT_EQ(e.acknowledged, 1);
  e.Unacknowledge(At(3, 3, 2005, 9));
  EXPECT_EQ(e.acknowledged, 0);
  EXPECT_EQ(e.hasNext, 1);
  EXPECT_EQ(e.nextOccurrence, At(3, 3, 2005, 9));
  EXPECT_EQ(document_.lastIncrementSequence, 1);
}

TEST_F(OccurrenceServices, AcknowledgingAheadThenTheNextStepsOverAMovedOne) {
  CCalEvent e;
  MakeDailyWithMove(e, 3, 5, 14);
  e.nextOccurrence = At(5, 3, 2005, 9);
  // The moved 3 March (at 5 March 14:00) and 6 March acknowledged in advance.
  EXPECT_EQ(e.Acknowledge(At(3, 3, 2005, 9), false), CCalEvent::kFound);
  EXPECT_EQ(e.Acknowledge(At(6, 3, 2005, 9), false), CCalEvent::kFound);
  EXPECT_EQ(e.AcknowledgeNext(true), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(7, 3, 2005, 9));
  EXPECT_TRUE(e.occurrenceStates.IsEmpty());
  EXPECT_EQ(document_.lastIncrementSequence, 0);
}

TEST(OneTimeEvents, RecomputingTheNextOccurrenceKeepsTheAcknowledgement) {
  EventSettings settings;
  CCalEvent e;
  e.start = At(1, 3, 2005, 9);
  e.end = e.start;
  e.nextOccurrence = e.start;
  e.alarmOn = 1;
  EXPECT_EQ(e.Acknowledge(e.start, false), CCalEvent::kFound);
  // The document's roll-forward recomputes every event's next occurrence;
  // the acknowledged alarm of a one-time event must not ring again.
  CDateTime from = CDateTime(1, 1, 2005);
  EXPECT_EQ(e.GetNextOccurrenceFrom(from, true), CCalEvent::kFound);
  EXPECT_EQ(e.acknowledged, 1);
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 10)));
}

TEST(ResetOccurrences, StartsAgainFromNowAndForgetsTheStates) {
  EventSettings settings;
  // 10:00 UTC is 11:00 in Berlin in winter.
  testsupport::FixedClock clock(testsupport::Civil(2005, 3, 4, 10, 0, 0));
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.recurrence.GetRule()->count = 3;
  e.acknowledged = 1;
  e.occurrenceStates[At(2, 3, 2005, 9)] = COccurrenceState(1, CDateTime());
  e.ResetOccurrences();
  EXPECT_TRUE(e.occurrenceStates.IsEmpty());
  // The three occurrences are over: the series has ended again.
  EXPECT_EQ(e.acknowledged, 1);
  e.recurrence.GetRule()->count = 0;
  e.ResetOccurrences();
  EXPECT_EQ(e.acknowledged, 0);
  EXPECT_EQ(e.nextOccurrence, At(5, 3, 2005, 9));
}

TEST(MovedOccurrenceAlarms, DueByTheMovedStart) {
  EventSettings settings;
  CCalEvent e;
  MakeDailyWithMove(e, 3, 5, 14);
  e.alarmOn = 1;
  e.SetLeadTime(15, "Minutes");
  e.nextOccurrence = At(5, 3, 2005, 9);
  e.occurrenceStates[At(4, 3, 2005, 9)];  // not in the walk's way
  e.occurrenceStates.RemoveAll();
  // 5 March 09:00 is due at 08:45; the moved one not yet.
  EXPECT_TRUE(e.IsAlarmDue(At(5, 3, 2005, 8, 45)));
  EXPECT_EQ(e.dueAlarms.GetCount(), 1u);
  EXPECT_TRUE(e.dueAlarms.Contains(At(5, 3, 2005, 9)));
  e.listed = 0;
  EXPECT_TRUE(e.IsAlarmDue(At(5, 3, 2005, 13, 45)));
  EXPECT_EQ(e.dueAlarms.GetCount(), 2u);
  EXPECT_TRUE(e.dueAlarms.Contains(At(3, 3, 2005, 9)));
}

TEST(MovedOccurrenceAlarms, AnOverrideOfAnOccurrenceTheSeriesNoLongerHasIsSilent) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.alarmOn = 0;
  // Its own alarm is on, but its date was excluded afterwards (an import, or
  // a rule changed in the editor).
  COccurrenceOverride& o = e.occurrenceOverrides[At(3, 3, 2005, 9)];
  o.mask = COccurrenceOverride::kAlarm;
  o.alarmOn = 1;
  o.leadTime = CDuration::Minutes(5);
  e.recurrence.excludedDates.InsertSorted(At(3, 3, 2005, 9));
  EXPECT_FALSE(e.IsAlarmDue(At(3, 3, 2005, 9)));
  EXPECT_TRUE(e.dueAlarms.IsEmpty());
  // Not excluded, the same override rings.
  e.recurrence.excludedDates.DeleteAll();
  EXPECT_TRUE(e.IsAlarmDue(At(3, 3, 2005, 8, 55)));
  EXPECT_TRUE(e.dueAlarms.Contains(At(3, 3, 2005, 9)));
}

TEST(MovedOccurrenceAlarms, ASnoozedOccurrenceIsDueAtItsSnoozeTimeOnly) {
  EventSettings settings;
  CCalEvent e;
  MakeDailyWithAlarm(e, 15);
  e.occurrenceStates[At(1, 3, 2005, 9)] = COccurrenceState(0, At(1, 3, 2005, 9, 10));
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 9, 9, 59)));
  EXPECT_TRUE(e.IsAlarmDue(At(1, 3, 2005, 9, 10)));
  EXPECT_EQ(e.dueAlarms.GetCount(), 1u);
  // A listed-only entry (no snooze time) is not due by itself.
  e.listed = 0;
  e.occurrenceStates[At(1, 3, 2005, 9)] = COccurrenceState(0, CDateTime());
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 9, 30)));
}
