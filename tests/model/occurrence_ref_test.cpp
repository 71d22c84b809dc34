// COccurrenceRef: labels in calendar cells, order within a day, search and
// colours.
#include "model/events/occurrence_ref.h"

#include <gtest/gtest.h>

#include "model/events/cal_event.h"
#include "tests/model/cal_event_fixture.h"

using caltest::At;
using caltest::EventSettings;

namespace {
class TwelveHourClock {
 public:
  explicit TwelveHourClock(bool on) { SetLocale24HourOverride(on ? 0 : 1); }
  ~TwelveHourClock() { SetLocale24HourOverride(-1); }
};
}  // namespace

TEST(OccurrenceRefLabel, TwoDayTripWithItsEndShown) {
  EventSettings settings;
  TwelveHourClock twelve(true);
  CCalEvent e;
  e.name = "Trip";
  e.start = At(1, 3, 2005, 9);
  e.end = At(2, 3, 2005, 17);
  e.showEnd = 1;
  COccurrenceRef ref(&e, e.start);
  std::string text;
  int continues = -1;
  ref.GetDisplayText(text, CDateTime(1, 3, 2005), &continues);
  EXPECT_EQ(text, "9am Trip");
  EXPECT_EQ(continues, 1);
  ref.GetDisplayText(text, CDateTime(2, 3, 2005), &continues);
  EXPECT_EQ(text, "Trip 5pm");
  EXPECT_EQ(continues, 0);
  e.showEnd = 0;
  e.end = e.start;
  ref.GetDisplayText(text, CDateTime(1, 3, 2005), &continues);
  EXPECT_EQ(text, "9am Trip");
  EXPECT_EQ(continues, 0);
}

TEST(OccurrenceRefLabel, AllDayAgeAndTheTwentyFourHourClock) {
  EventSettings settings;
  TwelveHourClock twelve(false);
  int16_t savedShowAge = g_Settings.show_age;
  g_Settings.show_age = 1;
  CCalEvent e;
  e.name = "Ann";
  e.start = At(15, 6, 1970, 8, 30);
  e.end = e.start;
  e.calculateAge = 1;
  COccurrenceRef ref(&e, At(15, 6, 2005, 8, 30));
  std::string text;
  int continues = 0;
  ref.GetDisplayText(text, CDateTime(15, 6, 2005), &continues);
  EXPECT_EQ(text, "8:30 Ann, 35 yrs");
  e.allDay = 1;
  ref.GetDisplayText(text, CDateTime(15, 6, 2005), &continues);
  EXPECT_EQ(text, "Ann, 35 yrs");
  g_Settings.show_age = savedShowAge;
}

TEST(OccurrenceRefOrder, ByStartTimeThenNameAndStrict) {
  EventSettings settings;
  CCalEvent early, late, noTimeA, noTimeB;
  early.start = At(1, 3, 2005, 0, 30);
  early.name = "zz";
  late.start = At(1, 3, 2005, 9);
  late.name = "aa";
  noTimeA.start = CDateTime(1, 3, 2005);
  noTimeA.start.SetSecondsOfDay(CDateTime::kNoTimeOfDay);
  noTimeA.name = "Bob";
  noTimeB.start = noTimeA.start;
  noTimeB.name = "Al";
  COccurrenceRef a(&early, early.start), b(&late, late.start), c(&noTimeA, noTimeA.start),
      d(&noTimeB, noTimeB.start);
  EXPECT_TRUE(a.IsBefore(b));
  EXPECT_FALSE(b.IsBefore(a));
  // 00:30 is 1800 seconds, before the 2000 a date without time counts as.
  EXPECT_TRUE(a.IsBefore(c));
  EXPECT_TRUE(d.IsBefore(c));
  EXPECT_FALSE(c.IsBefore(d));
  EXPECT_FALSE(c.IsBefore(c));
}

TEST(OccurrenceRefSearch, NameTypeAndNotes) {
  EventSettings settings;
  CCalEvent e;
  e.name = "Dentist";
  e.type = "Health";
  e.notes = "bring card";
  COccurrenceRef ref(&e, e.start);
  EXPECT_TRUE(ref.MatchesText("dentist", false));
  EXPECT_FALSE(ref.MatchesText("dentist", true));
  EXPECT_TRUE(ref.MatchesText("Health  bring", true));
  EXPECT_TRUE(ref.ContainsText("CARD", false));
  EXPECT_FALSE(ref.MatchesText("x", false));
  EXPECT_EQ(ref.GetNotes(), "bring card");
  COccurrenceRef none;
  EXPECT_FALSE(none.MatchesText("", false));
  EXPECT_FALSE(none.IsAcknowledged());
}

TEST(OccurrenceRefColour, AcknowledgedColourWinsWhenSwitchedOn) {
  EventSettings settings;
  int16_t savedUse = g_Settings.UseAcknowledgedColor;
  int32_t savedColour = g_Settings.CalAcknowledgedColor;
  g_Settings.UseAcknowledgedColor = 1;
  g_Settings.CalAcknowledgedColor = 0x123456;
  CCalEvent e;
  e.start = At(1, 3, 2005, 9);
  e.nextOccurrence = e.start;
  COccurrenceRef ref(&e, e.start);
  uint32_t normal = ref.GetColor();
  e.acknowledged = 1;
  EXPECT_EQ(ref.GetColor(), 0x123456u);
  g_Settings.UseAcknowledgedColor = 0;
  EXPECT_EQ(ref.GetColor(), normal);
  g_Settings.UseAcknowledgedColor = savedUse;
  g_Settings.CalAcknowledgedColor = savedColour;
}

TEST(OccurrenceRefOrder, AMovedOccurrenceSortsByItsMovedTime) {
  EventSettings settings;
  CCalEvent standup, lunch;
  caltest::MakeRecurring(standup, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  standup.name = "Standup";
  caltest::MakeRecurring(lunch, CRecurrenceRule::kDaily, At(1, 3, 2005, 12));
  lunch.name = "Lunch";
  // Tuesday's standup took place at 14:00 instead.
  COccurrenceOverride& o = standup.occurrenceOverrides[At(2, 3, 2005, 9)];
  o.moved = 1;
  o.start = At(2, 3, 2005, 14);
  o.end = At(2, 3, 2005, 14, 15);
  COccurrenceRef moved(&standup, At(2, 3, 2005, 9)), midday(&lunch, At(2, 3, 2005, 12));
  EXPECT_TRUE(midday.IsBefore(moved));
  EXPECT_FALSE(moved.IsBefore(midday));
  // The other days keep the event's times.
  COccurrenceRef plain(&standup, At(3, 3, 2005, 9)), plainLunch(&lunch, At(3, 3, 2005, 12));
  EXPECT_TRUE(plain.IsBefore(plainLunch));
}
