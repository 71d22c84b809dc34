// EventEditSession: everything the "Event Edit" dialog decides without a
// window. The dialog keeps its controls and this object in step: it loads
// an event here, forwards each click and picker change, and on Save hands
// the checks and the writing of the event, its rule or one occurrence's
// override to it.
//
// Two modes: the series (the whole event) and one occurrence of a recurring
// event, identified by its scheduled date. An occurrence's changes go to
// the override stored under that date; the occurrence counts as moved
// exactly when its range differs from the one the series computes, and an
// override that changes nothing is removed.
//
// An event of a read-only calendar (an iCalendar file held in memory) is
// shown but never changed: Save only ends the editing.
//
// The event is marked in edit from Load until Save or Abandon; every way the
// editor ends must call one of them, or the alarm check skips the event
// for the rest of the run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/core/event_edit_host.h"
#include "dialogs/core/lead_time.h"
#include "model/dates/date_time.h"
#include "model/recurrence/recurrence_rule.h"

class CCalEvent;
class CCalendarFile;

namespace dialogcore {

// The frequency radios, in radio order.
enum EditKind { kOneTime = 0, kDaily = 1, kWeekly = 2, kMonthly = 3, kYearly = 4, kEasterYearly = 5 };

// 1..5 -> the rule frequencies 4..8; 0 (and anything else) -> kUnset.
int RuleFrequencyOfKind(int kind);
// 4..8 -> 1..5; anything else -> kOneTime.
int KindOfRuleFrequency(int frequency);

// The alarm defaults of a kind from the settings (Easter Yearly takes the
// Yearly ones).
struct KindDefaults {
  int leadAmount = 0;
  std::string leadUnits;
  int daysPrior = 0;
};
KindDefaults DefaultsOfKind(int kind);

// Before the advanced dialog opens on a rule without advanced criteria:
// weekly -> the start's weekday (ordinal 0) when BYDAY is empty; monthly ->
// the start's day of month into BYMONTHDAY when empty; yearly -> the
// start's month into BYMONTH, then its day into BYMONTHDAY, each when empty.
void SeedAdvancedRule(CRecurrenceRule& rule, const CDateTime& start);

// The unusual-hours warning: with begin > end the span wraps past midnight.
bool IsUnusualTime(int secondsOfDay, int beginHour, int endHour);
// "The time you have entered is between\n%d:00 and %d:00.\n\nIs this
// correct?", or the 12-hour form with "am" / "pm".
std::string UnusualTimeMessage(int beginHour, int endHour, bool use24Hour);

class EventEditSession {
 public:
  // "Open Recurring Event" question: -1 cancelled, 0 this occurrence,
  // 1 the series.
  using OpenQuestion = std::function<int(const std::string& prompt)>;

  EventEditSession();
  ~EventEditSession();
  EventEditSession(const EventEditSession&) = delete;
  EventEditSession& operator=(const EventEditSession&) = delete;

  // ---- What the controls show.
  std::string name, type, notes;
  int kind = -1;  // EditKind
  int interval = 1;
  int calculateAge = 0;
  int disabled = 0;
  int daysPrior = 0;
  int alarm = 0;
  int leadAmount = 0;
  std::string leadUnits;
  int offsetDays = 0;
  int offsetDirection = 1;  // 0 Before, 1 After
  int allDay = 0;
  int showEnd = 0;
  CDateTime start, end;
  // The rule being edited; its series start is `start`.
  CRecurrenceRule rule;
  bool advanced = false;
  // The rule's UNTIL was chosen as a day, not as a time: its time of day
  // is the start's and moves with it (the day stays included). Set at Load
  // for an UNTIL at the start's time of day; the advanced dialog sets or
  // clears it as the user picks the day or types the time.
  bool untilFollowsStart = false;
  // The calendar chosen in the combo (its list id).
  int calendarId = 0;

  // ---- The mode.
  CCalEvent* event = nullptr;  // not owned
  bool series = true;
  bool readOnly = false;
  CDateTime occurrenceDate;  // scheduled date in occurrence mode
  bool InEdit() const { return inEdit_; }

