// The holiday calendars and the calendar wizard's window-free steps: the
// holidays fall where they should, the first-start offer reads the program
// folder's files whatever the current folder, and the alarm step saves
// without touching what a refresh compares.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/recurrence/recurrence_rule.h"
#include "platform/paths.h"
#include "storage/calendar_wizard.h"
#include "storage/holiday_calendars.h"
#include "tests/storage/storage_fixture.h"

namespace {

using calwizard::Row;

struct HolidayCase {
  size_t calendar;
  const char* name;
  int year, month, day;
} const kHolidayCases[] = {
    {3, "Thanksgiving Day", 2026, 11, 26}, {3, "Memorial Day", 2026, 5, 25},
    {3, "Martin Luther King Jr. Day", 2027, 1, 18}, {3, "Independence Day", 2026, 7, 4},
    {1, "Victoria Day", 2026, 5, 18}, {1, "Victoria Day", 2025, 5, 19},
    {1, "Good Friday", 2026, 4, 3}, {2, "Easter Monday", 2027, 3, 29},
    {2, "Summer Bank Holiday", 2026, 8, 31}, {2, "Spring Bank Holiday", 2027, 5, 31},
    {0, "King's Birthday", 2026, 6, 8}, {0, "Easter Saturday", 2026, 4, 4},
};

TEST(HolidayCalendars, TableDatesAndTheirRulesAgree) {
  for (const HolidayCase& c : kHolidayCases) {
    const std::vector<holidays::Holiday> list = holidays::HolidaysOf(c.calendar);
    const holidays::Holiday* found = nullptr;
    for (const holidays::Holiday& h : list)
      if (std::string(h.name) == c.name) found = &h;
    ASSERT_NE(found, nullptr) << c.name;
    EXPECT_EQ(holidays::JulianDayIn(*found, c.year), JulianDayFromDate(c.month, c.day, c.year)) << c.name;
  }
  // Every holiday's own rule, from its series start in 2000, meets the
  // table's date in each later year.
  for (size_t i = 0; i < holidays::kCalendarCount; ++i) {
    for (const holidays::Holiday& h : holidays::HolidaysOf(i)) {
      std::unique_ptr<CCalEvent> event(holidays::MakeEvent(h, "t", 2000, "u"));
      for (int year : {2001, 2024, 2025, 2026, 2038}) {
        CDateTime from;
        from.SetDate(1, 1, year);
        ASSERT_EQ(event->recurrence.GetRule()->GetNextOccurrence(from), CRecurrenceRule::kFound) << h.name;
        EXPECT_EQ(from.GetJulianDay(), holidays::JulianDayIn(h, year)) << h.name << " " << year;
      }
    }
  }
}

class CalendarWizard : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    storagetest::StorageTest::SetUp();
    // The holiday files go where the program keeps them; the test runs in
    // a folder of its own.
    folder_ = platform::ProgramFolder();
    for (size_t i = 0; i < holidays::kCalendarCount; ++i) ASSERT_EQ(holidays::WriteCalendar(i, folder_), 1);
    g_Settings.EventTypeNames = {"Birthday", "Holiday - UK"};
    g_Settings.EventTypeColors = {1, 2};
  }
  void TearDown() override {
    doc_.reset();
    for (const holidays::CalendarInfo& info : holidays::kCalendars) std::filesystem::remove(folder_ + info.file);
    storagetest::StorageTest::TearDown();
  }
  std::string HolidayPath(size_t i) const { return folder_ + holidays::kCalendars[i].file; }
  CAlmacoraDoc& Doc() {
    if (!doc_) {
      doc_ = std::make_unique<CAlmacoraDoc>();
      storagetest::StartOn(doc_.get(), paths_);
    }
    return *doc_;
  }
  std::vector<CCalEvent*> EventsOf(const CCalendarFile* c) {
    std::vector<CCalEvent*> found;
    for (CCalEvent* e : Doc().events().items())
      if (e->calendar == c) found.push_back(e);
    return found;
  }

  std::string folder_;
  std::vector<std::string> paths_;
  std::unique_ptr<CAlmacoraDoc> doc_;
};

