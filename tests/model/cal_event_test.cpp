// CCalEvent: construction defaults, copy, identifiers, occurrences with
// moved overrides, the alarm check, acknowledging and the display texts.
#include "model/events/cal_event.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/model/cal_event_fixture.h"
#include "tests/support/fixed_clock.h"

using caltest::At;
using caltest::EventSettings;
using caltest::FakeReminderWindow;
using caltest::InstalledDocument;
using caltest::InstalledPrompts;
using caltest::List;
using caltest::MakeDailyWithAlarm;
using caltest::MakeDailyWithMove;
using caltest::MakeRecurring;

TEST(CalEventDefaults, OneTimeEventFromTheSettings) {
  EventSettings settings;
  InstalledDocument document;
  CCalEvent e;
  EXPECT_EQ(e.oneTime, 1);
  EXPECT_EQ(e.GetFrequency(), -1);
  EXPECT_EQ(e.leadTime, CDuration::Minutes(15));
  EXPECT_EQ(e.daysPrior, 1);
  EXPECT_EQ(e.alarmOn, 1);
  EXPECT_EQ(e.type, "Birthday");
  EXPECT_TRUE(e.start.IsEmpty());
  EXPECT_EQ(e.start.GetRawSecondsOfDay(), 9 * 3600);
  EXPECT_EQ(e.end.GetRawSecondsOfDay(), 9 * 3600);
  EXPECT_EQ(e.calendar, document.defaultCalendar);
  EXPECT_EQ(e.created.GetZoneKind(), CDateTime::kUtc);
  EXPECT_NE(e.recurrence.FindRule(), nullptr);
  EXPECT_EQ(e.soundOn, -2);
  EXPECT_EQ(e.runWindowState, -2);
  EXPECT_TRUE(e.emailTo.empty());
  CCalEvent other;
  EXPECT_NE(e.serial, other.serial);
}

TEST(CalEventDefaults, EachRecurrenceType) {
  EventSettings settings;
  struct Case {
    int notify;
    int frequency;
    CDuration lead;
    int daysPrior;
  } cases[] = {{1, 5, CDuration::Days(1), 2},  {2, 6, CDuration::Days(2), 5},   {3, 7, CDuration::Weeks(1), 14},
               {4, 7, CDuration::Weeks(1), 14}, {5, 4, CDuration::Hours(2), 0}, {9, 0, CDuration(), 0}};
  for (const Case& c : cases) {
    g_Settings.DefaultNotifyType = static_cast<int16_t>(c.notify);
    CCalEvent e;
    EXPECT_EQ(e.oneTime, 0) << c.notify;
    EXPECT_EQ(e.GetFrequency(), c.frequency) << c.notify;
    EXPECT_EQ(e.leadTime, c.lead) << c.notify;
    EXPECT_EQ(e.daysPrior, c.daysPrior) << c.notify;
  }
}

TEST(CalEventDefaults, TypeIndexOutsideTheListGivesNoType) {
  EventSettings settings;
  g_Settings.DefaultType = 2;
  EXPECT_EQ(CCalEvent().type, "");
  g_Settings.DefaultType = -1;
  EXPECT_EQ(CCalEvent().type, "");
}

TEST(CalEventRecord, SetLeadTimeSetsOnlyTheNamedUnit) {
  EventSettings settings;
  CCalEvent e;
  e.leadTime.years = 3;
  e.leadTime.seconds = 9;
  e.SetLeadTime(15, "Seconds");
  EXPECT_EQ(e.leadTime.sign, 1);
  EXPECT_EQ(e.leadTime.years, 0);
  EXPECT_EQ(e.leadTime.seconds, 0);
  EXPECT_EQ(e.leadTime.minutes, 0);
  e.SetLeadTime(3, "Weeks");
  EXPECT_EQ(e.leadTime, CDuration::Weeks(3));
}

