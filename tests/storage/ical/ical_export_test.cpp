// Export: the header, all-day dates, rules, alarms and their switches.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

std::unique_ptr<CCalEvent> NewEvent(int day, int month, int year, bool allDay) {
  auto e = std::make_unique<CCalEvent>();
  e->name = "Dentist";
  e->uid = "uid-1@test";
  e->start = CDateTime(day, month, year);
  if (!allDay) e->start.SetTime(9, 0, 0);
  e->end = e->start;
  e->allDay = allDay ? 1 : 0;
  e->nextOccurrence = e->start;
  e->alarmOn = 1;
  e->leadTime = CDuration::Minutes(15);
  return e;
}

CRecurrenceRule& MakeRecurring(CCalEvent& e, int frequency) {
  e.oneTime = 0;
  CRecurrenceRule& r = *e.recurrence.GetRule();
  r.frequency = static_cast<int16_t>(frequency);
  return r;
}

std::string Export(const CCalEvent& e, bool publishAlarms, bool* advanced = nullptr) {
  ICalCalendarHeader h;
  h.publishAlarms = publishAlarms;
  CICalConverter c;
  std::string text = c.ExportEventICal(e, h);
  if (advanced) *advanced = c.HasAdvancedRule();
  return text;
}

class IcalExport : public ::testing::Test {
 protected:
  void SetUp() override { UseDefaultSettings(); }
};

TEST_F(IcalExport, HeaderCarriesCalendarPropertiesOnlyWhenSet) {
  CICalConverter c;
  ICalCalendarHeader h;
  std::string bare = c.ExportCalendarICal({}, h);
  EXPECT_TRUE(Contains(bare, "VERSION:2.0\r\nPRODID:-//Corvelle Software//Almacora 5.0//EN\r\nMETHOD:PUBLISH\r\n"));
  EXPECT_FALSE(Contains(bare, "X-WR-"));
  h.name = "Caf\xE9";
  h.timeZone = "Europe/Berlin";
  std::string named = c.ExportCalendarICal({}, h);
  EXPECT_TRUE(Contains(named, "X-WR-CALNAME:Caf\xC3\xA9\r\n")) << named;
  EXPECT_TRUE(Contains(named, "X-WR-TIMEZONE:Europe/Berlin\r\n"));
  EXPECT_FALSE(Contains(named, "X-WR-RELCALID"));
}

TEST_F(IcalExport, AllDayDatesAndExclusiveEnd) {
  auto e = NewEvent(5, 1, 2024, true);
  e->showEnd = 1;
  std::string text = Export(*e, false);
  for (const char* line : {"DTSTART;VALUE=DATE:20240105\r\n", "DTEND;VALUE=DATE:20240106\r\n",
                           "X-AK-NEXT-ALARM;VALUE=DATE:20240105\r\n"})
    EXPECT_TRUE(Contains(text, line)) << line << "\n" << text;
}

TEST_F(IcalExport, RulesAndTheirAdvancedFlag) {
  struct Case {
    const char* what;
    void (*build)(CRecurrenceRule&);
    int frequency;
    const char* expected;  // nullptr: no RRULE
    bool advanced;
  } cases[] = {
      {"easter", [](CRecurrenceRule& r) { r.offsetDays = -2; }, CRecurrenceRule::kEaster, nullptr, true},
      {"last monday", [](CRecurrenceRule& r) { r.AddByDayOrdinal(1, -1); }, CRecurrenceRule::kMonthly,
       "RRULE:FREQ=MONTHLY;BYDAY=-1MO\r\n", false},
      {"hourly", [](CRecurrenceRule& r) { r.interval = 2; }, CRecurrenceRule::kHourly,
       "RRULE:FREQ=HOURLY;INTERVAL=2\r\n", false},
      {"every month day", [](CRecurrenceRule& r) {
         r.byMonthDay.push_back(-1);
         for (int d = 1; d <= 31; ++d) r.byMonthDay.push_back(static_cast<int16_t>(d));
       }, CRecurrenceRule::kMonthly, "BYMONTHDAY=1,2,3,", false},
      {"set position", [](CRecurrenceRule& r) { r.bySetPos.push_back(-1); r.AddByDay(5); },
       CRecurrenceRule::kMonthly, "BYSETPOS=-1", true},
      {"list cut", [](CRecurrenceRule& r) { for (int i = 0; i < 20; ++i) r.byMonth.push_back(1); },
       CRecurrenceRule::kYearly, "BYMONTH=1,1,1,1,1,1,1,1,1,1,1,1", true},
  };
  for (const Case& c : cases) {
    auto e = NewEvent(5, 1, 2024, false);
    c.build(MakeRecurring(*e, c.frequency));
    bool advanced = false;
    std::string text = Export(*e, false, &advanced);
    EXPECT_EQ(advanced, c.advanced) << c.what;
    if (c.expected) {
      EXPECT_TRUE(Contains(text, c.expected)) << c.what << "\n" << text;
      EXPECT_FALSE(Contains(text, "-1,1,2")) << c.what;
    } else {
      EXPECT_FALSE(Contains(text, "RRULE")) << c.what;
      EXPECT_TRUE(Contains(text, "X-AK-RECUR-EASTER:TRUE\r\nX-AK-RECUR-OFFSET:-2\r\n")) << text;
    }
  }
}

