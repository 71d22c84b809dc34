// COccurrenceRef: one occurrence of one event as views, lists, printing and
// the reminder window pass it around: the event (not owned) and the
// occurrence's scheduled date. Every operation forwards to the event with
// that date; a reference without an event answers "nothing" (false, empty
// texts, the blank-type colour).
//
// Copy it as a value, never as raw bytes: its date owns a TZID string, so a
// byte copy kept in a grid cell's user data would share (and later free)
// that string twice. A grid that keeps references stores a COccurrenceRef
// (or an index into its own vector of them) as an object.
#pragma once

#include <cstdint>
#include <string>

#include "model/dates/date_time.h"
#include "model/events/event_text_fields.h"

class CCalEvent;

class COccurrenceRef {
 public:
  CCalEvent* event = nullptr;
  CDateTime date;  // scheduled date of the occurrence

  COccurrenceRef() = default;
  COccurrenceRef(CCalEvent* ev, const CDateTime& scheduled) : event(ev), date(scheduled) {}

  bool IsAcknowledged() const;
  bool IsSnoozed() const;
  void GetTextFields(EventTextFields& fields) const;
  std::string GetNotes() const;
  // CalAcknowledgedColor when UseAcknowledgedColor is on and the occurrence
  // is acknowledged; else the colour of the occurrence's type name.
  uint32_t GetColor() const;
  // Strict order of two occurrences within one day: by the seconds of day,
  // as local time, of their actual starts (a moved occurrence's moved start,
  // else its scheduled time; a start without a time of day counts as 2000
  // seconds), then by the occurrences' names compared byte-wise. False for
  // two entries that are equal in both.
  bool IsBefore(const COccurrenceRef& other) const;
  // The search text occurs in "<name>  <type>  <notes>" of the occurrence;
  // without caseSensitive both are upper-cased first (ASCII letters).
  bool MatchesText(const std::string& text, bool caseSensitive) const;
  bool ContainsText(const std::string& text, bool caseSensitive) const { return MatchesText(text, caseSensitive); }
  // The label of the occurrence in a calendar cell of `day`: the start time
  // and a blank before the name on the start day (unless all-day), ", %d
  // yrs" on the start day when the setting show_age is on and the event
  // counts ages, a blank and the end time on the end day when the event
  // shows its end (unless all-day). *continues becomes 1 when the event
  // shows its end and `day` is not the end day, else 0.
  void GetDisplayText(std::string& text, const CDateTime& day, int* continues) const;
};
