// The sorted date lists and range lists.
#include <gtest/gtest.h>

#include "model/dates/date_range_set.h"
#include "model/dates/date_time_set.h"

namespace {
CDateTime May(int day, int h = 0, int mi = 0, int s = 0, int kind = CDateTime::kFloating) {
  CDateTime v(day, 5, 2005, kind);
  v.SetTime(h, mi, s);
  return v;
}
}  // namespace

TEST(DateTimeList, SortedInsertDropsDuplicates) {
  CDateTimeSet list;
  EXPECT_TRUE(list.InsertSorted(May(3)));
  EXPECT_TRUE(list.InsertSorted(May(1)));
  EXPECT_TRUE(list.InsertSorted(May(2)));
  EXPECT_FALSE(list.InsertSorted(May(1)));
  ASSERT_EQ(list.GetCount(), 3u);
  EXPECT_EQ(list.GetAt(0), May(1));
  EXPECT_EQ(list.GetAt(1), May(2));
  EXPECT_EQ(list.GetAt(2), May(3));
  // The same moment in another zone kind is the same entry (12:00 local in
  // May is 10:00Z).
  EXPECT_FALSE(list.InsertSorted(May(2, 0, 0, 0).ConvertedTo(CDateTime::kAsUtc)));
  EXPECT_TRUE(list.InsertSorted(May(2, 10, 0, 0, CDateTime::kUtc)));
  EXPECT_FALSE(list.InsertSorted(May(2, 12)));
  EXPECT_EQ(list.GetCount(), 4u);
}

TEST(DateTimeList, HeadAndTailAddsKeepTheOrder) {
  CDateTimeList list;
  list.AddTailCopy(May(2));
  list.AddTailCopy(May(4));
  list.AddHeadCopy(May(1));
  list.AddTailCopy(May(3));  // belongs in the middle
  list.AddHeadCopy(May(5));  // belongs at the end
  list.AddTailCopy(May(5));  // duplicate
  ASSERT_EQ(list.GetCount(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(list.GetAt(i), May(static_cast<int>(i) + 1));
  EXPECT_EQ(list.GetHead(), May(1));
  EXPECT_EQ(list.GetTail(), May(5));
}

TEST(DateTimeList, FindOnOrAfterHonoursTheLowerBoundFlag) {
  CDateTimeList list;
  CDateTime probe = May(1);
  EXPECT_FALSE(list.FindOnOrAfter(probe));
  list.InsertSorted(May(10, 9));
  list.InsertSorted(May(20, 9));
  probe = May(1);
  EXPECT_FALSE(list.FindOnOrAfter(probe));
  EXPECT_EQ(probe, May(1));
  list.allowBeforeFirst = true;
  EXPECT_TRUE(list.FindOnOrAfter(probe));
  EXPECT_EQ(probe, May(10, 9));
  probe = May(10, 9, 0, 1);
  EXPECT_TRUE(list.FindOnOrAfter(probe));
  EXPECT_EQ(probe, May(20, 9));
  probe = May(20, 9);
  EXPECT_TRUE(list.FindOnOrAfter(probe));
  EXPECT_EQ(probe, May(20, 9));
  probe = May(20, 9, 0, 1);
  EXPECT_FALSE(list.FindOnOrAfter(probe));
  EXPECT_EQ(probe, May(20, 9, 0, 1));
}

TEST(DateTimeList, FoundEntryIsACompleteCopy) {
  CDateTimeList list;
  CDateTime named = May(10, 9, 0, 0, CDateTime::kNamedZone);
  named.SetTzid("Zone/A");
  list.InsertSorted(named);
  CDateTime probe = May(10, 9, 0, 0, CDateTime::kNamedZone);
  probe.SetTzid("Zone/A");
  ASSERT_TRUE(list.FindOnOrAfter(probe));
  EXPECT_TRUE(probe.IsIdenticalTo(named));
}

TEST(DateTimeList, AssignmentCopiesValuesNotTheFlag) {
  CDateTimeList a;
  a.allowBeforeFirst = true;
  a.InsertSorted(May(1));
  a.InsertSorted(May(2));
  CDateTimeList b;
  b.InsertSorted(May(9));
  b = a;
  EXPECT_FALSE(b.allowBeforeFirst);
  ASSERT_EQ(b.GetCount(), 2u);
  EXPECT_EQ(b.GetTail(), May(2));
  EXPECT_TRUE(b.Remove(May(1)));
  EXPECT_FALSE(b.Remove(May(1)));
  EXPECT_TRUE(b.Contains(May(2)));
  EXPECT_EQ(a.GetCount(), 2u);
  b.DeleteAll();
  EXPECT_TRUE(b.IsEmpty());
  b.DeleteAll();
  EXPECT_TRUE(b.IsEmpty());
}

TEST(DateRangeList, OrdersByStartAndRejectsASecondRangeWithTheSameStart) {
  CDateRangeSet list;
  EXPECT_TRUE(list.InsertSorted(CDateRange(May(1, 10), May(1, 12))));
  EXPECT_FALSE(list.InsertSorted(CDateRange(May(1, 10), May(3, 12))));
  EXPECT_TRUE(list.InsertSorted(CDateRange(May(1, 8))));
  ASSERT_EQ(list.GetCount(), 2u);
  EXPECT_EQ(list.GetHead().start, May(1, 8));
  EXPECT_FALSE(list.GetHead().HasEnd());
  EXPECT_EQ(list.GetTail().end, May(1, 12));
}

TEST(DateRangeList, FindOnOrAfterCopiesBothEnds) {
  CDateRangeSet list;
  list.allowBeforeFirst = true;
  list.InsertSorted(CDateRange(May(5, 10), May(5, 11)));
  list.InsertSorted(CDateRange(May(7, 10)));
  CDateRange probe(May(1));
  ASSERT_TRUE(list.FindOnOrAfter(probe));
  EXPECT_TRUE(probe.IsIdenticalTo(CDateRange(May(5, 10), May(5, 11))));
  probe = CDateRange(May(5, 10, 0, 1), May(30));
  ASSERT_TRUE(list.FindOnOrAfter(probe));
  EXPECT_EQ(probe.start, May(7, 10));
  EXPECT_TRUE(probe.end.IsEmpty());
  probe = CDateRange(May(7, 10, 0, 1));
  EXPECT_FALSE(list.FindOnOrAfter(probe));
  CDateRangeList plain;
  plain.InsertSorted(CDateRange(May(5, 10)));
  probe = CDateRange(May(1));
  EXPECT_FALSE(plain.FindOnOrAfter(probe));
}