TEST_F(CalendarWizard, FirstStartOffersTheHolidayFilesOnce) {
  struct Case {
    const char* what;
    int listedAlready;  // index of a holiday file the profile lists, -1 none
    int missing;        // index of a holiday file removed, -1 none
    int damaged;        // index of a holiday file that is no calendar, -1 none
    std::vector<std::string> names;
  } const cases[] = {
      {"all there", -1, -1, -1, {"Australia Holidays", "Canada Holidays", "UK Holidays", "US Holidays"}},
      {"listed by the profile", 1, -1, -1, {"Australia Holidays", "UK Holidays", "US Holidays"}},
      {"one missing", -1, 0, -1, {"Canada Holidays", "UK Holidays", "US Holidays"}},
      {"one damaged", -1, -1, 2, {"Australia Holidays", "Canada Holidays", "US Holidays"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    doc_.reset();
    paths_.clear();
    for (size_t i = 0; i < holidays::kCalendarCount; ++i) ASSERT_EQ(holidays::WriteCalendar(i, folder_), 1);
    if (c.listedAlready >= 0) paths_ = {HolidayPath(static_cast<size_t>(c.listedAlready))};
    if (c.missing >= 0) std::filesystem::remove(HolidayPath(static_cast<size_t>(c.missing)));
    if (c.damaged >= 0) std::ofstream(HolidayPath(static_cast<size_t>(c.damaged)), std::ios::trunc) << "not a calendar";
    g_Settings.EventTypeNames = {"Birthday", "Holiday - UK"};
    g_Settings.EventTypeColors = {1, 2};
    const size_t listedBefore = Doc().calendars().size();
    const std::vector<Row> rows = calwizard::OfferHolidayCalendars(Doc(), g_Settings);
    std::vector<std::string> names;
    for (const Row& row : rows) {
      names.push_back(row.name);
      EXPECT_EQ(row.ticked, row.name == "US Holidays");
      const CCalendarFile* listed = Doc().calendars().FindById(row.calendarId);
      ASSERT_NE(listed, nullptr);
      EXPECT_EQ(listed->openState, CCalendarFile::kClosed);
      EXPECT_TRUE(EventsOf(listed).empty());
    }
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(Doc().calendars().size(), listedBefore + rows.size());
    // The types the offered files bring, each once, in red; the UK type
    // was there already and keeps its colour.
    std::multiset<std::string> types(g_Settings.EventTypeNames.begin(), g_Settings.EventTypeNames.end());
    EXPECT_EQ(types.count("Holiday - UK"), 1u);
    EXPECT_EQ(g_Settings.EventTypeColors.size(), g_Settings.EventTypeNames.size());
    EXPECT_EQ(g_Settings.EventTypeColors[1], 2u);
    for (size_t i = 2; i < g_Settings.EventTypeColors.size(); ++i)
      EXPECT_EQ(g_Settings.EventTypeColors[i], calwizard::kHolidayTypeColor);
    // A second offer finds them all listed.
    EXPECT_TRUE(calwizard::OfferHolidayCalendars(Doc(), g_Settings).empty());
  }
}

TEST_F(CalendarWizard, AlarmStepOpensTheTickedAndKeepsStamps) {
  std::vector<Row> rows = calwizard::OfferHolidayCalendars(Doc(), g_Settings);
  ASSERT_EQ(rows.size(), 4u);
  // Only ticked closed calendars are the Alarms page's; none leaves nothing.
  for (Row& row : rows) row.ticked = false;
  EXPECT_TRUE(calwizard::ClosedTicked(Doc().calendars(), rows).empty());
  rows[3].ticked = rows[1].ticked = true;
  std::vector<Row> chosen = calwizard::ClosedTicked(Doc().calendars(), rows);
  ASSERT_EQ(chosen.size(), 2u);
  // Canada's file went after it was listed: it stays closed and leaves.
  std::filesystem::remove(HolidayPath(1));
  CCalendarFile* us = Doc().calendars().FindById(rows[3].calendarId);
  calwizard::AlarmChoice choice;
  choice.enabled = true;
  choice.leadTime = 2;
  choice.units = "Hours";
  const size_t hintsBefore = shell.hints.size();
  EXPECT_EQ(calwizard::OpenWithAlarms(Doc(), &chosen, choice, true), 11);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].calendarId, us->listId);
  EXPECT_EQ(Doc().calendars().FindById(rows[1].calendarId)->openState, CCalendarFile::kClosed);
  EXPECT_EQ(us->openState, CCalendarFile::kOpen);
  EXPECT_EQ(shell.hints.size(), hintsBefore);  // first start: the start-up recounts

  // Read back from the file: alarm on, two hours, stamps and sequence kept.
  std::vector<std::pair<CDateTime, int32_t>> stamps;
  for (CCalEvent* e : EventsOf(us)) stamps.emplace_back(e->dtStamp, e->sequence);
  CCalendarFile reread;
  CEventArray events;
  ASSERT_EQ(reread.Open(&events, HolidayPath(3)), 1);
  ASSERT_EQ(events.items().size(), 11u);
  for (size_t i = 0; i < events.items().size(); ++i) {
    const CCalEvent* e = events.items()[i];
    EXPECT_EQ(e->alarmOn, 1) << e->name;
    EXPECT_EQ(e->leadTime.hours, 2) << e->name;
    EXPECT_EQ(e->leadTime.days, 0) << e->name;
    EXPECT_EQ(e->dtStamp.GetJulianDay(), JulianDayFromDate(1, 1, 2000)) << e->name;
    EXPECT_EQ(e->sequence, 0) << e->name;
  }
  reread.Close(&events);

  // From the menu the document is recounted.
  us->Close(&Doc().events());
  us->openState = CCalendarFile::kClosed;
  chosen = {Row{us->listId, us->name, true}};
  choice.enabled = false;
  EXPECT_EQ(calwizard::OpenWithAlarms(Doc(), &chosen, choice, false), 11);
  EXPECT_GT(shell.hints.size(), hintsBefore);
}

