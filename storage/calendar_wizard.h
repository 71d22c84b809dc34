// The calendar wizard without its windows: which calendars its "Select
// Calendars" page offers, whether the "Alarms" page is due, and what that
// page's Next does. The sheet (storage/ui/cal_wiz_sheet.h) shows these.
//
// At first start the offer is the holiday calendars of holiday_calendars.h
// found in the program folder. They are looked up in the calendar list by
// the same full path the calendar open uses (a bare name means the program
// folder, whatever the current folder), so a profile that lists one
// already does not get it twice.
#pragma once

#include <string>
#include <vector>

class CAlmacoraDoc;
class CCalendarList;
class CProgramSettings;

namespace calwizard {

struct Row {
  int calendarId = 0;
  std::string name;
  bool ticked = false;
};

// The event-type colour the holiday types get (red).
constexpr unsigned kHolidayTypeColor = 255;

// First start: every holiday calendar not yet listed whose file opens (read
// closed, open state 0) is added to the calendar list and offered, ticked
// as the table says; its event type joins the settings' types in red unless
// a type of that name is there already. A file that does not open is not
// offered and its calendar object is freed.
std::vector<Row> OfferHolidayCalendars(CAlmacoraDoc& doc, CProgramSettings& settings);
// From the menu: every listed calendar, ticked when open or previewed.
std::vector<Row> OfferListedCalendars(const CCalendarList& calendars);

// The rows the "Alarms" page lists: ticked rows whose calendar is closed
// (rows whose calendar went are left out).
std::vector<Row> ClosedTicked(const CCalendarList& calendars, const std::vector<Row>& rows);

// At first start without refresh over the Internet: each offered calendar
// whose addresses are stored the other way round (address order 2) gets
// them exchanged, order 1, and its calendar record rewritten.
void UseAlternateAddresses(CCalendarList& calendars, const std::vector<Row>& rows);

struct AlarmChoice {
  bool enabled = false;
  int leadTime = 0;  // 0..1000; a value outside changes no event
  std::string units; // "Minutes", "Hours", "Days" or "Weeks"
};
// The "Alarms" page's first values: the program's defaults for a new
// yearly event ("alarm_enabled", "LeadTimeYearly", "LeadUnitsYearly").
AlarmChoice DefaultAlarmChoice(const CProgramSettings& settings);

// The "Alarms" page's Next: opens each listed calendar that is still
// closed (one that fails stays closed and leaves `rows`), then gives every
// event of the calendars in `rows` the alarm choice and saves it without a
// new DTSTAMP, sequence or publish, so a later refresh still takes the
// server's changes. Outside the first start the document is recounted.
// Returns the number of events saved.
int OpenWithAlarms(CAlmacoraDoc& doc, std::vector<Row>* rows, const AlarmChoice& choice, bool firstRun);

}  // namespace calwizard
