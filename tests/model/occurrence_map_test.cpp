// The per-occurrence maps and the event's state comparisons.
#include "model/events/occurrence_override_map.h"
#include "model/events/occurrence_state_map.h"

#include <gtest/gtest.h>

namespace {
CDateTime At(int day, int h, int kind = CDateTime::kFloating) {
  CDateTime v(day, 7, 2005, kind);
  v.SetTime(h, 0, 0);
  return v;
}
}  // namespace

TEST(OccurrenceMap, KeysOfTheSameMomentInOtherZoneKindsAreOneEntry) {
  COccurrenceStateMap map;
  map[At(1, 14)].acknowledged = 1;
  // 14:00 local in July is 12:00Z (Europe/Berlin).
  COccurrenceState s;
  ASSERT_TRUE(map.Lookup(At(1, 12, CDateTime::kUtc), s));
  EXPECT_EQ(s.acknowledged, 1);
  EXPECT_FALSE(map.Lookup(At(1, 13, CDateTime::kUtc), s));
  map[At(1, 12, CDateTime::kUtc)].snoozeTime = At(1, 15);
  EXPECT_EQ(map.GetCount(), 1u);
  EXPECT_EQ(map.GetAssocAt(At(1, 14))->snoozeTime, At(1, 15));
}

TEST(OccurrenceMap, IteratesInScheduledOrderAndEmptiesCleanly) {
  COccurrenceOverrideMap map;
  map[At(3, 9)].name = "c";
  map[At(1, 9)].name = "a";
  map[At(2, 9)].name = "b";
  std::string order;
  for (const auto& e : map) order += e.second.name;
  EXPECT_EQ(order, "abc");
  // The same walk by position, ending at position 0.
  std::string byPosition;
  COccurrenceOverrideMap::Position pos = COccurrenceOverrideMap::kStartPosition;
  CDateTime key;
  COccurrenceOverride value;
  while (pos != 0) {
    ASSERT_TRUE(map.GetNextAssoc(pos, key, value));
    byPosition += value.name;
    EXPECT_EQ(value.name, map.GetAssocAt(key)->name);
  }
  EXPECT_EQ(byPosition, "abc");
  EXPECT_FALSE(map.GetNextAssoc(pos, key, value));
  EXPECT_TRUE(map.RemoveKey(At(2, 9)));
  EXPECT_FALSE(map.RemoveKey(At(2, 9)));
  EXPECT_TRUE(map.RemoveKey(At(1, 9)));
  EXPECT_TRUE(map.RemoveKey(At(3, 9)));
  EXPECT_TRUE(map.IsEmpty());
  map[At(4, 9)].moved = 1;
  EXPECT_EQ(map.GetCount(), 1u);
  map.RemoveAll();
  EXPECT_EQ(map.GetCount(), 0u);
  EXPECT_EQ(map.GetStartPosition(), 0u);
  COccurrenceOverrideMap::Position start = COccurrenceOverrideMap::kStartPosition;
  EXPECT_FALSE(map.GetNextAssoc(start, key, value));  // an empty map has no first entry
  EXPECT_EQ(start, 0u);
}

TEST(OccurrenceState, DifferenceIsFlagOrSnoozeTime) {
  COccurrenceState a(1, At(1, 9));
  COccurrenceState b(1, At(1, 7, CDateTime::kUtc));
  EXPECT_FALSE(a != b);
  b.snoozeTime = At(1, 10);
  EXPECT_TRUE(a != b);
  b = a;
  b.acknowledged = 0;
  EXPECT_TRUE(a != b);
}