  // Takes the event (and the scheduled date of an occurrence, or null).
  // A recurring event opened at an occurrence asks `ask` with the prompt
  // "\"<name>\" is a recurring event.  Do you want to open only this
  // occurrence or the full series?"; cancel answers false and nothing is
  // marked. Otherwise the values are loaded, the event is marked in edit
  // and the answer is true.
  bool Load(CCalEvent& ev, const CDateTime* occurrence, const OpenQuestion& ask);

  // The calendars the combo offers: those that can receive events, and the
  // event's own (target or owning) calendar, which is the selected one
  // (*selected its index, -1 when none is listed).
  std::vector<CCalendarFile*> OfferedCalendars(IEventEditHost& host, int* selected) const;

  // A frequency radio. A recurring kind whose rule frequency differs
  // clears the rule (COUNT, UNTIL, offset, BY lists) and takes the new
  // frequency; One Time always clears it. Both drop `advanced`. With
  // applyDefaults the kind's alarm defaults replace lead amount, units and
  // days prior.
  void SelectKind(int newKind, bool applyDefaults);
  // Show End turned on: the end becomes the start.
  void ShowEndTurnedOn() { end = start; }
  // The start pickers changed to `when`. A start date on another day clears
  // the rule's criteria (frequency kept) and `advanced`; the end moves with
  // the start either way.
  void StartDateChanged(const CDateTime& when);
  // A new start time also moves an UNTIL that follows the start.
  void StartTimeChanged(const CDateTime& when);
  // The end keeps its distance to a new start (or becomes the new start
  // when it lay before the old one).
  void MoveEndWithStart(const CDateTime& when);

  // Moves the start (and the end with it) to the first date that meets the
  // rule's criteria; tells the user when it moved. True when it moved.
  bool ApplyAdvancedStart(IEventEditPrompts& prompts);

  // The range the conflict check looks at: start..end, or start..start
  // without Show End.
  void ConflictRange(CDateTime* from, CDateTime* to) const;

  // Writes the values into the event (series) or its override (occurrence)
  // and ends the editing. A save that leaves the start, the rule, all day,
  // the alarm and its lead time as they were keeps the occurrences' states
  // (a snooze, an acknowledgement); any of those changed resets them.
  // False keeps the dialog open: the reset question answered No, an
  // occurrence moved before the series start, or the owning calendar could
  // not be reopened. Read-only: nothing is written.
  bool Save(IEventEditHost& host, IEventEditPrompts& prompts);
  // Ends the editing without a save: clears the in-edit flag, the
  // changed-while-open mark and the target calendar. Safe to call twice.
  void Abandon();
  // The event's alarm actions (sound, e-mail, run) as the Alarm Actions
  // sheet edits them: a scratch event holding a copy, made at the first
  // call after Load. A completed Save copies them into the event; Abandon
  // drops them, so a cancelled editor leaves the actions as they were.
  CCalEvent* ActionsDraft();
  // Whether Save wrote anything the opener should hand to the document.
  bool Changed() const { return changed_; }

  // The lead time the values give (see ResolveLeadTime).
  CDuration ChosenLeadTime() const;
  // The computed range of the occurrence: the scheduled date and the date
  // plus the event's length.
  CDateTime DefaultOccurrenceEnd() const;

 private:
  bool SaveSeries(IEventEditPrompts& prompts);
  bool SaveOccurrence(IEventEditPrompts& prompts);
  bool SaveCalendar(IEventEditHost& host);
  // An UNTIL that follows the start takes the start's local time of day.
  void KeepUntilOnStartTime();
  // Whether the values would change when the event's occurrences fall or
  // its alarm rings.
  bool ChangesSchedule(const CCalEvent& ev, const CDuration& lead) const;

  LeadTimeChoice loadedLead_;
  CDuration loadedLeadTime_;
  bool inEdit_ = false;
  bool changed_ = false;
  std::unique_ptr<CCalEvent> actionsDraft_;
};

}  // namespace dialogcore
