// The editor's window-free rules: lead time shown and stored, the kind
// switch, unusual hours, the series and occurrence saves, the export name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/core/event_edit_session.h"
#include "dialogs/core/event_export_name.h"
#include "dialogs/core/lead_time.h"
#include "model/events/cal_event.h"
#include "storage/calendar_file.h"
#include "tests/model/cal_event_fixture.h"

using caltest::At;
using namespace dialogcore;

namespace {

CDuration Parts(int days, int hours, int minutes) {
  CDuration d;
  d.sign = 1;
  d.days = days;
  d.hours = hours;
  d.minutes = minutes;
  return d;
}

struct Host : IEventEditHost {
  std::vector<CCalendarFile*> list;
  bool reopenOk = true;
  int reopens = 0;
  std::vector<CCalendarFile*> Calendars() override { return list; }
  CCalEvent* FindConflictingEvent(const CDateTime&, const CDateTime&, CCalEvent*) override { return nullptr; }
  bool ReopenCalendar(CCalendarFile& c) override {
    ++reopens;
    if (reopenOk) c.openState = CCalendarFile::kOpen;
    return reopenOk;
  }
};

struct Prompts : IEventEditPrompts {
  bool resetAnswer = true;
  int resets = 0, refusals = 0, moves = 0;
  bool AskResetOccurrences() override { return ++resets, resetAnswer; }
  void RefuseEarlyOccurrence() override { ++refusals; }
  void NotifyStartMoved() override { ++moves; }
};

int OpenOccurrence(const std::string&) { return 0; }

TEST(LeadTime, ShownAsLargestExactUnit) {
  struct Case {
    CDuration lead;
    int amount;
    const char* units;
    bool exact;
  } cases[] = {
      {Parts(1, 2, 0), 26, "Hours", true},
      {Parts(7, 0, 0), 1, "Weeks", true},
      {Parts(0, 0, 90), 90, "Minutes", true},
      {CDuration::Weeks(2), 2, "Weeks", true},
      {Parts(1, 2, 30), 26, "Hours", false},
      {CDuration(), 0, "", true},
  };
  for (const Case& c : cases) {
    LeadTimeChoice got = LeadTimeToChoice(c.lead);
    EXPECT_EQ(got.amount, c.amount);
    EXPECT_EQ(got.units, c.units);
    EXPECT_EQ(got.exact, c.exact);
    if (c.exact && got.amount) {
      EXPECT_TRUE(SameLeadTime(LeadTimeFromChoice(got.amount, got.units), c.lead));
    }
  }
  EXPECT_TRUE(SameLeadTime(CDuration::Days(1), CDuration::Hours(24)));
  EXPECT_FALSE(SameLeadTime(CDuration::Days(1), CDuration::Hours(25)));
  // Unchanged amount and unit keep a lead time no unit shows; a change wins.
  const CDuration odd = Parts(1, 2, 30);
  const LeadTimeChoice shown = LeadTimeToChoice(odd);
  EXPECT_TRUE(ResolveLeadTime(odd, shown, shown.amount, shown.units) == odd);
  EXPECT_TRUE(ResolveLeadTime(odd, shown, 3, "Hours") == CDuration::Hours(3));
}

TEST(UnusualTime, SpansAndTexts) {
  struct Case {
    int begin, end, seconds;
    bool warns;
  } cases[] = {
      {22, 5, 23 * 3600, true},      {22, 5, 5 * 3600, true},  {22, 5, 5 * 3600 + 1, false},
      {22, 5, 21 * 3600 + 3540, false}, {1, 4, 3600, true},     {1, 4, 4 * 3600, true},
      {1, 4, 4 * 3600 + 1, false},   {1, 4, 0, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUnusualTime(c.seconds, c.begin, c.end), c.warns) << c.seconds;
  EXPECT_EQ(UnusualTimeMessage(22, 5, true), "The time you have entered is between\n22:00 and 5:00.\n\nIs this correct?");
  EXPECT_EQ(UnusualTimeMessage(1, 4, false), "The time you have entered is between\n1am and 4am.\n\nIs this correct?");
  EXPECT_EQ(UnusualTimeMessage(22, 0, false), "The time you have entered is between\n10pm and 12am.\n\nIs this correct?");
}

TEST(ExportName, StripsAndCuts) {
  EXPECT_EQ(ExportFileName("a/b:c"), "abc.ics");
  EXPECT_EQ(ExportFileName("x\"y\t*?<>|\\z"), "xyz.ics");
  const std::string longName = ExportFileName(std::string(500, 'n'));
  EXPECT_EQ(longName.size(), 259u);
  EXPECT_EQ(longName.substr(255), ".ics");
}

class Session : public ::testing::Test {
 protected:
  caltest::EventSettings settings_;
  Host host_;
  Prompts prompts_;
  CCalendarFile calendar_;
  CCalEvent event_;
  void SetUp() override {
    calendar_.listId = 1;
    host_.list = {&calendar_};
    event_.calendar = &calendar_;
    caltest::MakeRecurring(event_, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
    event_.name = "Standup";
    event_.end = At(1, 3, 2005, 10);
    event_.showEnd = 1;
  }
};

TEST_F(Session, KindSwitchClearsCriteria) {
  EventEditSession s;
  ASSERT_TRUE(s.Load(event_, nullptr, nullptr));
  s.rule.count = 4;
  s.rule.until = At(1, 4, 2005);
  s.rule.byMonth = {3};
  s.SelectKind(kDaily, false);
  EXPECT_EQ(s.rule.count, 4);
  s.SelectKind(kWeekly, true);
  EXPECT_EQ(s.rule.count, 0);
  EXPECT_FALSE(s.rule.IsUntilSet());
  EXPECT_TRUE(s.rule.byMonth.empty());
  EXPECT_EQ(s.rule.frequency, CRecurrenceRule::kWeekly);
  EXPECT_EQ(s.leadAmount, g_Settings.LeadTimeWeekly);
  s.Abandon();
  EXPECT_EQ(event_.inEdit, 0);
}

TEST_F(Session, LeadTimeSurvivesUnchangedSave) {
  const CDuration leads[] = {Parts(1, 2, 0), Parts(1, 2, 30)};
  for (const CDuration& lead : leads) {
    event_.leadTime = lead;
    EventEditSession s;
    ASSERT_TRUE(s.Load(event_, nullptr, nullptr));
    EXPECT_EQ(event_.inEdit, 1);
    ASSERT_TRUE(s.Save(host_, prompts_));
    EXPECT_TRUE(SameLeadTime(event_.leadTime, lead));
    EXPECT_EQ(event_.inEdit, 0);
  }
}

TEST_F(Session, OccurrenceOverridesKeyedByScheduledDate) {
  const CDateTime third = At(3, 3, 2005, 9);
  {
    EventEditSession s;
    ASSERT_TRUE(s.Load(event_, &third, OpenOccurrence));
    EXPECT_FALSE(s.series);
    s.name = "Moved standup";
    ASSERT_TRUE(s.Save(host_, prompts_));
    const COccurrenceOverride* o = event_.occurrenceOverrides.GetAssocAt(third);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->mask, COccurrenceOverride::kName);
    EXPECT_FALSE(o->IsMoved());
  }
  {
    // Moved to 14:00, then back on 09:00 with the texts of the event.
    EventEditSession s;
    ASSERT_TRUE(s.Load(event_, &third, OpenOccurrence));
    EXPECT_EQ(s.name, "Moved standup");
    s.StartTimeChanged(At(3, 3, 2005, 14));
    EXPECT_TRUE(s.end == At(3, 3, 2005, 15));
    ASSERT_TRUE(s.Save(host_, prompts_));
    EXPECT_TRUE(event_.GetOccurrenceRange(third).start == At(3, 3, 2005, 14));
    EventEditSession back;
    ASSERT_TRUE(back.Load(event_, &third, OpenOccurrence));
    EXPECT_TRUE(back.start == At(3, 3, 2005, 14));
    back.StartTimeChanged(At(3, 3, 2005, 9));
    back.name = event_.name;
    ASSERT_TRUE(back.Save(host_, prompts_));
    EXPECT_EQ(event_.occurrenceOverrides.GetAssocAt(third), nullptr);
  }
  {
    EventEditSession s;
    ASSERT_TRUE(s.Load(event_, &third, OpenOccurrence));
    s.StartDateChanged(At(28, 2, 2005, 9));
    EXPECT_FALSE(s.Save(host_, prompts_));
    EXPECT_EQ(prompts_.refusals, 1);
    s.Abandon();
  }
  EXPECT_EQ(event_.inEdit, 0);
}

TEST_F(Session, ReadOnlyCalendarChangesNothing) {
  calendar_.fileType = CCalendarFile::kMemoryOnly;
  COccurrenceState state;
  state.acknowledged = 1;
  event_.occurrenceStates[At(2, 3, 2005, 9)] = state;
  EventEditSession s;
  ASSERT_TRUE(s.Load(event_, nullptr, nullptr));
  EXPECT_TRUE(s.readOnly);
  s.name = "changed";
  ASSERT_TRUE(s.Save(host_, prompts_));
  EXPECT_FALSE(s.Changed());
  EXPECT_EQ(event_.name, "Standup");
  EXPECT_EQ(event_.occurrenceStates.GetCount(), 1u);
  EXPECT_EQ(event_.inEdit, 0);
}

TEST_F(Session, SeriesSaveAsksBeforeDroppingOverridesAndKeepsOffsets) {
  event_.occurrenceOverrides[At(3, 3, 2005, 9)].mask = COccurrenceOverride::kName;
  event_.recurrence.GetRule()->offsetDays = 2;  // an imported offset
  EventEditSession s;
  ASSERT_TRUE(s.Load(event_, nullptr, nullptr));
  s.offsetDays = 5;
  s.StartTimeChanged(At(1, 3, 2005, 9, 1));
  prompts_.resetAnswer = false;
  EXPECT_FALSE(s.Save(host_, prompts_));
  prompts_.resetAnswer = true;
  ASSERT_TRUE(s.Save(host_, prompts_));
  EXPECT_TRUE(event_.occurrenceOverrides.IsEmpty());
  EXPECT_EQ(event_.recurrence.GetRule()->offsetDays, 2);
  EXPECT_EQ(event_.recurrence.GetRule()->startIsOccurrence, 1);
}

TEST_F(Session, AdvancedStartMovesToFirstMatch) {
  EventEditSession s;
  ASSERT_TRUE(s.Load(event_, nullptr, nullptr));
  s.SelectKind(kWeekly, false);
  s.rule.AddByDay(5);  // Fridays; 1 March 2005 is a Tuesday
  EXPECT_TRUE(s.ApplyAdvancedStart(prompts_));
  EXPECT_TRUE(s.start == At(4, 3, 2005, 9));
  EXPECT_TRUE(s.end == At(4, 3, 2005, 10));
  EXPECT_EQ(s.rule.startIsOccurrence, 1);
  EXPECT_EQ(prompts_.moves, 1);
  s.Abandon();
}

TEST_F(Session, CalendarsOfferedAndReopened) {
  CCalendarFile ical, closed;
  ical.listId = 2;
  ical.fileType = CCalendarFile::kMemoryOnly;
  closed.listId = 3;
  closed.openState = CCalendarFile::kClosed;
  host_.list = {&calendar_, &ical, &closed};
  event_.calendar = &closed;
  EventEditSession s;
  ASSERT_TRUE(s.Load(event_, nullptr, nullptr));
  int selected = -2;
  std::vector<CCalendarFile*> offered = s.OfferedCalendars(host_, &selected);
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(selected, 1);
  host_.reopenOk = false;
  EXPECT_FALSE(s.Save(host_, prompts_));
  host_.reopenOk = true;
  EXPECT_TRUE(s.Save(host_, prompts_));
  EXPECT_EQ(closed.openState, CCalendarFile::kOpen);
}

}  // namespace

// The alarm actions and the calculate-age box reach the event only through a
// completed save: a cancel, or No to the reset question, leaves it as it was.
TEST_F(Session, ActionsAndAgeWaitForTheSave) {
  struct Case {
    const char* what;
    bool save, resetAnswer;
    int16_t soundOn, calculateAge;
  } const cases[] = {
      {"cancelled", false, true, -2, 0},
      {"reset refused", true, false, -2, 0},
      {"saved", true, true, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CCalEvent ev;
    caltest::MakeRecurring(ev, CRecurrenceRule::kYearly, At(1, 3, 2005, 9));
    ev.calendar = &calendar_;
    ev.occurrenceOverrides[At(1, 3, 2006, 9)].mask = COccurrenceOverride::kName;
    EventEditSession s;
    ASSERT_TRUE(s.Load(ev, nullptr, nullptr));
    s.ActionsDraft()->soundOn = 1;
    s.ActionsDraft()->runFile = "x.exe";
    s.calculateAge = 1;
    s.StartTimeChanged(At(1, 3, 2005, 10));
    prompts_.resetAnswer = c.resetAnswer;
    if (c.save) {
      EXPECT_EQ(s.Save(host_, prompts_), c.resetAnswer);
    } else {
      s.Abandon();
    }
    EXPECT_EQ(ev.soundOn, c.soundOn);
    EXPECT_EQ(ev.runFile, c.soundOn == 1 ? "x.exe" : "");
    EXPECT_EQ(ev.calculateAge, c.calculateAge);
  }
}