TEST(CalEventRecord, CopyTakesTheContentAndKeepsTheIdentity) {
  EventSettings settings;
  g_Settings.DefaultNotifyType = 5;
  CCalEvent source;
  source.name = "Standup";
  source.url = "http://example.org/standup";
  source.start = At(1, 3, 2005, 9);
  source.end = At(1, 3, 2005, 9, 15);
  source.recurrence.GetRule()->count = 5;
  source.recurrence.addedDates.InsertSorted(CDateRange(At(20, 3, 2005, 18)));
  source.recurrence.excludedDates.InsertSorted(At(2, 3, 2005, 9));
  source.recurrence.GetExclusionRule()->frequency = CRecurrenceRule::kWeekly;
  source.occurrenceStates[At(4, 3, 2005, 9)] = COccurrenceState(1, CDateTime());
  source.occurrenceOverrides[At(5, 3, 2005, 9)].name = "Retro";
  source.occurrenceOverrides[At(5, 3, 2005, 9)].mask = COccurrenceOverride::kName;
  source.sequence = 7;

  CCalEvent target;
  target.calendar = reinterpret_cast<CCalendarFile*>(0x2000);
  const int32_t serial = target.serial;
  const CDateTime created = At(1, 1, 2001, 1);
  target.created = created;
  target = source;
  EXPECT_EQ(target.name, "Standup");
  EXPECT_EQ(target.url, source.url);
  EXPECT_EQ(target.recurrence.GetRule()->count, 5);
  EXPECT_EQ(target.recurrence.GetRule()->GetSeriesStart(), &target.start);
  EXPECT_EQ(target.recurrence.addedDates.GetCount(), 1u);
  EXPECT_EQ(target.recurrence.excludedDates.GetCount(), 1u);
  ASSERT_NE(target.recurrence.FindExclusionRule(), nullptr);
  EXPECT_EQ(target.occurrenceStates.GetCount(), 1u);
  EXPECT_EQ(target.GetOccurrenceName(At(5, 3, 2005, 9)), "Retro");
  EXPECT_EQ(target.calendar, reinterpret_cast<CCalendarFile*>(0x2000));
  EXPECT_EQ(target.serial, serial);
  EXPECT_TRUE(target.created.IsIdenticalTo(created));
  EXPECT_EQ(target.sequence, 0);
}

TEST(CalEventRecord, UidsAreUniqueAndWellFormed) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    std::string uid = CCalEvent::MakeEventUid();
    ASSERT_TRUE(seen.insert(uid).second) << uid;
    ASSERT_NE(uid.find('@'), std::string::npos);
    ASSERT_EQ(uid[8], 'T');
  }
}

TEST(CalEventRecord, DtStampFallsBackToLastModifiedThenNow) {
  EventSettings settings;
  CCalEvent e;
  e.dtStamp = CDateTime();
  e.lastModified = At(1, 2, 2003, 4);
  e.EnsureDtStamp();
  EXPECT_EQ(e.dtStamp, At(1, 2, 2003, 4));
  e.dtStamp = CDateTime();
  e.lastModified = CDateTime();
  e.EnsureDtStamp();
  EXPECT_FALSE(e.dtStamp.IsEmpty());
}

TEST(CalEventRecord, MarkDeletedAndInEditEmptyTheReminderWindow) {
  EventSettings settings;
  CCalEvent e;
  FakeReminderWindow window;
  e.reminderWindow = &window;
  e.MarkDeleted();
  EXPECT_EQ(e.deleted, 1);
  EXPECT_TRUE(window.calls.empty());  // not listed
  e.listed = 1;
  e.MarkInEdit();
  EXPECT_EQ(e.inEdit, 1);
  ASSERT_EQ(window.calls.size(), 1u);
  EXPECT_EQ(window.calls[0].row, -1);
  EXPECT_FALSE(window.calls[0].hasDate);
}

TEST(CalEventRecord, SaveWithoutADocumentReportsFailure) {
  EventSettings settings;
  CCalEvent e;
  EXPECT_EQ(e.Save(1, 0, 1), 0);
  InstalledDocument document;
  EXPECT_EQ(e.Save(1, 0, 1), 1);
  EXPECT_EQ(document.saves, 1);
}

