#include "shell/day/mini_month_cal.h"

#include <algorithm>
#include <cstdio>

#include "framework/docview/document.h"
#include "framework/gdi/gdi.h"
#include "grid/cell/grid_cell.h"
#include "model/settings/program_settings.h"
#include "shell/calendar/cal_page_painter.h"
#include "shell/core/cal_geometry.h"
#include "shell/core/cal_page.h"
#include "shell/app/private_messages.h"

namespace {
constexpr COLORREF kNavText = 0x800000;
constexpr COLORREF kWeekdayText = 0x960000;

// 8 points, as a dialog's text: 8 pixels made figures too small to read.
HFONT MakeFont(int weight) {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  LOGFONTA lf{};
  lf.lfHeight = framework::PointFontHeight(80, dpi);
  lf.lfWeight = weight;
  lstrcpyA(lf.lfFaceName, "MS Sans Serif");
  return ::CreateFontIndirectA(&lf);
}
}  // namespace

CMiniMonthCal::CMiniMonthCal()
    : borderPen_(::CreatePen(PS_SOLID, 1, 0x808080)), normalFont_(MakeFont(400)), boldFont_(MakeFont(700)) {}

CMiniMonthCal::~CMiniMonthCal() {
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(borderPen_), static_cast<HGDIOBJ>(normalFont_),
                    static_cast<HGDIOBJ>(boldFont_)})
    if (o) ::DeleteObject(o);
}

void CMiniMonthCal::OnGridCreated() {
  buttonIndex_ = AddCellType(&buttonType_);
  triangleIndex_ = AddCellType(&triangleType_);
  SetDoubleBuffer(1);
  ShowCellTips(1);
  SetTopHeadingHeight(0);
  SetSideHeadingWidth(0);
  SetVScrollWidth(0);
  SetHScrollHeight(0);
  ShowGridLines(0);
  SetColumnCount(7, 0);
  SetRowCount(2, 0);
  MergeCells(2, 0, 4, 0);
  SetupSheet();
  AdjustLayout();
}

void CMiniMonthCal::SetupSheet() {
  static const int kCols[] = {0, 1, 5, 6};
  static const int kStyles[] = {0x80, 0x20, 0x10, 0x40};
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  for (int i = 0; i < 4; ++i) {
    CGridCell cell;
    cell.SetCellType(triangleIndex_);
    cell.SetCellTypeStyle(kStyles[i]);
    cell.SetTextColor(kNavText);
    cell.SetSelectedTextColor(kNavText);
    cell.SetBackColor(face);
    cell.SetSelectedBackColor(face);
    SetCell(kCols[i], 0, cell);
  }
  CGridCell title;
  GetCell(2, 0, &title);  // keeps the merge
  title.SetCellType(buttonIndex_);
  title.SetText(month_ ? GetTitle() : "Month");
  title.SetFont(normalFont_);
  title.SetBackColor(face);
  title.SetSelectedBackColor(face);
  title.SetTextColor(kTodayColour);
  title.SetSelectedTextColor(kTodayColour);
  title.SetAlignment(CGridCell::kAlignCenter);
  SetCell(2, 0, title);
  CDateTime name(g_Settings.CalendarStartDay == 1 ? 2 : 1, 6, 1997);
  for (int c = 0; c < 7; ++c, name.AddDays(1)) {
    CGridCell cell;
    cell.SetText(calpaint::FormatDate(name, "ddd"));
    cell.SetFont(normalFont_);
    cell.SetBorder(0x2000);
    cell.SetBackColor(face);
    cell.SetSelectedBackColor(face);
    cell.SetTextColor(kWeekdayText);
    cell.SetSelectedTextColor(kWeekdayText);
    cell.SetAlignment(CGridCell::kAlignCenter);
    SetCell(c, 1, cell);
  }
}

std::string CMiniMonthCal::GetTitle() {
  CGridCell cell;
  GetCell(2, 0, &cell);
  std::string text;
  cell.GetText(&text);
  return text;
}

