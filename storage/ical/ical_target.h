// What the iCalendar converter needs of the calendar it reads into or
// writes from, and of the user. The storage core implements both for a
// calendar file and the document; tests use small fakes.
#pragma once

#include <memory>
#include <string>

class CCalEvent;

// The calendar's properties an iCalendar text carries (X-WR-*), and the
// one flag that decides whether alarms are written.
struct ICalCalendarHeader {
  std::string name;
  std::string relCalId;
  std::string timeZone;
  // The name was made from the calendar's address because the user gave
  // none; only then may X-WR-CALNAME replace it.
  bool nameFromAddress = false;
  // VALARM and X-AK-ALARM-OCCUR are written only with this set.
  bool publishAlarms = false;
  // The calendar is published without its alarms: its own text comes back
  // without them, so an event the text gives no alarm keeps the one it has.
  bool keepsOwnAlarms = false;
};

// The calendar an import goes into.
class IICalTarget {
 public:
  virtual ~IICalTarget() = default;

  // The target's header; an import may change name, RELCALID and TIMEZONE
  // (its owner writes them to the file).
  virtual ICalCalendarHeader& Header() = 0;
  // The event of that UID in this calendar (byte-wise comparison), or null.
  virtual CCalEvent* FindEventByUid(const std::string& uid) = 0;
  // Takes the new event into the calendar. False when the calendar could
  // not store it (the calendar has told the user): the run stops.
  virtual bool AddEvent(std::unique_ptr<CCalEvent> event) = 0;
  // Stores a held event the import has changed. False when that failed.
  virtual bool UpdateEvent(CCalEvent& event) = 0;
  // The UID of the event whose own save is publishing this calendar right
  // now (its refreshed copy is dropped); empty otherwise.
  virtual std::string SavingUid() { return std::string(); }
  // Whether an event of that UID was moved out of this calendar to another
  // one that still holds it: the text's copy stays out, or the same event
  // would live in two calendars.
  virtual bool MovedAway(const std::string& /*uid*/) { return false; }
  // A refresh collects the UIDs held before it; each one the text holds
  // leaves that set, so what stays are events the text no longer has.
  virtual void ForgetLocalUid(const std::string& /*uid*/) {}
};

// The questions of an import.
class IICalPrompts {
 public:
  static constexpr int kSkipEvent = 1;
  static constexpr int kCancelImport = 2;

  virtual ~IICalPrompts() = default;
  // The skip-or-cancel dialog with the message: kSkipEvent, or
  // kCancelImport (also when the dialog is closed with its close box).
  virtual int AskSkipOrCancel(const std::string& message) = 0;
  // A Yes/No message box; true on Yes.
  virtual bool AskYesNo(const std::string& message) = 0;
  // A message box with OK.
  virtual void ShowMessage(const std::string& message) = 0;
};