TEST(CalEventOccurrences, OneTimeEventEndsOnlyWhenItsEndIsShown) {
  EventSettings settings;
  CCalEvent e;
  e.start = At(1, 3, 2005, 9);
  e.end = At(1, 3, 2005, 11);
  CDateRange r(At(1, 1, 2000));
  EXPECT_EQ(e.GetNextOccurrence(r, true), CCalEvent::kFound);
  EXPECT_EQ(r.start, e.start);
  EXPECT_TRUE(r.end.IsEmpty());
  EXPECT_FALSE(e.GetOccurrenceLength().sign != 0 && !e.GetOccurrenceLength().IsNone());
  EXPECT_EQ(e.GetOccurrenceRange(e.start).end, e.start);
  e.showEnd = 1;
  r = CDateRange(At(1, 1, 2000));
  e.GetNextOccurrence(r, true);
  EXPECT_EQ(r.end, e.end);
  EXPECT_EQ(e.GetOccurrenceRange(e.start).end, e.end);
}

TEST(CalEventOccurrences, NoEndOrEndBeforeStartIsNoLength) {
  EventSettings settings;
  CCalEvent e;
  e.showEnd = 1;
  e.start = At(1, 3, 2005, 9);
  e.end = CDateTime();
  EXPECT_TRUE(e.GetOccurrenceLength().IsNone());
  e.end = At(28, 2, 2005, 9);
  EXPECT_TRUE(e.GetOccurrenceLength().IsNone());
}

namespace {
// Daily from 1 Mar 2005 09:00; the 3 March occurrence moved to 5 March
// 14:00-15:00.
void MakeMovedDaily(CCalEvent& e) { MakeDailyWithMove(e, 3, 5, 14); }
}  // namespace

TEST(CalEventOccurrences, AMovedOccurrenceTakesItsPlaceByItsMovedStart) {
  EventSettings settings;
  CCalEvent e;
  MakeMovedDaily(e);
  std::vector<CDateTime> got = List(e, At(1, 3, 2005), 6);
  std::vector<CDateTime> want = {At(1, 3, 2005, 9), At(2, 3, 2005, 9), At(4, 3, 2005, 9),
                                 At(5, 3, 2005, 9), At(3, 3, 2005, 9), At(6, 3, 2005, 9)};
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << i;
  // Its identity is the scheduled date; its times are the moved ones.
  CDateRange range = e.GetOccurrenceRange(At(3, 3, 2005, 9));
  EXPECT_EQ(range.start, At(5, 3, 2005, 14));
  EXPECT_EQ(range.end, At(5, 3, 2005, 15));
  CDateRange next(At(5, 3, 2005, 9, 0, 1));
  ASSERT_EQ(e.GetNextOccurrence(next, false), CCalEvent::kFound);
  EXPECT_EQ(next.start, At(3, 3, 2005, 9));
  EXPECT_EQ(next.end, At(5, 3, 2005, 15));
  EXPECT_EQ(e.GetOccurrenceRange(At(4, 3, 2005, 9)).end, At(4, 3, 2005, 10));
}

TEST(CalEventOccurrences, DeletingTheMovedOccurrenceExcludesItsScheduledDate) {
  EventSettings settings;
  InstalledDocument document;
  CCalEvent e;
  MakeMovedDaily(e);
  e.DeleteOccurrence(At(3, 3, 2005, 9));
  EXPECT_TRUE(e.recurrence.excludedDates.Contains(At(3, 3, 2005, 9)));
  EXPECT_FALSE(e.recurrence.excludedDates.Contains(At(5, 3, 2005, 14)));
  EXPECT_TRUE(e.occurrenceOverrides.IsEmpty());
  std::vector<CDateTime> got = List(e, At(1, 3, 2005), 5);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[2], At(4, 3, 2005, 9));
  EXPECT_EQ(got[3], At(5, 3, 2005, 9));
  EXPECT_EQ(got[4], At(6, 3, 2005, 9));
  EXPECT_EQ(document.refreshes, 1);
}

TEST(CalEventOccurrences, AnOverrideOnADateTheSetNoLongerHasIsIgnored) {
  EventSettings settings;
  CCalEvent e;
  MakeMovedDaily(e);
  e.recurrence.excludedDates.InsertSorted(At(3, 3, 2005, 9));
  std::vector<CDateTime> got = List(e, At(4, 3, 2005), 3);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[1], At(5, 3, 2005, 9));
  EXPECT_EQ(got[2], At(6, 3, 2005, 9));
}

