#include "shell/calendar/month_grid_ctrl.h"

#include <algorithm>
#include <cstdio>

#include "grid/cell/grid_cell.h"
#include "grid/parts/cell_area.h"
#include "model/settings/program_settings.h"
#include "shell/calendar/cal_page_painter.h"
#include "shell/calendar/cal_view.h"
#include "shell/core/cal_geometry.h"

namespace {
constexpr COLORREF kNavText = 0x800000;
constexpr COLORREF kWeekdayText = 0x960000;
constexpr int kMonthNavCols[] = {0, 1, 5, 6};
constexpr int kMonthNavStyles[] = {0x80, 0x20, 0x10, 0x40};
constexpr int kWeekNavCols[] = {0, 1, 6, 7};

std::string Num(const char* fmt, int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, fmt, n);
  return buf;
}
}  // namespace

CMonthGridCtrl::CMonthGridCtrl() {
  eventType_.SetMonthGrid(this);
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfWeight = FW_NORMAL;
  lstrcpyA(lf.lfFaceName, "MS Sans Serif");
  titleFont_ = ::CreateFontIndirectA(&lf);
  borderPen_ = ::CreatePen(PS_SOLID, 1, 0x808080);
}

CMonthGridCtrl::~CMonthGridCtrl() {
  if (titleFont_) ::DeleteObject(titleFont_);
  if (borderPen_) ::DeleteObject(borderPen_);
}

int CMonthGridCtrl::StartDay() const { return g_Settings.CalendarStartDay; }

void CMonthGridCtrl::OnGridCreated() {
  EnableRedraw(0);
  buttonIndex_ = AddCellType(&buttonType_);
  triangleIndex_ = AddCellType(&triangleType_);
  eventIndex_ = AddCellType(&eventType_);
  SetDoubleBuffer(1);
  ShowCellTips(1);
  SetSheetCount(2);
  // The tabs show the sheet; a click on one is not acted on (the sheet
  // changes only with the Day, Week and Month commands).
  AddSheetTab("Month View", 0);
  AddSheetTab("Week View", 1);
  for (int sheet = 0; sheet < 2; ++sheet) {
    SelectSheet(sheet, 0);
    SetTopHeadingHeight(0);
    SetSideHeadingWidth(0);
    SetVScrollWidth(0);
    SetHScrollHeight(0);
    ShowGridLines(0);
    SetTabBarWidth(300);
    if (sheet == 0) {
      SetColumnCount(7, 0);
      SetRowCount(2, 0);
      MergeCells(2, 0, 4, 0);
      SetupMonthSheet();
    } else {
      SetColumnCount(8, 0);
      SetRowCount(4, 0);
      MergeCells(2, 0, 5, 0);
      for (int row = 1; row <= 2; ++row)
        for (int c = 0; c < 8; c += 2) MergeCells(c, row, c + 1, row);
      SetupWeekSheet();
    }
    AdjustLayout();
  }
  SelectSheet(0, 0);
  SetMode(g_Settings.CalMode == 1 ? 1 : 0);
  AdjustLayout();
  EnableRedraw(1);
}

void CMonthGridCtrl::SetupNavigation(const int* styles, const int* cols) {
  for (int i = 0; i < 4; ++i) {
    CGridCell cell;
    cell.SetCellType(triangleIndex_);
    cell.SetCellTypeStyle(styles[i]);
    cell.SetTextColor(kNavText);
    cell.SetSelectedTextColor(kNavText);
    cell.SetBackColor(::GetSysColor(COLOR_BTNFACE));
    cell.SetSelectedBackColor(::GetSysColor(COLOR_BTNFACE));
    SetCell(cols[i], 0, cell);
  }
}

