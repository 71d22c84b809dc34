// The date-range print list: occurrences between From and To, in date
// order, acknowledged ones by the setting, equal times newest first.
#include "shell/core/print_range_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/events/cal_event.h"

namespace {

CDateTime At(int d, int m, int y, int hour) {
  return CDateTime::FromParts(CDateTime(d, m, y).GetRawJulianDay(), hour * 3600, 0);
}

std::unique_ptr<CCalEvent> Event(const char* name, const CDateTime& start, bool daily, const char* type = "") {
  auto e = std::make_unique<CCalEvent>();
  e->name = name;
  e->type = type;
  e->start = e->end = e->nextOccurrence = start;
  e->oneTime = daily ? 0 : 1;
  if (daily) e->recurrence.GetRule()->frequency = CRecurrenceRule::kDaily;
  return e;
}

bool HideHidden(const std::string& type, void*) { return type == "hidden"; }

std::vector<std::string> Names(const std::vector<COccurrenceRef>& list) {
  std::vector<std::string> names;
  for (const COccurrenceRef& r : list) names.push_back(r.event->name + "@" + std::to_string(r.date.GetDay()));
  return names;
}

}  // namespace

TEST(PrintRangeList, Cases) {
  auto daily = Event("daily", At(1, 3, 2025, 9), true);
  auto once = Event("once", At(5, 3, 2025, 9), false);
  auto late = Event("late", At(5, 3, 2025, 9), false);  // same time, found later
  auto hidden = Event("hid", At(4, 3, 2025, 9), false, "hidden");
  auto off = Event("off", At(4, 3, 2025, 9), false);
  off->disabled = 1;
  auto before = Event("early", At(1, 2, 2025, 9), false);
  std::vector<CCalEvent*> all = {daily.get(), once.get(), late.get(), hidden.get(), off.get(), before.get()};

  struct Case {
    const char* name;
    std::vector<CCalEvent*> events;
    CDateTime from, to;
    bool acknowledgedToo;
    std::vector<std::string> want;
  } cases[] = {
      {"a daily event over a week", {daily.get()}, CDateTime(3, 3, 2025), CDateTime(9, 3, 2025), true,
       {"daily@3", "daily@4", "daily@5", "daily@6", "daily@7", "daily@8", "daily@9"}},
      {"From after To", {daily.get()}, CDateTime(9, 3, 2025), CDateTime(3, 3, 2025), true, {}},
      {"equal times newest first, filtered and disabled skipped", all, CDateTime(5, 3, 2025),
       CDateTime(5, 3, 2025), true, {"late@5", "once@5", "daily@5"}},
      {"hidden type and old event", all, CDateTime(4, 3, 2025), CDateTime(4, 3, 2025), true, {"daily@4"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Names(printcore::BuildRangeList(c.events, HideHidden, nullptr, c.from, c.to, c.acknowledgedToo)), c.want)
        << c.name;

  // One of the seven acknowledged: six without acknowledged entries.
  daily->Acknowledge(At(6, 3, 2025, 9), false);
  auto list = printcore::BuildRangeList({daily.get()}, nullptr, nullptr, CDateTime(3, 3, 2025),
                                        CDateTime(9, 3, 2025), false);
  EXPECT_EQ(list.size(), 6u);
  EXPECT_EQ(printcore::BuildRangeList({daily.get()}, nullptr, nullptr, CDateTime(3, 3, 2025), CDateTime(9, 3, 2025),
                                      true)
                .size(),
            7u);
}
