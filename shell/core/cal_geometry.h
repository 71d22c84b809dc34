// Calendar arithmetic shared by the month and week views, the mini month,
// the page painters and printing: week slots, row counts, cell sizes, the
// date of a cell and the navigation limits. No window, no GDI.
#pragma once

#include <cstdint>
#include <vector>

#include "model/dates/date_time.h"

namespace calgeom {

constexpr int kFirstYear = 1753;
constexpr int kLastYear = 9999;

// The column of a day in a week starting on Monday when `calendarStartDay`
// is 1, else on Sunday: 0..6. `isoWeekday` is 1 Monday .. 7 Sunday.
int WeekSlot(int isoWeekday, int calendarStartDay);
int WeekSlotOf(const CDateTime& day, int calendarStartDay);
// The first day of the week holding `day` (same rule), time dropped.
CDateTime WeekStartOf(const CDateTime& day, int calendarStartDay);
// Week rows of a month whose first day sits in column `firstCol`.
int MonthWeekRows(int firstCol, int daysInMonth);

// Cell sizes of a grid `total` pixels long cut into `count` equal steps
// (never below 0): every step gets `step`, the last the rest of the total.
struct Steps {
  int step = 0;
  int last = 0;
};
Steps SplitEvenly(int total, int count);

// Month grid of the views: 7 columns; rows 0 and 1 are 20 pixels high,
// rows 2..rows-1 share the rest. Week grid: 8 columns, row 0 20 pixels,
// rows 1 and 2 share the rest. Sizes are never negative.
struct GridSizes {
  std::vector<int> columns;
  std::vector<int> rows;
};
GridSizes MonthGridSizes(int width, int height, int rowCount);
GridSizes WeekGridSizes(int width, int height);

// A date's cell in the month sheet (rows from 2) of the month `month` /
// `year`, or in the week sheet of the week starting `weekStart` (rows 1
// and 2, columns 0, 2, 4, 6). False when the date is not shown there.
bool FindMonthCell(const CDateTime& date, int month, int year, int calendarStartDay, int* col, int* row);
bool FindWeekCell(const CDateTime& date, const CDateTime& weekStart, int calendarStartDay, int* col, int* row);

// Navigation within 1753..9999: the month before / after and the year
// before / after; at a limit the date stays.
void PreviousMonth(int* month, int* year);
void NextMonth(int* month, int* year);
void PreviousYear(int* year);
void NextYear(int* year);
// Week steps that would leave 1753..9999 stay.
CDateTime AddDaysWithin(const CDateTime& day, int days);

// The main splitter's layout mode from its two rows' current heights:
// 2 calendar only (the list row collapsed to 0), 1 list only (the
// calendar row collapsed), else 0 both.
int LayoutMode(int listHeight, int calendarHeight);

// Whether a day cell shows the ISO week number (with "ShowWeekNums" on):
// on Mondays, and on the first of a month that is not a Sunday.
bool ShowsWeekNumber(const CDateTime& day);

// Whether the page painters draw each item in its own colour:
// "ColorCodePrinting" on and either the picture scheme (1) or a device of
// more than 2 colours; -1 means more than a palette holds and qualifies.
bool UsesItemColours(int colorCodePrinting, int deviceColours, short pictureStyle);

}  // namespace calgeom
