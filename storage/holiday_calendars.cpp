#include "storage/holiday_calendars.h"


#include "model/events/cal_event.h"
#include "model/dates/date_time.h"
#include "model/recurrence/recurrence_rule.h"
#include "storage/calendar_file.h"
#include "storage/event_array.h"

namespace holidays {

const CalendarInfo kCalendars[kCalendarCount] = {
    {"Holiday - Australia", "Australia Holidays.akv", false},
    {"Holiday - Canada", "Canada Holidays.akv", false},
    {"Holiday - UK", "UK Holidays.akv", false},
    {"Holiday - US", "US Holidays.akv", true},
};

namespace {

constexpr int kMon = 1, kThu = 4;

Holiday Fixed(const char* name, int month, int day) { return {Holiday::kFixed, name, month, day, 0, 0, 0}; }
Holiday Nth(const char* name, int nth, int weekday, int month, int fromDay = 1) {
  return {Holiday::kNthWeekday, name, month, fromDay, weekday, nth, 0};
}
Holiday Easter(const char* name, int offset) { return {Holiday::kEaster, name, 0, 0, 0, 0, offset}; }

}  // namespace

std::vector<Holiday> HolidaysOf(size_t index) {
  switch (index) {
    case 0:  // Australia (national days)
      return {Fixed("New Year's Day", 1, 1), Fixed("Australia Day", 1, 26), Easter("Good Friday", -2),
              Easter("Easter Saturday", -1), Easter("Easter Monday", 1), Fixed("Anzac Day", 4, 25),
              Nth("King's Birthday", 2, kMon, 6), Fixed("Christmas Day", 12, 25), Fixed("Boxing Day", 12, 26)};
    case 1:  // Canada
      return {Fixed("New Year's Day", 1, 1), Easter("Good Friday", -2), Easter("Easter Monday", 1),
              // The Monday before 25 May: the first on or after the 18th.
              Nth("Victoria Day", 1, kMon, 5, 18), Fixed("Canada Day", 7, 1), Nth("Civic Holiday", 1, kMon, 8),
              Nth("Labour Day", 1, kMon, 9), Nth("Thanksgiving", 2, kMon, 10), Fixed("Remembrance Day", 11, 11),
              Fixed("Christmas Day", 12, 25), Fixed("Boxing Day", 12, 26)};
    case 2:  // United Kingdom
      return {Fixed("New Year's Day", 1, 1), Easter("Good Friday", -2), Easter("Easter Monday", 1),
              Nth("Early May Bank Holiday", 1, kMon, 5), Nth("Spring Bank Holiday", -1, kMon, 5),
              Nth("Summer Bank Holiday", -1, kMon, 8), Fixed("Christmas Day", 12, 25), Fixed("Boxing Day", 12, 26)};
    case 3:  // United States (federal)
      return {Fixed("New Year's Day", 1, 1), Nth("Martin Luther King Jr. Day", 3, kMon, 1),
              Nth("Presidents' Day", 3, kMon, 2), Nth("Memorial Day", -1, kMon, 5), Fixed("Juneteenth", 6, 19),
              Fixed("Independence Day", 7, 4), Nth("Labor Day", 1, kMon, 9), Nth("Columbus Day", 2, kMon, 10),
              Fixed("Veterans Day", 11, 11), Nth("Thanksgiving Day", 4, kThu, 11), Fixed("Christmas Day", 12, 25)};
    default:
      return {};
  }
}

int32_t JulianDayIn(const Holiday& h, int year) {
  switch (h.kind) {
    case Holiday::kFixed:
      return JulianDayFromDate(h.month, h.day, year);
    case Holiday::kEaster:
      return EasterJulianDay(year) + h.offset;
    case Holiday::kNthWeekday: {
      if (h.nth < 0) {
        const int32_t last = JulianDayFromDate(h.month, DaysInMonth(h.month, year), year);
        return last - (WeekdayOfJulianDay(last) - h.weekday + 7) % 7;
      }
      const int32_t first = JulianDayFromDate(h.month, h.day, year);
      return first + (h.weekday - WeekdayOfJulianDay(first) + 7) % 7 + 7 * (h.nth - 1);
    }
  }
  return 0;
}

CCalEvent* MakeEvent(const Holiday& h, const std::string& type, int baseYear, const std::string& uid) {
  auto* event = new CCalEvent();
  event->name = h.name;
  event->type = type;
  event->uid = uid;
  event->oneTime = 0;
  event->allDay = 1;
  event->showEnd = 0;
  event->alarmOn = 0;
  event->daysPrior = 14;
  event->start.SetJulianDay(JulianDayIn(h, baseYear));
  CRecurrenceRule* rule = event->recurrence.GetRule();
  rule->interval = 1;
  if (h.kind == Holiday::kEaster) {
    // Easter Sunday of each year plus the offset; the series starts on the
    // offset day itself.
    rule->frequency = CRecurrenceRule::kEaster;
    rule->offsetDays = h.offset;
  } else {
    rule->frequency = CRecurrenceRule::kYearly;
    if (h.kind == Holiday::kNthWeekday) {
      rule->byMonth = {static_cast<int16_t>(h.month)};
      rule->byDayWeekdays = {static_cast<int16_t>(h.weekday)};
      if (h.day > 1) {
        // "The first such weekday from day d": any of the seven days from d.
        rule->byDayOrdinals = {0};
        for (int d = h.day; d < h.day + 7; ++d) rule->byMonthDay.push_back(static_cast<int16_t>(d));
      } else {
        rule->byDayOrdinals = {static_cast<int16_t>(h.nth)};
      }
    }
  }
  // A stamp of its own, so that a calendar refreshed from a copy of this
  // file never takes these as newer than the user's.
  event->dtStamp.SetDate(1, 1, baseYear);
  event->lastModified = event->dtStamp;
  event->created = event->dtStamp;
  return event;
}

int WriteCalendar(size_t index, const std::string& folder) {
  if (index >= kCalendarCount) return 0;
  const CalendarInfo& info = kCalendars[index];
  const std::string file = info.file;
  CCalendarFile calendar;
  if (!calendar.CreateFile(folder + file)) return 0;
  calendar.name = file.substr(0, file.size() - 4);
  if (!calendar.WriteCalInfo()) return 0;
  CEventArray events;
  const std::vector<Holiday> list = HolidaysOf(index);
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string uid = "holiday-" + std::to_string(index) + "-" + std::to_string(i + 1) + "@almacora";
    CCalEvent* event = MakeEvent(list[i], info.type, 2000, uid);
    // Each holiday carries its own next date from the day the file is
    // written: the first start shows it and has nothing to roll forward.
    CDateTime from = CDateTime::Today();
    event->GetNextOccurrenceFrom(from, true);
    if (!calendar.AddEvent(event, 0, &events)) {
      delete event;
      return 0;
    }
  }
  return calendar.Close(&events);
}

}  // namespace holidays
