// CCalEvent: one calendar entry, a one-time or recurring event with its
// texts, times, alarm settings, recurrence set, per-occurrence state and
// overrides.
//
// Occurrences are identified everywhere by their scheduled date: the date
// the recurrence set gives them, also after they were moved. The state map
// and the override map are keyed by it; the actual start and end of an
// occurrence come from GetOccurrenceRange(scheduled date).
//
// Occurrences follow one another in the order of their actual starts: the
// "next occurrence from a point" is the one whose actual start is the first
// on or after the point, and callers step through a series by asking again
// one second past the actual start of the previous answer
// (StepPastOccurrence). The answer is reported under its scheduled date.
//
// Every next-occurrence operation answers kNone (0) no further occurrence,
// kFound (1) found, kEnded (2) the series has ended (UNTIL or COUNT).
//
// Values that follow a program setting hold kInheritSetting (-2) or an
// empty text; resolve them with ResolveInherited... (settings_inherited.h).
//
// Events live on the user-interface thread; the alarm worker thread reads
// them without locks.
#pragma once

#include <cstdint>
#include <string>

#include "model/dates/date_range.h"
#include "model/dates/date_time.h"
#include "model/dates/date_time_set.h"
#include "model/dates/duration.h"
#include "model/events/event_text_fields.h"
#include "model/events/occurrence_override_map.h"
#include "model/events/occurrence_state_map.h"
#include "model/recurrence/recurrence.h"

class CCalendarFile;
class IReminderWindow;

class CCalEvent {
 public:
  static constexpr int16_t kNone = 0;
  static constexpr int16_t kFound = 1;
  static constexpr int16_t kEnded = 2;

  // ---- Texts and times.
  std::string name;   // SUMMARY
  std::string type;   // type name (CATEGORIES)
  std::string notes;  // DESCRIPTION
  std::string url;
  std::string uid;  // empty until made (MakeEventUid)
  CDateTime start;  // DTSTART of the event or the series
  CDateTime end;    // DTEND
  CDateTime created;
  CDateTime lastModified;
  CDateTime dtStamp;
  // Scheduled date of the next unacknowledged occurrence.
  CDateTime nextOccurrence;
  int32_t sequence = 0;
  // Change serial of the stored record (the calendar file's).
  int32_t changeSerial = 0;

  // ---- The series. Its series start points to `start`.
  CRecurrence recurrence;
  // 1 one-time event (the rule is not consulted), 0 recurring.
  int16_t oneTime = 0;
  // One-time event: its alarm was acknowledged. Recurring event: the series
  // has ended.
  int16_t acknowledged = 0;
  // The event has a current next occurrence.
  int16_t hasNext = 1;

  // ---- Display.
  int16_t calculateAge = 0;
  int16_t daysPrior = 0;  // upcoming-days warning
  int16_t showEnd = 0;
  int16_t allDay = 0;  // no time of day is shown
  // Left out of lists, calendar pages, the alarm check, the warning count
  // and the export (the calendar entries editor's "Enabled" box cleared).
  int16_t disabled = 0;
  // Moved into its calendar on this machine rather than delivered by the
  // calendar's server: a refresh that does not find it there leaves it be.
  int16_t movedIn = 0;

  // ---- Alarm and its actions (-2 / empty: use the program setting).
  int16_t alarmOn = 0;
  // The alarm check skips the event.
  int16_t alarmSuppressed = 0;
  CDuration leadTime;
  int16_t soundOn = -2;           // AlarmSoundEnabled
  std::string alarmSoundFile;     // AlarmSoundFile
  int16_t soundLength = -2;       // AlarmLength
  int16_t autoAcknowledge = -2;   // AutoAcknowledge
  int16_t emailOn = -2;           // AlarmEmailEnabled
  std::string emailTo;            // EmailTo
  std::string emailSubject;       // EmailSubject
  std::string emailBody;          // EmailBody
  int16_t runOn = -2;             // AlarmRunEnabled
  int16_t runAtAlarm = -2;        // RunAlarm
  int16_t runAtSnooze = -2;       // RunSnooze
  std::string runFile;            // RunFilename
  int32_t runWindowState = -2;    // RunState
  std::string runParameters;      // RunParms
  // The keyed check value by which this installation proves it armed the
  // run-program and e-mail actions as they stand (model/events/
  // action_proof.h); empty, or another installation's, otherwise. Stored
  // with the event.
  std::string armedBy;
  // The occurrence (scheduled date) whose alarm last ran the run and mail
  // actions here, and the snooze time it was due at then (none: its first
  // alarm); a restart never runs them again for it. Stored with the event.
  CDateTime actedOn;
  CDateTime actedSnooze;

  // ---- Per-occurrence state, keyed by scheduled date.
  COccurrenceStateMap occurrenceStates;
  COccurrenceOverrideMap occurrenceOverrides;

