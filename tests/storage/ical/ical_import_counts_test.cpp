// Every import ends with counts that match the text and a log of what it
// passed over: damaged, cut off, old or nested calendars and older copies
// of an event.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

std::string Ev(const std::string& uid, const std::string& summary, int sequence = 0) {
  return Event("UID:" + uid + "\r\n" + (summary.empty() ? "" : "SUMMARY:" + summary + "\r\n") +
               "DTSTART:20240320T090000\r\nDTSTAMP:20240101T000000Z\r\nSEQUENCE:" + std::to_string(sequence) + "\r\n");
}

TEST(IcalImportCounts, EveryCaseEndsWithCountsAndALog) {
  UseDefaultSettings();
  const struct {
    const char* what;
    std::string text;
    int added, updated, skipped;
    const char* logged;  // "" when nothing is passed over
    const char* firstName;
  } cases[] = {
      {"no summary", Calendar(Ev("a", "A") + Ev("b", "") + Ev("c", "C")), 2, 0, 1, "Missing Event Name", "A"},
      {"cut off", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + Ev("a", "A") + Ev("b", "B") + "BEGIN:VEVENT\r\nUID:c\r\nSUMM",
       2, 0, 1, "ends before", "A"},
      {"cut after an event", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + Ev("a", "A"), 1, 0, 0, "ends before", "A"},
      {"vCalendar", "BEGIN:VCALENDAR\r\nVERSION:1.0\r\n" + Ev("a", "A") + "END:VCALENDAR\r\n", 0, 0, 1, "vCalendar File",
       nullptr},
      {"nested", Calendar(Ev("a", "A") + Calendar(Ev("b", "B") + Ev("c", "C"))), 3, 0, 0, "", "A"},
      {"older copy", Calendar(Ev("a", "New", 2) + Ev("a", "Old", 1)), 1, 0, 1, "SEQUENCE 1", "New"},
      {"newer copy", Calendar(Ev("a", "Old", 1) + Ev("a", "New", 2)), 1, 1, 0, "", "New"},
  };
  const std::string path = testing::TempDir() + "/almacora_counts.ics";
  for (const auto& c : cases) {
    for (bool file : {false, true}) {
      FakeTarget target;
      ScriptedPrompts prompts;
      CICalConverter converter(&prompts);
      if (file) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
        ASSERT_TRUE(converter.ImportICalFile(path, target)) << c.what;
      } else {
        converter.ImportICalString(c.text, target);
      }
      const std::string where = std::string(c.what) + (file ? " (file)" : " (text)");
      EXPECT_EQ(c.added, converter.GetAddedCount()) << where;
      EXPECT_EQ(c.updated, converter.GetUpdatedCount()) << where;
      EXPECT_EQ(c.skipped, converter.GetSkippedCount()) << where;
      EXPECT_EQ(static_cast<size_t>(c.added), target.events.size()) << where;
      if (*c.logged) EXPECT_TRUE(Contains(converter.GetLog(), c.logged)) << where << "\n" << converter.GetLog();
      else EXPECT_EQ("", converter.GetLog()) << where;
      if (c.firstName) {
        ASSERT_FALSE(target.events.empty()) << where;
        EXPECT_EQ(c.firstName, target.events[0]->name) << where;
      }
    }
  }
}

// A change the calendar cannot store leaves the held event as the file has
// it, is not counted, and stops the run with a word.
TEST(IcalImportCounts, ChangeNotStoredLeavesMemoryAsTheFile) {
  UseDefaultSettings();
  FakeTarget target;
  ScriptedPrompts prompts;
  CICalConverter(&prompts).ImportICalString(Calendar(Ev("a", "Old", 1)), target);
  target.failUpdates = true;
  CICalConverter converter(&prompts);
  converter.ImportICalString(Calendar(Ev("a", "New", 2) + Ev("b", "B")), target);
  ASSERT_EQ(1u, target.events.size());
  EXPECT_EQ("Old", target.events[0]->name);
  EXPECT_EQ(1, target.events[0]->sequence);
  EXPECT_EQ(0, converter.GetUpdatedCount());
  EXPECT_TRUE(converter.IsCancelled());
  EXPECT_TRUE(Contains(converter.GetLog(), "not saved"));
}

}  // namespace
