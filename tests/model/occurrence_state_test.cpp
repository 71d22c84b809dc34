// What an event reads of its per-occurrence maps: overridden texts and
// alarms, the snoozed test, the comparison of two events' states, and the
// moved-date helpers of the occurrence search.
#include <gtest/gtest.h>

#include <ostream>

#include "model/events/cal_event.h"
#include "tests/model/cal_event_fixture.h"

void PrintTo(const CDateTime& value, std::ostream* os) { *os << value.FormatICal(CDateTime::kAsStored); }

using caltest::At;
using caltest::EventSettings;
using caltest::MakeDailyWithAlarm;
using caltest::MakeRecurring;

TEST(OccurrenceAccessors, EachMaskBitOverridesOnlyItsOwnField) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.name = "Walk";
  e.type = "Sport";
  e.notes = "park";
  e.url = "http://example.org/walk";
  const CDateTime day = At(2, 3, 2005, 9);
  COccurrenceOverride& o = e.occurrenceOverrides[day];
  o.name = "Run";
  o.type = "Race";
  o.notes = "track";
  o.url = "http://example.org/run";
  struct Case {
    int32_t mask;
    const char* name;
    const char* type;
    const char* notes;
    const char* url;
  } cases[] = {
      {0, "Walk", "Sport", "park", "http://example.org/walk"},
      {COccurrenceOverride::kName, "Run", "Sport", "park", "http://example.org/walk"},
      {COccurrenceOverride::kType, "Walk", "Race", "park", "http://example.org/walk"},
      {COccurrenceOverride::kNotes, "Walk", "Sport", "track", "http://example.org/walk"},
      {COccurrenceOverride::kUrl, "Walk", "Sport", "park", "http://example.org/run"},
  };
  for (const Case& c : cases) {
    e.occurrenceOverrides[day].mask = c.mask;
    EXPECT_EQ(e.GetOccurrenceName(day), c.name) << c.mask;
    EXPECT_EQ(e.GetOccurrenceType(day), c.type) << c.mask;
    EXPECT_EQ(e.GetOccurrenceNotes(day), c.notes) << c.mask;
    EXPECT_EQ(e.GetOccurrenceUrl(day), c.url) << c.mask;
  }
  // Another occurrence is untouched by the override.
  e.occurrenceOverrides[day].mask = 0x0F;
  EXPECT_EQ(e.GetOccurrenceName(At(3, 3, 2005, 9)), "Walk");
}

TEST(OccurrenceAccessors, TheAlarmBitCarriesFlagAndLeadTimeTogether) {
  EventSettings settings;
  CCalEvent e;
  MakeDailyWithAlarm(e, 15);
  const CDateTime day = At(2, 3, 2005, 9);
  COccurrenceOverride& o = e.occurrenceOverrides[day];
  o.alarmOn = 0;
  o.leadTime = CDuration::Hours(1);
  // Without the bit the override's alarm fields mean nothing.
  EXPECT_EQ(e.GetOccurrenceAlarmEnabled(day), 1);
  EXPECT_EQ(e.GetOccurrenceLeadTime(day), CDuration::Minutes(15));
  e.occurrenceOverrides[day].mask = COccurrenceOverride::kAlarm;
  EXPECT_EQ(e.GetOccurrenceAlarmEnabled(day), 0);
  EXPECT_EQ(e.GetOccurrenceLeadTime(day), CDuration::Hours(1));
  // The event's own alarm is still on for the others.
  EXPECT_EQ(e.GetOccurrenceAlarmEnabled(At(3, 3, 2005, 9)), 1);
  // And an occurrence can have an alarm of its own while the event has none.
  e.alarmOn = 0;
  e.occurrenceOverrides[day].alarmOn = 1;
  EXPECT_EQ(e.GetOccurrenceAlarmEnabled(day), 1);
}