void CMonthGridCtrl::SetupMonthSheet() {
  SetupNavigation(kMonthNavStyles, kMonthNavCols);
  CGridCell title;
  GetCell(2, 0, &title);  // keeps the merge
  title.SetCellType(buttonIndex_);
  title.SetText(month_ ? "" : "Month");
  title.SetTextColor(kTodayColour);
  title.SetSelectedTextColor(kTodayColour);
  title.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  title.SetSelectedBackColor(::GetSysColor(COLOR_BTNFACE));
  title.SetAlignment(CGridCell::kAlignCenter);
  SetCell(2, 0, title);
  CDateTime name(StartDay() == 1 ? 2 : 1, 6, 1997);
  for (int c = 0; c < 7; ++c, name.AddDays(1)) {
    CGridCell cell;
    cell.SetText(calpaint::FormatDate(name, "ddd"));
    cell.SetBackColor(::GetSysColor(COLOR_BTNFACE));
    cell.SetSelectedBackColor(::GetSysColor(COLOR_BTNFACE));
    cell.SetTextColor(kWeekdayText);
    cell.SetAlignment(CGridCell::kAlignCenter);
    cell.SetBorder(0x2000);
    SetCell(c, 1, cell);
  }
}

void CMonthGridCtrl::SetupWeekSheet() {
  SetupNavigation(kMonthNavStyles, kWeekNavCols);
  CGridCell title;
  GetCell(2, 0, &title);  // keeps the merge
  title.SetCellType(buttonIndex_);
  title.SetText("Week");
  title.SetTextColor(kTodayColour);
  title.SetSelectedTextColor(kTodayColour);
  title.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  title.SetSelectedBackColor(::GetSysColor(COLOR_BTNFACE));
  title.SetAlignment(CGridCell::kAlignCenter | CGridCell::kAlignMiddle);
  title.SetFont(titleFont_);
  SetCell(2, 0, title);
}

void CMonthGridCtrl::SetTitle(const std::string& text) {
  CGridCell cell;
  GetCell(2, 0, &cell);
  cell.SetText(text);
  SetCell(2, 0, cell);
}

void CMonthGridCtrl::SetDayCell(int col, int row, const CDateTime& date, const std::string& text, bool today) {
  CGridCell cell;
  GetCell(col, row, &cell);  // keeps the week sheet's merges
  cell.FreeUserData();
  cell.SetLabel("");
  cell.SetCellType(eventIndex_);
  cell.SetBorder(0xC);
  cell.SetBorderObject(borderPen_);
  cell.SetBackColor(kWhite);
  cell.SetTextColor(today ? kTodayColour : 0);
  cell.SetSelectedTextColor(today ? kTodayColour : kWhite);
  cell.SetText(text);
  if (!date.IsEmpty()) cell.SetUserValue<int32_t>(date.GetJulianDay(CDateTime::kAsLocal));
  SetCell(col, row, cell);
}

void CMonthGridCtrl::SetBlankCell(int col, int row) { SetDayCell(col, row, CDateTime(), "", false); }

void CMonthGridCtrl::GoToDate(const CDateTime& date) {
  GoTo(date.GetDay(CDateTime::kAsLocal), date.GetMonth(CDateTime::kAsLocal), date.GetYear(CDateTime::kAsLocal));
}

void CMonthGridCtrl::GoTo(int day, int month, int year) {
  if (year < calgeom::kFirstYear || year > calgeom::kLastYear || CDateTime(day, month, year).IsEmpty()) return;
  if (mode_ == 0 && month == month_ && year == year_ && !firstFill_) {
    day_ = day;
    return;
  }
  day_ = day;
  month_ = month;
  year_ = year;
  const bool first = firstFill_;
  firstFill_ = false;
  EnableRedraw(0);
  if (mode_ == 1) {
    FillWeek();
  } else {
    FillMonth();
  }
  EnableRedraw(1);
  if (!first) RedrawAll();
}

CDateTime CMonthGridCtrl::GetWeekStart() const {
  return calgeom::WeekStartOf(CDateTime(day_ ? day_ : 1, month_ ? month_ : 1, year_ ? year_ : 2000), StartDay());
}