TEST(CalEventOccurrences, UpdateFollowsTheResult) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.recurrence.GetRule()->count = 3;
  CDateTime from = At(2, 3, 2005, 12);
  EXPECT_EQ(e.GetNextOccurrenceFrom(from, true), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(3, 3, 2005, 9));
  EXPECT_EQ(e.hasNext, 1);
  from = At(3, 3, 2005, 9, 0, 1);
  EXPECT_EQ(e.GetNextOccurrenceFrom(from, true), CCalEvent::kEnded);
  EXPECT_EQ(e.acknowledged, 1);
  EXPECT_EQ(e.nextOccurrence, e.start);
  EXPECT_TRUE(e.IsOccurrenceAcknowledged(At(3, 3, 2005, 9)));
}

TEST(CalEventAlarms, DueAtTheLeadTimeOnceAndNotWhenAnOverrideSilencesIt) {
  EventSettings settings;
  for (int oneTime = 1; oneTime >= 0; --oneTime) {
    CCalEvent e;
    if (oneTime) {
      e.start = At(1, 3, 2005, 9);
      e.end = e.start;
      e.nextOccurrence = e.start;
    } else {
      MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
    }
    e.alarmOn = 1;
    e.SetLeadTime(15, "Minutes");
    EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 8, 44, 59))) << oneTime;
    EXPECT_TRUE(e.IsAlarmDue(At(1, 3, 2005, 8, 45))) << oneTime;
    EXPECT_TRUE(e.dueAlarms.Contains(At(1, 3, 2005, 9)));
    EXPECT_EQ(e.dueAlarms.GetCount(), 1u);
    EXPECT_EQ(e.latestDue, At(1, 3, 2005, 9));
    EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 8, 45))) << "repeat " << oneTime;
  }
  CCalEvent e;
  MakeDailyWithAlarm(e, 15);
  COccurrenceOverride& o = e.occurrenceOverrides[At(1, 3, 2005, 9)];
  o.mask = COccurrenceOverride::kAlarm;
  o.alarmOn = 0;
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 8, 45)));
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 12)));
  EXPECT_TRUE(e.IsAlarmDue(At(2, 3, 2005, 8, 50)));
  EXPECT_EQ(e.dueAlarms.GetCount(), 1u);
  EXPECT_TRUE(e.dueAlarms.Contains(At(2, 3, 2005, 9)));
}

TEST(CalEventAlarms, SnoozedAndMovedOccurrences) {
  EventSettings settings;
  CCalEvent e;
  MakeMovedDaily(e);
  e.alarmOn = 1;
  e.SetLeadTime(10, "Minutes");
  e.nextOccurrence = At(3, 3, 2005, 9);
  // The moved one is due before its moved start, not its scheduled one.
  EXPECT_FALSE(e.IsAlarmDue(At(3, 3, 2005, 8, 55)));
  e.nextOccurrence = At(5, 3, 2005, 9);
  e.occurrenceStates[At(5, 3, 2005, 9)] = COccurrenceState(0, At(5, 3, 2005, 9, 30));
  EXPECT_FALSE(e.IsAlarmDue(At(5, 3, 2005, 9, 29)));
  e.occurrenceStates.RemoveAll();
  e.listed = 0;
  e.nextOccurrence = At(4, 3, 2005, 9);
  e.occurrenceStates[At(4, 3, 2005, 9)] = COccurrenceState(0, At(5, 3, 2005, 13, 55));
  EXPECT_TRUE(e.IsAlarmDue(At(5, 3, 2005, 13, 55)));
  // Snoozed 4 March, plain 5 March 09:00 and moved 3 March (14:00).
  EXPECT_EQ(e.dueAlarms.GetCount(), 3u);
  EXPECT_TRUE(e.dueAlarms.Contains(At(3, 3, 2005, 9)));
  EXPECT_TRUE(e.dueAlarms.Contains(At(4, 3, 2005, 9)));
  EXPECT_TRUE(e.dueAlarms.Contains(At(5, 3, 2005, 9)));
}

