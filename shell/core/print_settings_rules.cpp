#include "shell/core/print_settings_rules.h"

namespace printcore {

const char* const kReportTypeNames[4] = {"Current Month Calendar", "Current Week Calendar", "Current Event List",
                                         "Date Range Event List"};

bool IsCalendarType(int type) { return type != kCurrentList && type != kDateRangeList; }

const char* ReportDescription(int type) {
  if (type == kCurrentList) return "Prints the Event List as it is currently shown on-screen.";
  if (type == kDateRangeList) return "Prints a list of all events between two dates (specified below).";
  return "Prints the calendar that is currently shown on-screen.";
}

const char* SettingsButtonText(int type) { return IsCalendarType(type) ? "Calendar Settings" : "Event List Settings"; }

int ReportResult(int type, bool preview) {
  switch (type) {
    case kWeekCalendar:
      return preview ? kPreviewWeek : kPrintWeek;
    case kCurrentList:
    case kDateRangeList:
      return preview ? kPreviewList : kPrintList;
    default:
      return preview ? kPreviewMonth : kPrintMonth;
  }
}

const char* OrientationText(int orientation) { return orientation == 2 ? "Landscape" : "Portrait"; }

DateRange ThisWeek(const CDateTime& today, int startDay) {
  int weekday = today.GetWeekday();  // 1 Monday .. 7 Sunday
  int since = startDay == 1 ? weekday - 1 : weekday % 7;
  DateRange r;
  r.from = CDateTime(today.GetDay(), today.GetMonth(), today.GetYear());
  r.from.AddDays(-since);
  r.to = r.from;
  r.to.AddDays(6);
  return r;
}

DateRange ThisMonth(const CDateTime& today) {
  DateRange r;
  r.from = CDateTime(1, today.GetMonth(), today.GetYear());
  r.to = CDateTime(r.from.GetDaysInMonth(), today.GetMonth(), today.GetYear());
  return r;
}

DateRange MoveFrom(const DateRange& range, const CDateTime& newFrom) {
  DateRange r = range;
  if (range.to.GetJulianDay() > range.from.GetJulianDay()) {
    r.from = newFrom;
    return r;
  }
  int shift = newFrom.GetJulianDay() - range.from.GetJulianDay();
  r.from = newFrom;
  r.to.AddDays(shift);
  return r;
}

}  // namespace printcore