void CMonthGridCtrl::FillMonth() {
  const CDateTime first(1, month_, year_);
  const int firstCol = calgeom::WeekSlotOf(first, StartDay());
  const int n = first.GetDaysInMonth();
  const CDateTime now = CDateTime::Today();
  const bool todayShown = now.GetMonth() == month_ && now.GetYear() == year_;
  today_ = todayShown ? CDateTime(now.GetJulianDay(), CDateTime::kFloating) : CDateTime();
  const int rows = calgeom::MonthWeekRows(firstCol, n) + 2;
  if (rows != rowCount_ || GetRowCount() != rows) {
    rowCount_ = rows;
    SetRowCount(rows, 0);
    SizeCells();
  }
  SetTitle(calpaint::FormatDate(first, "MMMM") + Num(", %d", year_));
  for (int c = 0; c < 7; ++c) {
    SetBlankCell(c, 2);
    SetBlankCell(c, rows - 1);
  }
  int col = firstCol, row = 2;
  for (int d = 1; d <= n; ++d) {
    const bool isToday = todayShown && now.GetDay() == d;
    SetDayCell(col, row, CDateTime(d, month_, year_), Num(isToday ? "%d Today" : "%d", d), isToday);
    if (++col > 6) {
      col = 0;
      ++row;
    }
  }
  AfterFill();
}

void CMonthGridCtrl::FillWeek() {
  const CDateTime start = GetWeekStart();
  CDateTime end = start;
  end.AddDays(6);
  SizeCells();
  const CDateTime now = CDateTime::Today();
  today_ = now >= start && now <= end ? CDateTime(now.GetJulianDay(), CDateTime::kFloating) : CDateTime();
  SetTitle(calpaint::WeekTitle(start));
  SetBlankCell(6, 2);
  for (int k = 0; k < 7; ++k) {
    CDateTime date = start;
    date.AddDays(k);
    const bool isToday = !today_.IsEmpty() && date.GetJulianDay() == today_.GetJulianDay();
    SetDayCell((k % 4) * 2, k / 4 + 1, date, calpaint::FormatDate(date, "dddd, MMMM d"), isToday);
  }
  AfterFill();
}

void CMonthGridCtrl::AfterFill() {
  markCol_ = markRow_ = -1;
  FillEventTexts();
  if (markDay_ > 0) MarkDate(markDay_, markMonth_, markYear_);
}

void CMonthGridCtrl::FillEventTexts() {
  if (popupPlacer_) popupPlacer_->HideDayPopup();
  if (!::GetCursorPos(&restingAt_)) restingAt_ = POINT{-32768, -32768};
  if (firstFill_) return;
  CCalPage& page = mode_ == 1 ? weekPage_ : monthPage_;
  if (source_) {
    if (mode_ == 1) {
      page.Build(*source_, GetWeekStart(), CCalPage::kWeek);
    } else {
      page.Build(*source_, CDateTime(1, month_, year_), CCalPage::kMonth);
    }
  }
  for (int row = 0; row < GetRowCount(); ++row) {
    for (int col = 0; col < GetColumnCount(); ++col) {
      CGridCell cell;
      GetCell(col, row, &cell);
      if (cell.GetCellType() != eventIndex_) continue;
      int32_t julian = 0;
      const bool hasDate = cell.GetUserValue(&julian) && julian > 0;
      cell.SetLabel(hasDate && source_ ? page.GetDayText(CDateTime(julian, CDateTime::kFloating)) : "");
      SetCell(col, row, cell);
    }
  }
}

CDateTime CMonthGridCtrl::GetCellDate(int col, int row) {
  CGridCell cell;
  GetCell(col, row, &cell);
  int32_t julian = 0;
  if (cell.GetCellType() == eventIndex_ && cell.GetUserValue(&julian) && julian > 0)
    return CDateTime(julian, CDateTime::kFloating);
  return CDateTime();
}

bool CMonthGridCtrl::FindDateCell(const CDateTime& date, int* col, int* row) const {
  if (firstFill_) return false;
  if (mode_ == 1) return calgeom::FindWeekCell(date, GetWeekStart(), StartDay(), col, row);
  return calgeom::FindMonthCell(date, month_, year_, StartDay(), col, row);
}

const CCalPage::DayList* CMonthGridCtrl::GetDayOccurrences(const CDateTime& date) const {
  return (mode_ == 1 ? weekPage_ : monthPage_).LookupDate(date);
}