TEST(CalEventAlarms, SuppressedDisabledAndInEditEventsAreSkipped) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.alarmOn = 1;
  e.alarmSuppressed = 1;
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 9)));
  e.alarmSuppressed = 0;
  e.disabled = 1;
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 9)));
  e.disabled = 0;
  e.inEdit = 1;
  EXPECT_FALSE(e.IsAlarmDue(At(1, 3, 2005, 9)));
  e.inEdit = 0;
  EXPECT_TRUE(e.IsAlarmDue(At(1, 3, 2005, 9)));
}

TEST(CalEventAcknowledge, SkipsOccurrencesAcknowledgedInAdvance) {
  EventSettings settings;
  InstalledDocument document;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  for (int d = 2; d <= 4; ++d) EXPECT_EQ(e.Acknowledge(At(d, 3, 2005, 9), false), CCalEvent::kFound);
  EXPECT_EQ(e.occurrenceStates.GetCount(), 3u);
  EXPECT_TRUE(e.IsOccurrenceAcknowledged(At(3, 3, 2005, 9)));
  EXPECT_FALSE(e.IsOccurrenceAcknowledged(At(5, 3, 2005, 9)));
  EXPECT_EQ(e.AcknowledgeNext(true), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(5, 3, 2005, 9));
  EXPECT_TRUE(e.occurrenceStates.IsEmpty());
  EXPECT_EQ(document.refreshes, 1);
  EXPECT_EQ(document.lastIncrementSequence, 0);
  EXPECT_EQ(document.lastPublishArg, 1);
  EXPECT_EQ(e.AcknowledgeNext(false), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(6, 3, 2005, 9));
}

TEST(CalEventAcknowledge, TheLastOccurrenceEndsTheSeries) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.recurrence.GetRule()->count = 2;
  EXPECT_EQ(e.AcknowledgeNext(false), CCalEvent::kFound);
  EXPECT_EQ(e.nextOccurrence, At(2, 3, 2005, 9));
  EXPECT_EQ(e.AcknowledgeNext(false), CCalEvent::kEnded);
  EXPECT_EQ(e.acknowledged, 1);
  EXPECT_EQ(e.nextOccurrence, e.start);
}

TEST(CalEventAcknowledge, UnacknowledgeReopensEarlierOccurrences) {
  EventSettings settings;
  InstalledDocument document;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.nextOccurrence = At(10, 3, 2005, 9);
  e.Unacknowledge(At(7, 3, 2005, 9));
  EXPECT_EQ(e.nextOccurrence, At(7, 3, 2005, 9));
  EXPECT_EQ(e.occurrenceStates.GetCount(), 2u);
  EXPECT_TRUE(e.IsOccurrenceAcknowledged(At(8, 3, 2005, 9)));
  EXPECT_TRUE(e.IsOccurrenceAcknowledged(At(9, 3, 2005, 9)));
  EXPECT_FALSE(e.IsOccurrenceAcknowledged(At(7, 3, 2005, 9)));
  EXPECT_FALSE(e.IsOccurrenceAcknowledged(At(10, 3, 2005, 9)));
  EXPECT_EQ(document.lastIncrementSequence, 1);
  // A later occurrence acknowledged in advance is simply reopened.
  e.Acknowledge(At(12, 3, 2005, 9), false);
  e.Unacknowledge(At(12, 3, 2005, 9));
  EXPECT_FALSE(e.occurrenceStates.GetAssocAt(At(12, 3, 2005, 9)));
}

TEST(CalEventAcknowledge, SnoozeKeepsTheAcknowledgedFlagAndSaves) {
  EventSettings settings;
  InstalledDocument document;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.SetSnoozeTime(At(1, 3, 2005, 9), At(1, 3, 2005, 9, 5));
  EXPECT_TRUE(e.IsOccurrenceSnoozed(At(1, 3, 2005, 9)));
  EXPECT_EQ(document.saves, 1);
  EXPECT_EQ(document.lastIncrementSequence, 0);
}