  // ---- Where the event lives (not copied by operator=).
  CCalendarFile* calendar = nullptr;  // not owned
  // Calendar the event moves to on its next save; 0 = it stays.
  int32_t targetCalendarId = 0;
  // Set by a merge when another process changed the stored record:
  // 1 changed, 2 only the alarm state changed, 3 deleted.
  int16_t conflictMark = 0;
  // Set while the event's own save publishes its calendar.
  uint8_t beingSaved = 0;
  // Set while the event is open in the event editor (MarkInEdit); the alarm
  // check skips it.
  int16_t inEdit = 0;
  // In-memory serial number, unique in the process.
  int32_t serial = 0;
  // Position in the document's event array; -1 until placed.
  int32_t arrayIndex = -1;
  // Marked for deletion (MarkDeleted).
  int16_t deleted = 0;
  // The user switched the alarm actions on here (the editor's actions, a
  // copy of a proven event): the next write proves them.
  int16_t armRequested = 0;
  // The user answered No about these actions: not asked again until the
  // event is read afresh.
  int16_t actionsDeclined = 0;

  // ---- Kept by the document's roll-forward.
  int32_t daysLeft = -1;
  std::string weekdayName;
  int32_t weekdayNumber = 0;  // 0 Sunday .. 6 Saturday
  int16_t shown = 0;
  int32_t age = -1;

  // ---- Alarm bookkeeping.
  // Scheduled dates of the occurrences whose alarm is due, ascending.
  CDateTimeSet dueAlarms;
  // The due alarms are listed in the reminder window.
  uint8_t listed = 0;
  CDateTime latestDue;
  IReminderWindow* reminderWindow = nullptr;  // not owned
  // Last snooze amount entered in the reminder window; -1 none.
  int32_t snoozeAmount = -1;
  // Scratch of the vCalendar import.
  CDateTime alarmRunTime;
  // Scratch: scheduled dates of moved occurrences (CollectMovedDates).
  CDateTimeSet movedDates;

  // ======== Construction and copy ========
  // A new event with the program defaults (g_Settings): the recurrence kind
  // of DefaultNotifyType with that kind's lead time and days prior; alarm,
  // all-day and show-end flags from alarm_enabled, all_day, show_enddate;
  // start and end on no date at the time of day DefaultEventTime; the
  // default type and the document's default calendar; created, last
  // modified and DTSTAMP now (UTC); next occurrence today.
  CCalEvent();
  virtual ~CCalEvent();
  CCalEvent(const CCalEvent&) = delete;
  // Copies every field of the event's content (texts, times, flags, alarm
  // actions, the whole recurrence set with RRULE, EXRULE, RDATE and EXDATE,
  // both maps, the next-occurrence state). Keeps the target's identity and
  // bookkeeping: calendar, serial, array index, created, last modified,
  // DTSTAMP, sequence, change serial, deleted, in-edit, conflict mark, due
  // alarms, listed flag and reminder window, the acted-on occurrence and
  // the arming requests and answers; the check value only when the other
  // has one (it proves nothing once the action fields differ).
  CCalEvent& operator=(const CCalEvent& other);

  // ======== The record ========
  // -1 one-time event, 0 no rule, else the rule's frequency.
  int GetFrequency() const;
  bool IsRecurring() const { return oneTime == 0; }
  // Resets the rule's expansion (before the rule is shown or edited).
  void ResetRuleExpansion();
  // Sign 1 and `amount` in the unit "Minutes", "Hours", "Days" or "Weeks";
  // every other part 0 (an unknown unit gives an empty lead time).
  void SetLeadTime(int32_t amount, const std::string& unit);
  // The event's flags; the date is not consulted.
  bool IsAllDay(const CDateTime& date) const;
  bool GetShowEnd(const CDateTime& date) const;
  // A DTSTAMP of Julian day 0 becomes last modified, or now (UTC) when that
  // is unset too.
  void EnsureDtStamp();
  // A new unique identifier "<local now as iCalendar>-<ms>-<n>@<computer>":
  // n is a process-wide counter started at a random value, so two calls
  // never give the same text.
  static std::string MakeEventUid();
  // Saves the event through the document (IEventDocument::SaveEvent);
  // 0 when there is no document.
  int16_t Save(int incrementSequence, int publishArg, int stampDtStamp);
  // Marks the event deleted and takes its rows out of the reminder window.
  void MarkDeleted();
  // Marks the event as open in the editor and takes its rows out of the
  // reminder window.
  void MarkInEdit();

  // ======== Per-occurrence accessors (by scheduled date) ========
  std::string GetOccurrenceName(const CDateTime& date) const;
  std::string GetOccurrenceType(const CDateTime& date) const;
  std::string GetOccurrenceNotes(const CDateTime& date) const;
  std::string GetOccurrenceUrl(const CDateTime& date) const;
  // The override's alarm flag / lead time when it has kAlarm, else the
  // event's.
  int16_t GetOccurrenceAlarmEnabled(const CDateTime& date) const;
  CDuration GetOccurrenceLeadTime(const CDateTime& date) const;
  // The date has a state entry that is not acknowledged.
  bool IsOccurrenceSnoozed(const CDateTime& date) const;
  // Both state maps hold the same dates with equal states.
  bool SameOccurrenceStates(const CCalEvent& other) const;
  // Fills movedDates with the scheduled dates of the moved overrides
  // (lower-bound flag set).
  void CollectMovedDates();
  // When the range's start is the moved start of a moved override, the
  // range becomes (that override's scheduled date, its moved end); else it
  // is left alone. Returns whether it was mapped.
  bool MapMovedOccurrence(CDateRange& range) const;

