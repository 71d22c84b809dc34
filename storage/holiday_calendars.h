// The holiday calendars that come with the program: one event file per
// country in the program folder ("US Holidays.akv" and three more), made at
// build time by tools/make_holidays from the table in holiday_calendars.cpp.
// Each public holiday is one yearly all-day event with its alarm off, of
// the calendar's event type ("Holiday - US"), falling on a fixed date, on
// the n-th weekday of a month, or a number of days from Easter Sunday.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CCalEvent;

namespace holidays {

// One of the four calendars, in the order the calendar wizard lists them.
struct CalendarInfo {
  const char* type;   // event type of its holidays
  const char* file;   // file name in the program folder
  bool ticked;        // ticked in the wizard at first start
};
constexpr size_t kCalendarCount = 4;
extern const CalendarInfo kCalendars[kCalendarCount];

struct Holiday {
  enum Kind { kFixed, kNthWeekday, kEaster };
  Kind kind;
  const char* name;
  int month;    // kFixed, kNthWeekday
  int day;      // kFixed: the date; kNthWeekday: the first day counted (1 the month's start)
  int weekday;  // kNthWeekday: 1 Monday .. 7 Sunday
  int nth;      // kNthWeekday: 1..4, or -1 for the last of the month
  int offset;   // kEaster: days after Easter Sunday (negative before)
};

// The holidays of the calendar at `index` (empty for an index out of range).
std::vector<Holiday> HolidaysOf(size_t index);

// The holiday's date in `year` as a Julian day.
int32_t JulianDayIn(const Holiday& holiday, int year);

// A new event for the holiday: its series starts in `baseYear`, repeats
// every year by its own rule, all day, alarm off, of the type and UID given.
CCalEvent* MakeEvent(const Holiday& holiday, const std::string& type, int baseYear, const std::string& uid);

// Writes the calendar at `index` into `folder` (which ends in a separator),
// replacing any file of that name: its CALINFO name is the file name without
// ".akv". The storage engine must be running. 1 written, 0 failed (the
// calendar file's messages said why).
int WriteCalendar(size_t index, const std::string& folder);

}  // namespace holidays