TEST(CalEventText, TodayDaysLeftAndAge) {
  EventSettings settings;
  testsupport::FixedClock clock(testsupport::Civil(2005, 6, 15, 10, 0, 0));
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kYearly, At(15, 6, 1970, 9));
  e.calculateAge = 1;
  e.name = "Ann";
  EventTextFields f;
  e.GetTextFields(f, At(15, 6, 2005, 9));
  EXPECT_EQ(f.daysLeft, "Today!!");
  EXPECT_EQ(f.age, "35");
  EXPECT_EQ(e.age, 35);
  EXPECT_EQ(f.name, "Ann");
  EXPECT_EQ(f.startTime, "09:00");
  EXPECT_FALSE(f.startDate.empty());
  EXPECT_FALSE(f.dayName.empty());
  EXPECT_TRUE(f.endDate.empty());
  e.GetTextFields(f, At(14, 6, 2005, 9));
  EXPECT_EQ(f.daysLeft, "-1");
  e.GetTextFields(f, At(15, 6, 2006, 9));
  EXPECT_EQ(f.daysLeft, "365");
  e.allDay = 1;
  e.showEnd = 1;
  e.hasNext = 0;
  e.GetTextFields(f, At(15, 6, 2006, 9));
  EXPECT_EQ(f.startTime, "");
  EXPECT_EQ(f.daysLeft, "n/a");
  EXPECT_EQ(f.startDate, "n/a");
  EXPECT_EQ(f.endDate, "n/a");
  EXPECT_EQ(f.endTime, "");
}

TEST(CalEventText, OverridesAndFlags) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.name = "Walk";
  e.notes = "";
  COccurrenceOverride& o = e.occurrenceOverrides[At(2, 3, 2005, 9)];
  o.mask = COccurrenceOverride::kName | COccurrenceOverride::kNotes;
  o.name = "Run";
  o.notes = "fast";
  o.type = "ignored";
  EventTextFields f;
  e.GetTextFields(f, At(2, 3, 2005, 9));
  EXPECT_EQ(f.name, "Run");
  EXPECT_EQ(f.type, e.type);
  EXPECT_EQ(f.hasNotes, 1);
  e.GetTextFields(f, At(3, 3, 2005, 9));
  EXPECT_EQ(f.name, "Walk");
  EXPECT_EQ(f.hasNotes, 0);
  // An override with nothing masked and not moved changes nothing.
  e.occurrenceOverrides[At(4, 3, 2005, 9)];
  EXPECT_EQ(e.GetOccurrenceName(At(4, 3, 2005, 9)), "Walk");
  EXPECT_EQ(e.GetOccurrenceRange(At(4, 3, 2005, 9)).start, At(4, 3, 2005, 9));
}

TEST(CalEventDelete, PromptsDecideWhatGoes) {
  EventSettings settings;
  InstalledPrompts prompts;
  CCalEvent one;
  EXPECT_FALSE(one.DeleteWithPrompt(one.start));
  prompts.confirmDelete = true;
  EXPECT_TRUE(one.DeleteWithPrompt(one.start));

  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  e.name = "Gym";
  EXPECT_FALSE(e.DeleteWithPrompt(At(2, 3, 2005, 9)));  // cancelled
  EXPECT_NE(prompts.lastPrompt.find("\"Gym\" is a recurring event."), std::string::npos);
  EXPECT_TRUE(e.recurrence.excludedDates.IsEmpty());
  prompts.okOccurrence = true;
  prompts.choice = IEventPrompts::kDeleteThisOccurrence;
  EXPECT_FALSE(e.DeleteWithPrompt(At(2, 3, 2005, 9)));
  EXPECT_TRUE(e.recurrence.excludedDates.Contains(At(2, 3, 2005, 9)));
  prompts.choice = IEventPrompts::kDeleteAllOccurrences;
  EXPECT_TRUE(e.DeleteWithPrompt(At(3, 3, 2005, 9)));
}

TEST(CalEventDelete, DeletingTheNextOccurrenceMovesItAndTellsTheReminderWindow) {
  EventSettings settings;
  CCalEvent e;
  MakeRecurring(e, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  FakeReminderWindow window;
  e.reminderWindow = &window;
  e.listed = 1;
  e.DeleteOccurrence(At(1, 3, 2005, 9));
  EXPECT_EQ(e.nextOccurrence, At(2, 3, 2005, 9));
  ASSERT_EQ(window.calls.size(), 1u);
  EXPECT_TRUE(window.calls[0].hasDate);
  EXPECT_EQ(window.calls[0].date, At(1, 3, 2005, 9));
}
