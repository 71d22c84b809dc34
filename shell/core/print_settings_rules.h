// The rules of the "Print" dialog that need no window: the report types and
// their texts, the orientation each uses, the dialog's result codes, the
// quick date ranges and how From drags To along.
#pragma once

#include "model/dates/date_time.h"

namespace printcore {

enum ReportType { kMonthCalendar = 0, kWeekCalendar = 1, kCurrentList = 2, kDateRangeList = 3 };

// The list box texts, in type order.
extern const char* const kReportTypeNames[4];

// Results of the "Print" dialog.
constexpr int kPrintMonth = 1000;
constexpr int kPrintList = 1001;
constexpr int kPreviewMonth = 1002;
constexpr int kPreviewList = 1003;
constexpr int kPrintWeek = 1004;
constexpr int kPreviewWeek = 1005;

bool IsCalendarType(int type);
// The type's description and the settings button's caption.
const char* ReportDescription(int type);
const char* SettingsButtonText(int type);
// Print (preview false) or Preview result of a type; types out of range
// count as the month calendar.
int ReportResult(int type, bool preview);
// "Landscape" for 2, else "Portrait".
const char* OrientationText(int orientation);

struct DateRange {
  CDateTime from, to;
};
// The week of `today`: from its first day (Monday when startDay is 1, else
// Sunday) to six days later.
DateRange ThisWeek(const CDateTime& today, int startDay);
// The first and the last day of `today`'s month.
DateRange ThisMonth(const CDateTime& today);
// From changes to `newFrom`: while To is later than the old From, From
// simply moves; otherwise To moves by the same number of days as From.
DateRange MoveFrom(const DateRange& range, const CDateTime& newFrom);

}  // namespace printcore
