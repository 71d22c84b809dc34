// The wizard's date check, the event it builds and the answers it keeps.
#include <gtest/gtest.h>

#include "dialogs/core/wizard_event.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/recurrence/recurrence_rule.h"
#include "tests/model/cal_event_fixture.h"

namespace {

using wizardcore::WizardAnswers;

TEST(WizardDate, SecondPageCheck) {
  struct Case {
    int day, month;  // 0-based indexes as the lists give them
    const char* year;
    bool valid;
  } cases[] = {
      {30, 3, "", false},        // 31 April
      {28, 1, "", true},         // 29 February, no year: 2000 is a leap year
      {28, 1, "2027", false},    {28, 1, "2024", true},  {28, 1, "1900", false},
      {0, 0, "123456", false},   // beyond any date the Julian day carries
      {0, 0, "99999999999999999999", false},
      {0, 0, "9999", true},      {0, 0, "10000", false}, {0, 0, "-5", false},
      {0, 0, "abc", true},       // no number: no year known
      {0, 0, " 1980", true},     {-1, 0, "", false},     {0, -1, "", false},
      {31, 0, "", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.valid, wizardcore::IsDateValid(c.day, c.month, c.year)) << c.day << "/" << c.month << " " << c.year;
}

TEST(WizardEvent, BuildsYearlyAllDayEventFromAnswers) {
  caltest::EventSettings settings;
  struct Case {
    int day, month;
    const char* year;
    int startYear, age;
  } cases[] = {{28, 1, "", 2024, 0}, {4, 6, "1980", 1980, 1}, {4, 6, "", 2027, 0}};
  for (const auto& c : cases) {
    WizardAnswers a;
    a.name = "Ann";
    a.type = "Birthday";
    a.dayIndex = c.day;
    a.monthIndex = c.month;
    a.yearText = c.year;
    a.alarmEnabled = 1;
    a.leadTime = 2;
    a.leadUnits = "Weeks";
    a.daysPrior = 14;
    a.targetCalendarId = 7;
    CCalEvent event;
    wizardcore::FillEvent(a, 2027, &event);
    EXPECT_EQ(c.day + 1, event.start.GetDay());
    EXPECT_EQ(c.month + 1, event.start.GetMonth());
    EXPECT_EQ(c.startYear, event.start.GetYear()) << c.year;
    EXPECT_EQ(c.age, event.calculateAge);
    EXPECT_EQ(0, event.oneTime);
    EXPECT_EQ(CRecurrenceRule::kYearly, event.recurrence.GetRule()->frequency);
    EXPECT_EQ(1, event.recurrence.GetRule()->interval);
    EXPECT_EQ(1, event.allDay);
    EXPECT_EQ(0, event.showEnd);
    EXPECT_EQ(1, event.alarmOn);
    EXPECT_EQ(14, event.daysPrior);
    EXPECT_EQ(7, event.targetCalendarId);
    const CDuration& lead = event.leadTime;
    EXPECT_EQ(1, lead.sign);
    EXPECT_EQ(2, lead.weeks);
    EXPECT_EQ(0, lead.days + lead.hours + lead.minutes + lead.seconds + lead.months + lead.years);
  }
}

TEST(WizardEvent, RemembersAnswersUnderTheKindsOwnKey) {
  caltest::EventSettings settings;
  CProgramSettings& s = g_Settings;
  s.TypeBirthday = "Birthday";
  s.TypeAnniversary = "Anniversary";
  EXPECT_EQ("Anniversary Date", wizardcore::TextsForKind("Anniversary", s).dateCaption);
  EXPECT_EQ("Birth Year", wizardcore::TextsForKind("Birthday", s).yearLabel);
  WizardAnswers a;
  a.kind = "Anniversary";
  a.type = "Jubilee";
  a.alarmEnabled = 0;
  a.leadTime = 3;
  a.leadUnits = "Hours";
  a.daysPrior = 9;
  wizardcore::RememberAnswers(a, &s);
  EXPECT_EQ("Jubilee", s.TypeAnniversary);
  EXPECT_EQ("Birthday", s.TypeBirthday);
  EXPECT_EQ(0, s.BirthdayAlarmEnabled);
  EXPECT_EQ(3, s.BirthdayLeadTime);
  EXPECT_EQ("Hours", s.BirthdayLeadUnits);
  EXPECT_EQ(9, s.DaysPriorBirthday);
  WizardAnswers loaded;
  wizardcore::LoadAlarmDefaults(s, &loaded);
  EXPECT_EQ(3u, loaded.leadTime);
  EXPECT_EQ("Hours", loaded.leadUnits);
}

TEST(WizardSound, DefaultSoundInCurrentFolderIsKeptEmpty) {
  struct Case {
    const char* chosen;
    const char* expected;
  } cases[] = {{"C:\\prog\\whip.wav", ""},
               {"C:\\PROG\\bell.wav", "C:\\PROG\\bell.wav"},
               {"D:\\sounds\\whip.wav", "D:\\sounds\\whip.wav"}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, wizardcore::ChosenSoundFile(c.chosen, "c:\\prog\\", "whip.wav"));
}

}  // namespace