void CMonthGridCtrl::MarkDate(int day, int month, int year) {
  markDay_ = day;
  markMonth_ = month;
  markYear_ = year;
  int col = -1, row = -1;
  const bool found = FindDateCell(CDateTime(day, month, year), &col, &row);
  if (markCol_ >= 0 && (!found || col != markCol_ || row != markRow_)) {
    CGridCell cell;
    GetCell(markCol_, markRow_, &cell);
    cell.SetBackColor(kWhite);
    SetCell(markCol_, markRow_, cell);
    RedrawCell(markCol_, markRow_);
    markCol_ = markRow_ = -1;
  }
  if (found) {
    CGridCell cell;
    GetCell(col, row, &cell);
    cell.SetBackColor(kMarkColour);
    SetCell(col, row, cell);
    RedrawCell(col, row);
    markCol_ = col;
    markRow_ = row;
  }
}

void CMonthGridCtrl::ClearMark() {
  markDay_ = markMonth_ = markYear_ = -1;
  if (markCol_ >= 0) {
    CGridCell cell;
    GetCell(markCol_, markRow_, &cell);
    cell.SetBackColor(kWhite);
    SetCell(markCol_, markRow_, cell);
    RedrawCell(markCol_, markRow_);
  }
  markCol_ = markRow_ = -1;
}

void CMonthGridCtrl::UpdateToday() {
  if (firstFill_) return;
  int col, row;
  if (!today_.IsEmpty() && FindDateCell(today_, &col, &row)) {
    CGridCell cell;
    GetCell(col, row, &cell);
    if (mode_ == 0) cell.SetText(Num("%d", today_.GetDay()));
    cell.SetTextColor(0);
    cell.SetSelectedTextColor(kWhite);
    SetCell(col, row, cell);
    RedrawCell(col, row);
  }
  const CDateTime now(CDateTime::Today().GetJulianDay(), CDateTime::kFloating);
  if (FindDateCell(now, &col, &row)) {
    CGridCell cell;
    GetCell(col, row, &cell);
    if (mode_ == 0) cell.SetText(Num("%d Today", now.GetDay()));
    cell.SetTextColor(kTodayColour);
    cell.SetSelectedTextColor(kTodayColour);
    SetCell(col, row, cell);
    RedrawCell(col, row);
    today_ = now;
  } else {
    today_ = CDateTime();
  }
}

void CMonthGridCtrl::FontsChanged() {
  eventType_.FontsChanged();
  RedrawAll();
}

void CMonthGridCtrl::Refresh() {
  if (!day_) return;
  const int d = day_, m = month_, y = year_;
  day_ = month_ = year_ = 0;
  const int sheet = GetCurrentSheet();
  EnableRedraw(0);
  if (sheet != 0) SelectSheet(0, 0);
  CDateTime name(StartDay() == 1 ? 2 : 1, 6, 1997);
  for (int c = 0; c < 7; ++c, name.AddDays(1)) SetCellText(c, 1, calpaint::FormatDate(name, "ddd"));
  if (sheet != 0) SelectSheet(sheet, 0);
  EnableRedraw(1);
  GoTo(d, m, y);
}

void CMonthGridCtrl::SetMode(int mode) {
  mode = mode > 1 ? 1 : (mode < 0 ? 0 : mode);
  mode_ = mode;
  if (firstFill_) {
    SelectSheet(mode, 0);
    return;
  }
  EnableRedraw(0);
  SelectSheet(mode, 0);
  if (mode == 1) {
    FillWeek();
  } else {
    rowCount_ = 0;  // the sheet's row count is set again
    FillMonth();
  }
  SizeCells();
  EnableRedraw(1);
  RedrawAll();
}

void CMonthGridCtrl::SizeCells() {
  if (!GetSafeHwnd()) return;
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  // The sheet tabs take the bottom strip; the cells share the rest.
  RECT tabs{0, 0, 0, 0};
  if (HWND bar = GetPartWindow(7); bar && ::IsWindowVisible(bar)) ::GetWindowRect(bar, &tabs);
  const int w = rc.right;
  const int h = rc.bottom - (tabs.bottom - tabs.top);
  if (w <= 0 || h <= 0) return;
  const calgeom::GridSizes g =
      mode_ == 1 ? calgeom::WeekGridSizes(w, h) : calgeom::MonthGridSizes(w, h, std::max(rowCount_, 3));
  for (size_t c = 0; c < g.columns.size(); ++c) SetColumnWidth(static_cast<int>(c), g.columns[c]);
  for (size_t r = 0; r < g.rows.size() && static_cast<int>(r) < GetRowCount(); ++r)
    SetRowHeight(static_cast<int>(r), g.rows[r]);
  SetFirstVisibleColumn(0);
  SetFirstVisibleRow(0);
}