TEST_F(IcalExport, AlarmsFollowTheActionsAndThePublishFlag) {
  const std::string audio =
      "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER;VALUE=DURATION:-PT15M\r\nREPEAT:15\r\nDURATION:PT20S\r\n"
      "ATTACH:whip.wav\r\nEND:VALARM\r\n";
  const std::string display =
      "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DURATION:-PT15M\r\nDESCRIPTION:Dentist\r\nREPEAT:15\r\n"
      "DURATION:PT20S\r\nEND:VALARM\r\n";
  auto e = NewEvent(5, 1, 2024, false);
  e->occurrenceStates[e->start] = COccurrenceState(1, CDateTime());
  std::string text = Export(*e, true);
  EXPECT_TRUE(Contains(text, audio + display)) << text;
  EXPECT_EQ(text.find("BEGIN:VALARM"), text.find(audio));
  EXPECT_TRUE(Contains(text, "X-AK-ALARM-OCCUR;VALUE=DATE-TIME;X-ACK=TRUE:20240105T090000\r\n")) << text;

  e->emailOn = 1;
  e->emailTo = "a@example.org";
  e->runOn = 1;
  e->runFile = "C:\\tools\\run.exe";
  text = Export(*e, true);
  const size_t email = text.find("ACTION:EMAIL"), procedure = text.find("ACTION:PROCEDURE");
  ASSERT_NE(email, std::string::npos);
  EXPECT_TRUE(procedure != std::string::npos && email < procedure && text.find("ACTION:DISPLAY") < email);
  EXPECT_TRUE(Contains(text, "ATTENDEE:mailto:a@example.org\r\n"));

  text = Export(*e, false);
  EXPECT_FALSE(Contains(text, "VALARM"));
  EXPECT_FALSE(Contains(text, "X-AK-ALARM-OCCUR"));

  // No repeat length: nothing to divide by, no REPEAT or DURATION.
  g_Settings.AlarmRepeatLength = 0;
  text = Export(*e, true);
  EXPECT_TRUE(Contains(text, "ACTION:AUDIO"));
  EXPECT_FALSE(Contains(text, "REPEAT")) << text;
}

TEST_F(IcalExport, LeavesOutDisabledAndSuppressedEventsAndWritesZonesAsUtc) {
  auto shown = NewEvent(5, 1, 2024, false);
  shown->start.SetZoneKind(CDateTime::kNamedZone);
  shown->start.SetTzid("America/New_York");
  auto disabled = NewEvent(6, 1, 2024, false);
  disabled->name = "Disabled";
  disabled->disabled = 1;
  auto suppressed = NewEvent(7, 1, 2024, false);
  suppressed->name = "Suppressed";
  suppressed->alarmSuppressed = 1;
  CICalConverter c;
  std::string text = c.ExportCalendarICal({shown.get(), disabled.get(), suppressed.get()}, ICalCalendarHeader());
  EXPECT_TRUE(Contains(text, "DTSTART:20240105T090000Z\r\n")) << text;
  EXPECT_FALSE(Contains(text, "Disabled"));
  EXPECT_FALSE(Contains(text, "Suppressed"));
}

}  // namespace