TEST_F(CalendarWizard, ListedCalendarsAndAlternateAddresses) {
  paths_ = {NewCalendarFile("work.akv"), NewCalendarFile("old.akv")};
  Doc().calendars().items()[1]->Close(&Doc().events());
  Doc().calendars().items()[1]->openState = CCalendarFile::kClosed;
  std::vector<Row> rows = calwizard::OfferListedCalendars(Doc().calendars());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[0].ticked);
  EXPECT_FALSE(rows[1].ticked);

  struct Case {
    uint8_t order;
    const char* address;
    uint8_t orderAfter;
  } const cases[] = {{2, "http://alt/", 1}, {1, "http://main/", 1}, {0, "http://main/", 0}};
  for (const Case& c : cases) {
    CCalendarFile* old = Doc().calendars().items()[1];
    old->address = "http://main/";
    old->alternateAddress = "http://alt/";
    old->addressOrder = c.order;
    ASSERT_EQ(old->WriteCalInfo(), 1);
    calwizard::UseAlternateAddresses(Doc().calendars(), rows);
    EXPECT_EQ(old->address, c.address);
    EXPECT_EQ(old->addressOrder, c.orderAfter);
    // What was stored: the closed calendar's record was rewritten.
    CCalendarFile reread;
    reread.openState = CCalendarFile::kClosed;
    ASSERT_EQ(reread.Open(nullptr, old->path), 1);
    EXPECT_EQ(reread.address, c.address);
    EXPECT_EQ(reread.addressOrder, c.orderAfter);
  }
}

}  // namespace

namespace {

// Holiday h's first day on or after Julian day `from`.
int32_t NextHolidayDay(const holidays::Holiday& h, int32_t from, int year) {
  const int32_t d = holidays::JulianDayIn(h, year);
  return d >= from ? d : holidays::JulianDayIn(h, year + 1);
}

}  // namespace

// The shipped files carry each holiday's own next date, so the first start
// lists them right and has nothing to roll forward; a start (the three
// disabled files included) and its close leave every byte as it was.
TEST_F(CalendarWizard, HolidayFilesCarryTheirNextDatesAndAStartLeavesThemAlone) {
  std::vector<std::vector<uint8_t>> before;
  for (size_t i = 0; i < holidays::kCalendarCount; ++i) {
    paths_.push_back(HolidayPath(i));
    before.push_back(storagetest::ReadFileBytes(HolidayPath(i)));
  }
  g_Settings.DataFilePaths = paths_;
  g_Settings.DataFileEnabled = {0, 0, 0, 1};
  doc_ = std::make_unique<CAlmacoraDoc>();
  doc_->Start("");
  const CDateTime today = CDateTime::Today();
  const int32_t todayDay = today.GetJulianDay();
  const std::vector<holidays::Holiday> us = holidays::HolidaysOf(3);
  size_t checked = 0;
  for (CCalEvent* e : Doc().events().items()) {
    const size_t i = static_cast<size_t>(std::stoi(e->uid.substr(e->uid.rfind('-') + 1))) - 1;
    EXPECT_EQ(e->nextOccurrence.GetJulianDay(), NextHolidayDay(us.at(i), todayDay, today.GetYear())) << e->name;
    ++checked;
  }
  EXPECT_EQ(checked, us.size());
  doc_.reset();
  for (size_t i = 0; i < holidays::kCalendarCount; ++i)
    EXPECT_TRUE(storagetest::ReadFileBytes(HolidayPath(i)) == before[i]) << holidays::kCalendars[i].file;
}
