// What the event editor needs of the document and of the user, as small
// interfaces the shell implements and tests fake.
#pragma once

#include <string>
#include <vector>

class CCalEvent;
class CCalendarFile;
class CDateTime;

namespace dialogcore {

class IEventEditHost {
 public:
  virtual ~IEventEditHost() = default;
  // Every calendar of the document's list, in list order.
  virtual std::vector<CCalendarFile*> Calendars() = 0;
  // The first other timed event with an occurrence overlapping start..end,
  // or null.
  virtual CCalEvent* FindConflictingEvent(const CDateTime& start, const CDateTime& end, CCalEvent* skip) = 0;
  // Opens the closed calendar's file again (open state 1) and refreshes;
  // false when the file could not be opened (state back to closed; the
  // file layer has told the user).
  virtual bool ReopenCalendar(CCalendarFile& calendar) = 0;
};

// The questions a save may put to the user.
class IEventEditPrompts {
 public:
  virtual ~IEventEditPrompts() = default;
  // "This recurring event has occurrences that have been rescheduled or
  // canceled..." Yes/No; true on Yes.
  virtual bool AskResetOccurrences() = 0;
  // "This occurrence cannot be saved..." (OK).
  virtual void RefuseEarlyOccurrence() = 0;
  // "Start date will be updated to\nthe next occurrence..." (OK).
  virtual void NotifyStartMoved() = 0;
};

}  // namespace dialogcore
