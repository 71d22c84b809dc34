// CDuration: equality without normalisation and the span between values.
#include "model/dates/duration.h"

#include <gtest/gtest.h>

#include "model/dates/date_time.h"

namespace {
CDateTime At(int day, int month, int year, int h, int mi, int kind = CDateTime::kFloating) {
  CDateTime v(day, month, year, kind);
  v.SetTime(h, mi, 0);
  return v;
}
}  // namespace

TEST(Duration, EqualityIsMemberByMember) {
  EXPECT_NE(CDuration::Weeks(1), CDuration::Days(7));
  CDuration none;
  CDuration empty;
  empty.sign = 1;
  EXPECT_NE(none, empty);
  EXPECT_EQ(CDuration::Hours(3), CDuration::Hours(3));
  EXPECT_NE(CDuration::Hours(3), CDuration::Hours(-3));
  EXPECT_EQ(CDuration::Hours(-3).Negated(), CDuration::Hours(3));
  EXPECT_TRUE(none.IsNone());
  EXPECT_TRUE(empty.IsNone());
  EXPECT_FALSE(CDuration::Seconds(1).IsNone());
  CDuration d = CDuration::Minutes(-90);
  EXPECT_EQ(d.sign, -1);
  EXPECT_EQ(d.minutes, 90);
  EXPECT_EQ(d.ClockSeconds(), -5400);
  d.Clear();
  EXPECT_EQ(d, CDuration());
}

TEST(Duration, BetweenAcrossMidnightAndItsMirror) {
  CDuration d;
  d.SetBetween(At(1, 3, 2005, 22, 0), At(2, 3, 2005, 1, 30));
  EXPECT_EQ(d.sign, 1);
  EXPECT_EQ(d.days, 0);
  EXPECT_EQ(d.hours, 3);
  EXPECT_EQ(d.minutes, 30);
  EXPECT_EQ(d.seconds, 0);
  CDuration back;
  back.SetBetween(At(2, 3, 2005, 1, 30), At(1, 3, 2005, 22, 0));
  EXPECT_EQ(back.sign, -1);
  EXPECT_EQ(back.hours, 3);
  EXPECT_EQ(back.minutes, 30);
  EXPECT_EQ(back.days, 0);
  // Adding the span to the first gives the second, both ways.
  CDateTime x = At(1, 3, 2005, 22, 0);
  x.AddDuration(d);
  EXPECT_EQ(x, At(2, 3, 2005, 1, 30));
  x.AddDuration(back);
  EXPECT_EQ(x, At(1, 3, 2005, 22, 0));
}

TEST(Duration, BetweenIsAlwaysDaysAndClockTime) {
  CDuration d;
  d.SetBetween(CDateTime(1, 1, 2005, 0), CDateTime(1, 1, 2006, 0));
  EXPECT_EQ(d.days, 365);
  EXPECT_EQ(d.years, 0);
  EXPECT_EQ(d.weeks, 0);
  d.SetBetween(At(1, 3, 2005, 9, 0), At(1, 3, 2005, 9, 0));
  EXPECT_EQ(d.sign, 1);
  EXPECT_TRUE(d.IsNone());
  d.SetBetween(At(1, 3, 2005, 9, 0), At(4, 3, 2005, 8, 59));
  EXPECT_EQ(d.days, 2);
  EXPECT_EQ(d.hours, 23);
  EXPECT_EQ(d.minutes, 59);
}

TEST(Duration, BetweenZonesOfTheSameMoment) {
  // Europe/Berlin: 14:00 local on 1 July is 12:00Z.
  CDuration d;
  d.SetBetween(At(1, 7, 2005, 12, 0, CDateTime::kUtc), At(1, 7, 2005, 14, 0));
  EXPECT_EQ(d.sign, 1);
  EXPECT_TRUE(d.IsNone());
  d.SetBetween(At(1, 7, 2005, 12, 0, CDateTime::kUtc), At(1, 7, 2005, 15, 0));
  EXPECT_EQ(d.hours, 1);
}

TEST(Duration, BetweenEmptyValuesIsNothing) {
  CDuration d = CDuration::Days(4);
  d.SetBetween(CDateTime(), At(1, 7, 2005, 12, 0));
  EXPECT_EQ(d.sign, 1);
  EXPECT_TRUE(d.IsNone());
}