void CMonthGridCtrl::OnSize(UINT type, int cx, int cy) {
  CGridCore::OnSize(type, cx, cy);
  if (cx > 0 && cy > 0) {
    const int redraw = IsRedrawEnabled();
    EnableRedraw(0);
    SizeCells();
    AdjustLayout();
    EnableRedraw(redraw);
  }
}

int CMonthGridCtrl::OnCanMoveCurrentCell(int, int, int, int newRow) { return newRow == 0 ? 1 : 0; }

void CMonthGridCtrl::DrawCurrentCellFrame(HDC, const RECT*) {}

void CMonthGridCtrl::OnDayCellEvent(int col, int row, const RECT& rect, bool buttonUp) {
  if (buttonUp || !popupPlacer_) return;
  const CDateTime date = GetCellDate(col, row);
  if (date.IsEmpty()) return;
  popupPlacer_->ShowDayPopup(*this, col, row, rect, date);
}

void CMonthGridCtrl::OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT, int) {
  if (rect) OnDayCellEvent(col, row, *rect, !down);
}

void CMonthGridCtrl::OnCellRightClick(int col, int row, int down, const RECT* rect, POINT, int) {
  if (rect) OnDayCellEvent(col, row, *rect, !down);
}

void CMonthGridCtrl::OnCellMouseMove(int col, int row, POINT pt, UINT, int) {
  if (GetCellArea()) ::ClientToScreen(GetCellArea()->GetSafeHwnd(), &pt);
  if (pt.x == restingAt_.x && pt.y == restingAt_.y) return;
  restingAt_ = POINT{-32768, -32768};
  RECT rect;
  if (GetCellRect(col, row, &rect) == 0) OnDayCellEvent(col, row, rect, false);
}

int CMonthGridCtrl::OnCellTypeEvent(int /*typeIndex*/, int col, int row, int code, void* /*param*/) {
  if (row != 0 || code != 3 || firstFill_) return 0;
  int m = month_, y = year_;
  if (mode_ == 0) {
    switch (col) {
      case 1: calgeom::PreviousMonth(&m, &y); break;
      case 5: calgeom::NextMonth(&m, &y); break;
      case 0: calgeom::PreviousYear(&y); break;
      case 6: calgeom::NextYear(&y); break;
      case 2: GoToDate(CDateTime::Today()); return 1;
      default: return 0;
    }
    GoTo(1, m, y);
    return 1;
  }
  const CDateTime shown(day_, month_, year_);
  switch (col) {
    case 0: calgeom::PreviousMonth(&m, &y); GoTo(1, m, y); break;
    case 7: calgeom::NextMonth(&m, &y); GoTo(1, m, y); break;
    case 1: GoToDate(calgeom::AddDaysWithin(shown, -7)); break;
    case 6: GoToDate(calgeom::AddDaysWithin(shown, 7)); break;
    case 2: GoToDate(CDateTime::Today()); break;
    default: return 0;
  }
  return 1;
}

int CMonthGridCtrl::OnGetCellTip(int col, int row, int /*part*/, std::string* text) {
  if (row != 0) return 0;
  static const char* const kMonth[] = {"Previous Year", "Previous Month", "Current Month", "", "",
                                       "Next Month", "Next Year"};
  static const char* const kWeek[] = {"Previous Month", "Previous Week", "Current Week", "", "", "",
                                      "Next Week", "Next Month"};
  const char* tip = "";
  if (mode_ == 0 && col >= 0 && col < 7) tip = kMonth[col];
  if (mode_ == 1 && col >= 0 && col < 8) tip = kWeek[col];
  if (!*tip) return 0;
  *text = tip;
  return 1;
}
