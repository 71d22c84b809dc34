// The display texts of one occurrence: what the list view, printing and the
// alarm e-mail show, for plain, moved and one-time occurrences, on 24- and
// 12-hour clocks.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ostream>
#include <string>

#include "model/events/cal_event.h"
#include "platform/locale.h"
#include "tests/model/cal_event_fixture.h"
#include "tests/support/fixed_clock.h"

#if !defined(_WIN32)
#include <locale.h>
#endif

void PrintTo(const CDateTime& value, std::ostream* os) { *os << value.FormatICal(CDateTime::kAsStored); }

using caltest::At;
using caltest::EventSettings;
using caltest::MakeRecurring;

namespace {

// 10:00 in Berlin on 3 March 2005.
platform::CivilTime ThirdOfMarchUtc() { return testsupport::Civil(2005, 3, 3, 9, 0, 0); }

void MakeTrip(CCalEvent& e) {
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.end = At(1, 3, 2005, 17);
  e.showEnd = 1;
  e.name = "Trip";
}

}  // namespace

TEST(EventTextFields, AMovedOccurrenceShowsWhereItTakesPlace) {
  EventSettings settings;
  testsupport::FixedClock clock(ThirdOfMarchUtc());
  CCalEvent e;
  MakeTrip(e);
  COccurrenceOverride& o = e.occurrenceOverrides[At(3, 3, 2005, 9)];
  o.moved = 1;
  o.start = At(5, 3, 2005, 14);
  o.end = At(6, 3, 2005, 11);
  o.mask = COccurrenceOverride::kName;
  o.name = "Late trip";

  EventTextFields moved;
  e.GetTextFields(moved, At(3, 3, 2005, 9));
  EventTextFields fifth;
  e.GetTextFields(fifth, At(5, 3, 2005, 9));
  EventTextFields sixth;
  e.GetTextFields(sixth, At(6, 3, 2005, 9));
  EXPECT_EQ(moved.name, "Late trip");
  // Its day is 5 March, two days from today, not today.
  EXPECT_EQ(moved.daysLeft, "2");
  EXPECT_EQ(moved.startDate, fifth.startDate);
  EXPECT_EQ(moved.dayName, fifth.dayName);
  EXPECT_EQ(moved.endDate, sixth.startDate);
  if (platform::LocaleUses24HourClock()) {
    EXPECT_EQ(moved.startTime, "14:00");
    EXPECT_EQ(moved.endTime, "11:00");
    EXPECT_EQ(fifth.startTime, "09:00");
    EXPECT_EQ(fifth.endTime, "17:00");
  }
  // The scheduled day itself is an ordinary occurrence's text no more.
  EXPECT_EQ(fifth.name, "Trip");
  EXPECT_EQ(fifth.daysLeft, "2");
}

TEST(EventTextFields, EndTextsOnlyWithTheEndShown) {
  EventSettings settings;
  testsupport::FixedClock clock(ThirdOfMarchUtc());
  CCalEvent e;
  e.start = At(3, 3, 2005, 9);
  e.end = At(4, 3, 2005, 17);
  e.nextOccurrence = e.start;
  e.name = "Fair";
  EventTextFields f;
  f.endDate = "stale";
  f.endTime = "stale";
  e.GetTextFields(f, e.start);
  EXPECT_EQ(f.daysLeft, "Today!!");
  EXPECT_TRUE(f.endDate.empty());
  EXPECT_TRUE(f.endTime.empty());
  EXPECT_TRUE(f.age.empty());
  EXPECT_EQ(e.age, -1);
  e.showEnd = 1;
  e.GetTextFields(f, e.start);
  EXPECT_FALSE(f.endDate.empty());
  EXPECT_NE(f.endDate, f.startDate);
  EXPECT_FALSE(f.endTime.empty());
  // All-day: dates, no times.
  e.allDay = 1;
  e.GetTextFields(f, e.start);
  EXPECT_TRUE(f.startTime.empty());
  EXPECT_TRUE(f.endTime.empty());
  EXPECT_FALSE(f.endDate.empty());
}

TEST(EventTextFields, FlagsFollowTheOccurrence) {
  EventSettings settings;
  testsupport::FixedClock clock(ThirdOfMarchUtc());
  CCalEvent e;
  MakeTrip(e);
  e.alarmOn = 1;
  COccurrenceOverride& quiet = e.occurrenceOverrides[At(4, 3, 2005, 9)];
  quiet.mask = COccurrenceOverride::kAlarm | COccurrenceOverride::kNotes;
  quiet.alarmOn = 0;
  quiet.notes = "bring maps";
  e.occurrenceStates[At(5, 3, 2005, 9)] = COccurrenceState(0, At(5, 3, 2005, 9, 5));
  EventTextFields f;
  e.GetTextFields(f, At(4, 3, 2005, 9));
  EXPECT_EQ(f.alarmOn, 0);
  EXPECT_EQ(f.hasNotes, 1);
  EXPECT_EQ(f.snoozed, 0);
  e.GetTextFields(f, At(5, 3, 2005, 9));
  EXPECT_EQ(f.alarmOn, 1);
  EXPECT_EQ(f.hasNotes, 0);
  EXPECT_EQ(f.snoozed, 1);
  EXPECT_EQ(f.acknowledged, 0);
  e.acknowledged = 1;
  e.GetTextFields(f, At(5, 3, 2005, 9));
  EXPECT_EQ(f.acknowledged, 1);
}

TEST(EventTextFields, AgeCountsYearsOfTheOccurrence) {
  EventSettings settings;
  testsupport::FixedClock clock(testsupport::Civil(2005, 12, 30, 12, 0, 0));
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kYearly, At(31, 12, 1970, 23, 30));
  e.calculateAge = 1;
  EventTextFields f;
  e.GetTextFields(f, At(31, 12, 2005, 23, 30));
  EXPECT_EQ(f.age, "35");
  EXPECT_EQ(f.daysLeft, "1");
  e.GetTextFields(f, At(31, 12, 2006, 23, 30));
  EXPECT_EQ(f.age, "36");
  EXPECT_EQ(e.age, 36);
  // The first occurrence itself is age 0.
  e.GetTextFields(f, e.start);
  EXPECT_EQ(f.age, "0");
}

#if !defined(_WIN32)
// The time texts follow the user's clock. Only machines with a 12-hour
// locale installed can show it; elsewhere the case is skipped.
TEST(EventTextFields, StartAndEndTimesOnATwelveHourClock) {
  const char* candidates[] = {"en_US.UTF-8", "en_US.utf8", "en_US"};
  const char* found = nullptr;
  for (const char* name : candidates) {
    locale_t loc = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
    if (loc) {
      freelocale(loc);
      found = name;
      break;
    }
  }
  if (!found) GTEST_SKIP() << "no 12-hour locale installed";
  const char* old = std::getenv("LC_ALL");
  std::string saved = old ? old : "";
  setenv("LC_ALL", found, 1);
  ASSERT_FALSE(platform::LocaleUses24HourClock());

  EventSettings settings;
  testsupport::FixedClock clock(ThirdOfMarchUtc());
  CCalEvent e;
  MakeTrip(e);
  EventTextFields f;
  e.GetTextFields(f, At(3, 3, 2005, 9));
  if (old)
    setenv("LC_ALL", saved.c_str(), 1);
  else
    unsetenv("LC_ALL");
  EXPECT_EQ(f.daysLeft, "Today!!");
  EXPECT_EQ(f.startTime, "9:00 AM");
  EXPECT_EQ(f.endTime, "5:00 PM");
}
#endif