TEST(OccurrenceAccessors, SnoozedMeansAStateEntryNotAcknowledged) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  EXPECT_FALSE(e.IsOccurrenceSnoozed(At(2, 3, 2005, 9)));
  e.occurrenceStates[At(2, 3, 2005, 9)] = COccurrenceState(0, CDateTime());
  EXPECT_TRUE(e.IsOccurrenceSnoozed(At(2, 3, 2005, 9)));
  e.occurrenceStates[At(2, 3, 2005, 9)].acknowledged = 1;
  EXPECT_FALSE(e.IsOccurrenceSnoozed(At(2, 3, 2005, 9)));
  // The same moment given as UTC (08:00Z is 09:00 in Berlin in March).
  CDateTime utc = At(2, 3, 2005, 8);
  utc.SetZoneKind(CDateTime::kUtc);
  e.occurrenceStates[At(2, 3, 2005, 9)].acknowledged = 0;
  EXPECT_TRUE(e.IsOccurrenceSnoozed(utc));
}

TEST(OccurrenceAccessors, SameStatesNeedsEqualDatesFlagsAndSnoozeTimes) {
  EventSettings settings;
  CCalEvent a;
  CCalEvent b;
  EXPECT_TRUE(a.SameOccurrenceStates(b));
  a.occurrenceStates[At(2, 3, 2005, 9)] = COccurrenceState(1, At(2, 3, 2005, 9, 5));
  EXPECT_FALSE(a.SameOccurrenceStates(b));
  EXPECT_FALSE(b.SameOccurrenceStates(a));
  b.occurrenceStates[At(2, 3, 2005, 9)] = COccurrenceState(1, At(2, 3, 2005, 9, 10));
  // Same count, same flag, another snooze time.
  EXPECT_FALSE(a.SameOccurrenceStates(b));
  b.occurrenceStates[At(2, 3, 2005, 9)].snoozeTime = At(2, 3, 2005, 9, 5);
  EXPECT_TRUE(a.SameOccurrenceStates(b));
  // Same count, another date.
  a.occurrenceStates[At(3, 3, 2005, 9)] = COccurrenceState(0, CDateTime());
  b.occurrenceStates[At(4, 3, 2005, 9)] = COccurrenceState(0, CDateTime());
  EXPECT_FALSE(a.SameOccurrenceStates(b));
  EXPECT_FALSE(b.SameOccurrenceStates(a));
}

TEST(MovedDates, CollectedAscendingAndMappedBackToTheScheduledDate) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  COccurrenceOverride& late = e.occurrenceOverrides[At(6, 3, 2005, 9)];
  late.moved = 1;
  late.start = At(2, 3, 2005, 18);
  late.end = At(2, 3, 2005, 19);
  COccurrenceOverride& early = e.occurrenceOverrides[At(3, 3, 2005, 9)];
  early.moved = 1;
  early.start = At(8, 3, 2005, 7);
  early.end = At(8, 3, 2005, 8);
  e.occurrenceOverrides[At(4, 3, 2005, 9)].mask = COccurrenceOverride::kName;  // not moved

  e.CollectMovedDates();
  ASSERT_EQ(e.movedDates.GetCount(), 2u);
  EXPECT_EQ(e.movedDates.GetAt(0), At(3, 3, 2005, 9));
  EXPECT_EQ(e.movedDates.GetAt(1), At(6, 3, 2005, 9));
  // Collecting again does not pile up.
  e.CollectMovedDates();
  EXPECT_EQ(e.movedDates.GetCount(), 2u);

  CDateRange range(At(2, 3, 2005, 18), At(2, 3, 2005, 18, 30));
  EXPECT_TRUE(e.MapMovedOccurrence(range));
  EXPECT_EQ(range.start, At(6, 3, 2005, 9));
  EXPECT_EQ(range.end, At(2, 3, 2005, 19));
  CDateRange plain(At(4, 3, 2005, 9), At(4, 3, 2005, 10));
  EXPECT_FALSE(e.MapMovedOccurrence(plain));
  EXPECT_EQ(plain.start, At(4, 3, 2005, 9));
  EXPECT_EQ(plain.end, At(4, 3, 2005, 10));
}