void CMiniMonthCal::GoToDate(const CDateTime& date) {
  GoTo(date.GetDay(CDateTime::kAsLocal), date.GetMonth(CDateTime::kAsLocal), date.GetYear(CDateTime::kAsLocal));
}

void CMiniMonthCal::GoTo(int day, int month, int year) {
  if (year < calgeom::kFirstYear || year > calgeom::kLastYear || CDateTime(day, month, year).IsEmpty()) return;
  if (month == month_ && year == year_) {
    day_ = day;
    SelectDate(day, month, year);
    return;
  }
  day_ = day;
  month_ = month;
  year_ = year;
  if (firstFill_) {
    firstFill_ = false;
    Fill();
    SelectDate(day, month, year);
    return;
  }
  EnableRedraw(0);
  Fill();
  SelectDate(day, month, year);
  EnableRedraw(1);
  RedrawAll();
}

void CMiniMonthCal::Fill() {
  const CDateTime first(1, month_, year_);
  const int firstCol = calgeom::WeekSlotOf(first, g_Settings.CalendarStartDay);
  const int n = first.GetDaysInMonth();
  const CDateTime now = CDateTime::Today();
  today_ = now.GetMonth() == month_ && now.GetYear() == year_ ? now : CDateTime();
  const int rows = calgeom::MonthWeekRows(firstCol, n) + 2;
  if (rows != rowCount_) {
    rowCount_ = rows;
    SetRowCount(rows, 0);
    SizeCells();
  }
  char title[64];
  std::snprintf(title, sizeof title, "%s, %d", calpaint::FormatDate(first, "MMM").c_str(), year_);
  CGridCell t;
  GetCell(2, 0, &t);
  t.SetText(title);
  SetCell(2, 0, t);
  // Only a page of the shown month marks days: another month's page
  // would mark the wrong ones.
  const bool pageOfMonth = page_ && page_->GetMode() == CCalPage::kMonth &&
                           page_->GetStart().GetMonth(CDateTime::kAsLocal) == month_ &&
                           page_->GetStart().GetYear(CDateTime::kAsLocal) == year_;
  auto blank = [this](int c, int r) {
    CGridCell cell;
    cell.SetText("");
    cell.SetFont(normalFont_);
    cell.SetBackColor(0xFFFFFF);
    cell.SetBorderObject(borderPen_);
    SetCell(c, r, cell);
  };
  for (int c = 0; c < 7; ++c) {
    blank(c, 2);
    blank(c, rows - 1);
  }
  int col = firstCol, row = 2;
  for (int d = 1; d <= n; ++d) {
    const bool isToday = !today_.IsEmpty() && today_.GetDay() == d;
    CGridCell cell;
    char num[8];
    std::snprintf(num, sizeof num, "%d", d);
    cell.SetText(num);
    cell.SetAlignment(CGridCell::kAlignCenter);
    cell.SetBorderObject(borderPen_);
    cell.SetBackColor(0xFFFFFF);
    cell.SetTextColor(isToday ? kTodayColour : ::GetSysColor(COLOR_WINDOWTEXT));
    cell.SetSelectedTextColor(isToday ? kTodayColour : ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    cell.SetSelectedBackColor(::GetSysColor(COLOR_HIGHLIGHT));
    cell.SetFont(pageOfMonth && page_->LookupDay(d) ? boldFont_ : normalFont_);
    cell.SetUserValue<int32_t>(CDateTime(d, month_, year_).GetJulianDay());
    SetCell(col, row, cell);
    if (++col > 6) {
      col = 0;
      ++row;
    }
  }
}

CDateTime CMiniMonthCal::GetCellDate(int col, int row) {
  CGridCell cell;
  GetCell(col, row, &cell);
  int32_t julian = 0;
  if (row >= 2 && cell.GetUserValue(&julian) && julian > 0) return CDateTime(julian, CDateTime::kFloating);
  return CDateTime();
}

bool CMiniMonthCal::FindDateCell(const CDateTime& date, int* col, int* row) const {
  return calgeom::FindMonthCell(date, month_, year_, g_Settings.CalendarStartDay, col, row);
}

void CMiniMonthCal::SelectDate(int day, int month, int year) {
  int col = -1, row = -1;
  notify_ = false;
  if (FindDateCell(CDateTime(day, month, year), &col, &row)) MoveToCell(col, row);
  notify_ = true;
}

void CMiniMonthCal::Refresh() {
  if (!month_) return;
  const int d = day_, m = month_, y = year_;
  month_ = year_ = 0;
  SetupSheet();
  GoTo(d, m, y);
}

void CMiniMonthCal::SizeCells() {
  if (!GetSafeHwnd()) return;
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  const calgeom::GridSizes g = calgeom::MonthGridSizes(rc.right, rc.bottom, std::max(rowCount_, 3));
  for (size_t c = 0; c < g.columns.size(); ++c) SetColumnWidth(static_cast<int>(c), g.columns[c]);
  for (size_t r = 0; r < g.rows.size() && static_cast<int>(r) < GetRowCount(); ++r)
    SetRowHeight(static_cast<int>(r), g.rows[r]);
  SetFirstVisibleColumn(0);
  SetFirstVisibleRow(0);
}

void CMiniMonthCal::OnSize(UINT type, int cx, int cy) {
  CGridCore::OnSize(type, cx, cy);
  if (cx > 0) {
    const int redraw = IsRedrawEnabled();
    EnableRedraw(0);
    SizeCells();
    AdjustLayout();
    EnableRedraw(redraw);
  }
}

int CMiniMonthCal::OnCanMoveCurrentCell(int, int, int newCol, int newRow) {
  if (newRow == 0) return 1;
  return newRow >= 2 && !GetCellDate(newCol, newRow).IsEmpty() ? 1 : 0;
}

void CMiniMonthCal::Announce(const CDateTime& date) {
  if (!owner_ || !owner_->GetDocument()) return;
  CDateTime copy = date;
  owner_->GetDocument()->UpdateAllViews(nullptr, kHintGoToDate, &copy);
}

void CMiniMonthCal::OnCurrentCellChanged(int, int newCol, int, int newRow) {
  if (newRow >= 2 && notify_) {
    const CDateTime date = GetCellDate(newCol, newRow);
    if (!date.IsEmpty()) {
      day_ = date.GetDay();
      Announce(date);
    }
  }
}

void CMiniMonthCal::OnCellLeftClick(int col, int row, int down, const RECT*, POINT, int) {
  if (down) MoveToCell(col, row);
}

int CMiniMonthCal::OnCellTypeEvent(int, int col, int row, int code, void*) {
  if (row != 0 || code != 3 || !month_) return 0;
  int m = month_, y = year_;
  switch (col) {
    case 1: calgeom::PreviousMonth(&m, &y); break;
    case 5: calgeom::NextMonth(&m, &y); break;
    case 0: calgeom::PreviousYear(&y); break;
    case 6: calgeom::NextYear(&y); break;
    case 2: {
      const CDateTime today = CDateTime::Today();
      Announce(today);
      GoToDate(today);
      return 1;
    }
    default: return 0;
  }
  const CDateTime first(1, m, y);
  Announce(first);
  GoTo(1, m, y);
  return 1;
}

int CMiniMonthCal::OnGetCellTip(int col, int row, int, std::string* text) {
  static const char* const kTips[] = {"Previous Year", "Previous Month", "Current Month", "", "", "Next Month",
                                      "Next Year"};
  if (row != 0 || col < 0 || col > 6 || !*kTips[col]) return 0;
  *text = kTips[col];
  return 1;
}

void CMiniMonthCal::DrawCurrentCellFrame(HDC, const RECT*) {}
