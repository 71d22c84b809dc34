#include "shell/core/cal_geometry.h"

#include <algorithm>

namespace calgeom {

int WeekSlot(int isoWeekday, int calendarStartDay) {
  if (calendarStartDay == 1) return isoWeekday - 1;
  return isoWeekday == 7 ? 0 : isoWeekday;
}

int WeekSlotOf(const CDateTime& day, int calendarStartDay) {
  return WeekSlot(day.GetWeekday(CDateTime::kAsLocal), calendarStartDay);
}

CDateTime WeekStartOf(const CDateTime& day, int calendarStartDay) {
  CDateTime d(day.GetJulianDay(CDateTime::kAsLocal), CDateTime::kFloating);
  d.AddDays(-WeekSlotOf(d, calendarStartDay));
  return d;
}

int MonthWeekRows(int firstCol, int daysInMonth) { return (firstCol + daysInMonth - 1) / 7 + 1; }

Steps SplitEvenly(int total, int count) {
  Steps s;
  if (count <= 0) return s;
  total = std::max(total, 0);
  s.step = total / count;
  s.last = total - (count - 1) * s.step;
  return s;
}

GridSizes MonthGridSizes(int width, int height, int rowCount) {
  GridSizes g;
  Steps c = SplitEvenly(width, 7);
  g.columns.assign(7, c.step);
  g.columns[6] = c.last;
  rowCount = std::max(rowCount, 3);
  g.rows.assign(static_cast<size_t>(rowCount), 20);
  Steps r = SplitEvenly(height - 40, rowCount - 2);
  for (int i = 2; i < rowCount; ++i) g.rows[static_cast<size_t>(i)] = r.step;
  g.rows.back() = r.last;
  return g;
}

GridSizes WeekGridSizes(int width, int height) {
  GridSizes g;
  Steps c = SplitEvenly(width, 8);
  g.columns.assign(8, c.step);
  g.columns[7] = c.last;
  Steps r = SplitEvenly(height - 20, 2);
  g.rows = {20, r.step, r.last, 0};
  return g;
}

bool FindMonthCell(const CDateTime& date, int month, int year, int calendarStartDay, int* col, int* row) {
  if (date.IsEmpty()) return false;
  int m, d, y;
  date.GetDate(&m, &d, &y, CDateTime::kAsLocal);
  if (m != month || y != year) return false;
  const int w = WeekSlotOf(CDateTime(1, month, year), calendarStartDay);
  *col = (d + w - 1) % 7;
  *row = (d + w - 1) / 7 + 2;
  return true;
}

bool FindWeekCell(const CDateTime& date, const CDateTime& weekStart, int calendarStartDay, int* col, int* row) {
  if (date.IsEmpty() || weekStart.IsEmpty()) return false;
  const int32_t offset = date.GetJulianDay(CDateTime::kAsLocal) - weekStart.GetJulianDay(CDateTime::kAsLocal);
  if (offset < 0 || offset > 6) return false;
  const int slot = WeekSlotOf(date, calendarStartDay);
  *row = slot / 4 + 1;
  *col = (slot % 4) * 2;
  return true;
}

void PreviousMonth(int* month, int* year) {
  if (*month <= 1) {
    if (*year <= kFirstYear) return;
    *month = 12;
    --*year;
  } else {
    --*month;
  }
}

void NextMonth(int* month, int* year) {
  if (*month >= 12) {
    if (*year >= kLastYear) return;
    *month = 1;
    ++*year;
  } else {
    ++*month;
  }
}

void PreviousYear(int* year) {
  if (*year > kFirstYear) --*year;
}

void NextYear(int* year) {
  if (*year < kLastYear) ++*year;
}

CDateTime AddDaysWithin(const CDateTime& day, int days) {
  CDateTime moved = day;
  moved.AddDays(days);
  const int y = moved.GetYear(CDateTime::kAsLocal);
  return moved.IsEmpty() || y < kFirstYear || y > kLastYear ? day : moved;
}

int LayoutMode(int listHeight, int calendarHeight) {
  if (listHeight <= 0) return 2;
  if (calendarHeight > 0) return 0;
  return 1;
}

bool ShowsWeekNumber(const CDateTime& day) {
  if (day.IsEmpty()) return false;
  const int w = day.GetWeekday(CDateTime::kAsLocal);
  return w == 1 || (day.GetDay(CDateTime::kAsLocal) == 1 && w != 7);
}

bool UsesItemColours(int colorCodePrinting, int deviceColours, short pictureStyle) {
  if (!colorCodePrinting) return false;
  return pictureStyle == 1 || deviceColours == -1 || deviceColours > 2;
}

}  // namespace calgeom