  // ======== Occurrences ========
  // The first occurrence whose actual start is on or after range.start:
  // range.start becomes its scheduled date and range.end its actual end
  // (Julian day 0 for a one-time event without a shown end). With update
  // set the event's next occurrence, has-next and acknowledged flags follow
  // the answer (kEnded: acknowledged, and next occurrence = the start).
  int16_t GetNextOccurrence(CDateRange& range, bool update);
  // The same on a date: the date becomes the scheduled date found.
  int16_t GetNextOccurrenceFrom(CDateTime& date, bool update);
  // The point one second past the actual start of the occurrence scheduled
  // at `date`: where to ask for the occurrence after it.
  CDateTime StepPastOccurrence(const CDateTime& date) const;
  // The actual start and end of the occurrence scheduled at `date`: a moved
  // override's times, else the date and the date plus the occurrence length
  // (0 when the event does not show its end or has no end).
  CDateRange GetOccurrenceRange(const CDateTime& date) const;
  // The length of one occurrence: end minus start when the end is shown and
  // set, else nothing.
  CDuration GetOccurrenceLength() const;
  // Acknowledged one-time event or ended series; an occurrence that starts
  // before the next occurrence; or one whose state entry is acknowledged.
  bool IsOccurrenceAcknowledged(const CDateTime& date) const;
  // Clears acknowledged, recomputes the next occurrence from now (local)
  // with update and empties the state map.
  void ResetOccurrences();
  // When the next occurrence is none of the event's occurrences any more
  // (its start or rule changed under it, elsewhere), ResetOccurrences, as an
  // edit of the start does; true when it did. An ended series is left be.
  bool RenewStaleNext();

  // ======== Alarms ========
  // True when an occurrence's alarm is due at `now` (the due ones are then
  // in dueAlarms and the event is listed); false for a suppressed,
  // acknowledged, deleted, disabled, in-edit or already listed event.
  bool IsAlarmDue(const CDateTime& now);
  // Adds a due occurrence: sets listed, keeps the latest due date, inserts
  // the date into dueAlarms.
  void AddDueAlarm(const CDateTime& date);
  // Stores the snooze time in the occurrence's state entry (keeping its
  // acknowledged flag) and saves the event (0, 0, 1): the save's code (1
  // saved, 0 failed, kSaveDeclined).
  int16_t SetSnoozeTime(const CDateTime& date, const CDateTime& snoozeTime);
  // Acknowledges the occurrence scheduled at `date`. For the next
  // occurrence of a recurring event the next occurrence moves to the first
  // following occurrence not acknowledged in advance (their state entries
  // are removed) and the result is that recompute's code; another date gets
  // an acknowledged state entry (kFound); a one-time event becomes
  // acknowledged (kFound). With notify set the document saves and refreshes;
  // a save that fails puts the alarm state back (the alarm stays due).
  int16_t Acknowledge(const CDateTime& date, bool notify);
  int16_t AcknowledgeNext(bool notify);
  // Takes the acknowledgement back (see the implementation for the cases)
  // and has the document save and refresh; a save that fails puts the
  // alarm state back.
  void Unacknowledge(const CDateTime& date);

  // ======== Display and deletion ========
  void GetTextFields(EventTextFields& fields, const CDateTime& date);
  // Asks the user (IEventPrompts). True when the whole event is to be
  // deleted; "this occurrence" deletes the occurrence here and answers
  // false; cancel (or no prompts) answers false.
  bool DeleteWithPrompt(const CDateTime& date);
  // Excludes the occurrence scheduled at `date` (its scheduled date joins
  // EXDATE, its override is removed), recomputes the next occurrence when
  // it was the next one, takes its row out of the reminder window and has
  // the document save and refresh.
  void DeleteOccurrence(const CDateTime& date);
  // The recurrence set still gives an occurrence scheduled at `date` (it is
  // not excluded, past the series' end or off the rule). Overrides of dates
  // that are no longer occurrences are kept but neither shown nor alarmed.
  bool IsScheduledInstance(const CDateTime& date);

 private:
  void ApplyRecurrenceTypeDefaults(int notifyType);
  // The document's save and refresh: its result (1 saved, 0 failed or no
  // document, IEventDocument::kSaveDeclined).
  int16_t NotifyDocument(int incrementSequence, int publishArg, int stampDtStamp);
  // NotifyDocument with the owning calendar's publish-alarms flag and a new
  // DTSTAMP.
  int16_t NotifyDocumentWithPublishFlag(int incrementSequence);
  // The moved override whose scheduled date is `date`, or nullptr.
  const COccurrenceOverride* MovedOverrideOf(const CDateTime& date) const;
  // The first occurrence of the recurrence set on or after `from` that is
  // not moved elsewhere, by scheduled date (= actual start); result code.
  int16_t NextUnmovedInstance(CDateRange& range);
};
