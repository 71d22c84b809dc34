// The calendar views in the program's own frame (scratch profile): the
// month and week grid, its navigation, marks and texts; the layouts of the
// main splitter and the day layout's tree; the page painters on a bitmap.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include "grid/cell/grid_cell.h"
#include "grid/parts/cell_area.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "program_fixture.h"
#include "res/resource.h"
#include "tests/support/win/png_file.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/almacora_splitter.h"
#include "shell/calendar/cal_frame.h"
#include "shell/calendar/cal_page_painter.h"
#include "shell/calendar/cal_view.h"
#include "shell/day/daily_cal_view.h"
#include "shell/day/right_splitter_view.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "shell/day/splitter_view.h"
#include "tests/shell/main_window_start.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 160, 0);

bool Reddish(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 60 && GetBValue(c) < 60; }

class CalViewsTest : public ::testing::Test {
 protected:
  void SetUp() override { Start({}); }
  void Start(const std::map<std::string, int>& ints) {
    store_ = shelltest::QuietSettings("shell_cal_views");
    g_Settings.CalendarStartDay = 0;
    g_Settings.EventTypeNames = {"Green"};
    g_Settings.EventTypeColors = {kGreen};
    for (const auto& [name, value] : ints) {
      if (name == "CalMode") g_Settings.CalMode = static_cast<int16_t>(value);
      if (name == "GridSizeY") g_Settings.GridSizeY = value;
    }
    frame_ = shelltest::StartShownMainWindow(app_);
    ASSERT_NE(frame_, nullptr);
    doc_ = frame_->GetShellDocument();
    view_ = frame_->GetCalFrame()->GetCalView();
    wintest::PumpFor(100);
  }
  void TearDown() override { Stop(); }
  // Starts the window again in the day layout; its mini month's pane.
  CDailyCalView* StartDayLayout() {
    Stop();
    Start({{"CalMode", 2}});
    auto* right = dynamic_cast<CRightSplitterView*>(
        frame_->GetCalFrame()->GetSplitterView()->GetSplitter().GetPaneObject(0, 1));
    return right ? dynamic_cast<CDailyCalView*>(right->GetSplitter().GetPaneObject(0, 0)) : nullptr;
  }
  void Stop() { shelltest::EndMainWindow(frame_, app_, store_); }
  CCalEvent* AddEvent(const std::string& name, const CDateTime& start) {
    auto* e = new CCalEvent;
    e->name = name;
    e->type = "Green";
    e->oneTime = 1;
    e->start = start;
    e->end = start;
    e->nextOccurrence = start;
    e->hasNext = 1;
    doc_->Core().events().Append(e);
    return e;
  }
  CMonthGridCtrl& Grid() { return view_->GetGrid(); }
  std::string Title() {
    CGridCell cell;
    Grid().GetCell(2, 0, &cell);
    std::string text;
    cell.GetText(&text);
    return text;
  }
  void Navigate(int col) { Grid().OnCellTypeEvent(0, col, 0, 3, nullptr); }
  // The screen rectangle of a day's cell.
  RECT CellOnScreen(const CDateTime& day) {
    int col = -1, row = -1;
    RECT r{0, 0, 0, 0};
    if (!Grid().FindDateCell(day, &col, &row)) return r;
    Grid().GetCellRect(col, row, &r);
    ::MapWindowPoints(Grid().GetCellArea()->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  template <class Pred>
  int CountIn(const wintest::Shot& shot, const RECT& screen, Pred pred) {
    RECT w;
    ::GetWindowRect(frame_->GetSafeHwnd(), &w);
    int n = 0;
    for (int y = screen.top; y < screen.bottom; ++y)
      for (int x = screen.left; x < screen.right; ++x) {
        const int sx = x - w.left, sy = y - w.top;
        if (sx >= 0 && sy >= 0 && sx < shot.width && sy < shot.height && pred(shot.At(sx, sy))) ++n;
      }
    return n;
  }
  std::pair<int, int> Rows() {
    int a = 0, b = 0, m = 0;
    frame_->GetMainSplitter()->GetRowInfo(0, &a, &m);
    frame_->GetMainSplitter()->GetRowInfo(1, &b, &m);
    return {a, b};
  }
  UINT MenuState(UINT id) { return shelltest::MenuState(*frame_, id); }

  std::unique_ptr<CAlmacoraApp> app_;
  std::unique_ptr<platform::ProfileStore> store_;
  CMainFrame* frame_ = nullptr;
  CShellDocument* doc_ = nullptr;
  CCalView* view_ = nullptr;
};

TEST_F(CalViewsTest, MonthSheetRowsTitleBlanksAndLimits) {
  Grid().GoTo(1, 2, 2015);
  EXPECT_EQ(6, Grid().GetMonthRowCount());
  EXPECT_EQ("February, 2015", Title());
  Navigate(5);
  EXPECT_EQ("March, 2015", Title());
  // March 2015: Sunday to Tuesday in the last row, the rest blank.
  const int last = Grid().GetMonthRowCount() - 1;
  EXPECT_EQ(CDateTime(31, 3, 2015), Grid().GetCellDate(2, last));
  for (int c = 3; c < 7; ++c) EXPECT_TRUE(Grid().GetCellDate(c, last).IsEmpty()) << c;
  Grid().GoTo(1, 1, 1753);
  Navigate(1);
  EXPECT_EQ(1, Grid().GetMonth());
  EXPECT_EQ(1753, Grid().GetYear());
  Grid().GoTo(1, 6, 9999);
  Navigate(6);
  EXPECT_EQ(9999, Grid().GetYear());
  Navigate(0);
  EXPECT_EQ(9998, Grid().GetYear());
}

TEST_F(CalViewsTest, MarkTodayEventColoursAndTheMoreBox) {
  const CDateTime today = CDateTime::Today();
  CDateTime eventDay = today;
  eventDay.AddDays(today.GetDay() > 14 ? -3 : 3);
  eventDay.SetTime(10, 0, 0);
  CCalEvent* marked = AddEvent("Checkup", eventDay);
  CDateTime busy = today;
  busy.AddDays(today.GetDay() > 14 ? -6 : 6);
  for (int i = 0; i < 12; ++i) AddEvent("Busy " + std::to_string(i), busy);
  CDateTime longDay = today;
  longDay.AddDays(today.GetDay() > 14 ? -1 : 1);
  AddEvent(std::string(60, 'W'), longDay);
  doc_->UpdateAllViews(nullptr, kHintReload);
  doc_->UpdateAllViews(nullptr, kHintGoToDate, nullptr);
  COccurrenceRef ref(marked, marked->start);
  doc_->UpdateAllViews(nullptr, kHintMarkInCalendar, &ref);
  int col = -1, row = -1;
  ASSERT_TRUE(Grid().GetMarkedCell(&col, &row));
  CGridCell cell;
  Grid().GetCell(col, row, &cell);
  EXPECT_EQ(CMonthGridCtrl::kMarkColour, cell.GetBackColor());
  int tc = -1, tr = -1;
  ASSERT_TRUE(Grid().FindDateCell(today, &tc, &tr));
  Grid().GetCell(tc, tr, &cell);
  std::string text;
  cell.GetText(&text);
  EXPECT_EQ(std::to_string(today.GetDay()) + " Today", text);
  EXPECT_EQ(CMonthGridCtrl::kTodayColour, cell.GetTextColor());

  wintest::Shot shot = wintest::TakeShot(frame_->GetSafeHwnd(), "month-view");
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_GT(CountIn(shot, CellOnScreen(today), Reddish), 0);
  EXPECT_GT(CountIn(shot, CellOnScreen(eventDay), [](COLORREF c) { return c == kGreen; }), 0);
  EXPECT_GT(CountIn(shot, CellOnScreen(eventDay), [highlight](COLORREF c) { return c == highlight; }), 0);
  // The red more-items box on the overfull day only.
  RECT b = CellOnScreen(busy);
  RECT corner{b.right - 9, b.bottom - 9, b.right, b.bottom};
  EXPECT_GT(CountIn(shot, corner, Reddish), 0);
  RECT e = CellOnScreen(eventDay);
  RECT eventCorner{e.right - 9, e.bottom - 9, e.right, e.bottom};
  EXPECT_EQ(0, CountIn(shot, eventCorner, Reddish));
  // The long name ends in "...": its last two inked columns are dots, not
  // the strokes of a cut letter.
  const RECT l = CellOnScreen(longDay);
  auto greenish = [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 60; };
  int lastX = l.left, top = l.bottom, bottom = l.top;
  for (int x = l.left; x < l.right; ++x) lastX = CountIn(shot, RECT{x, l.top, x + 1, l.bottom}, greenish) ? x : lastX;
  for (int y = l.top; y < l.bottom; ++y)
    if (CountIn(shot, RECT{lastX - 1, y, lastX + 1, y + 1}, greenish)) top = std::min<int>(top, y), bottom = y;
  EXPECT_LE(bottom - top, 2);

  // Cleared with the list's selection.
  doc_->UpdateAllViews(nullptr, kHintSelectionCleared);
  EXPECT_FALSE(Grid().GetMarkedCell(&col, &row));
}

TEST_F(CalViewsTest, CalendarFontChangeReachesTheDayCellsWithoutARestart) {
  CDateTime day = CDateTime::Today();
  day.AddDays(day.GetDay() > 14 ? -3 : 3);
  day.SetTime(10, 0, 0);
  AddEvent("WWWW", day);
  doc_->UpdateAllViews(nullptr, kHintReload);
  doc_->UpdateAllViews(nullptr, kHintGoToDate, nullptr);
  auto green = [](COLORREF c) { return c == kGreen; };
  const int before = CountIn(wintest::TakeShot(frame_->GetSafeHwnd(), "month-font-before"), CellOnScreen(day), green);
  // What Options does when a calendar font is chosen.
  g_Settings.CalItemFont = "Arial,140,700,0";
  ASSERT_TRUE(CProgramSettings::ParseFont(g_Settings.CalItemFont, &g_Settings.CalItemLogFont));
  g_Settings.RecreateFonts();
  doc_->UpdateAllViews(nullptr, kHintFontsChanged);
  const int after = CountIn(wintest::TakeShot(frame_->GetSafeHwnd(), "month-font-after"), CellOnScreen(day), green);
  EXPECT_GT(before, 0);
  EXPECT_GT(after, before * 3 / 2);
}

TEST_F(CalViewsTest, HintFifteenMovesToTheEventsMonthOrWeek) {
  CCalEvent* e = AddEvent("Spring", CDateTime(14, 3, 2015));
  Grid().GoTo(1, 1, 2015);
  COccurrenceRef ref(e, e->start);
  doc_->UpdateAllViews(nullptr, kHintMarkInCalendar, &ref);
  EXPECT_EQ(3, Grid().GetMonth());
  int col = -1, row = -1;
  ASSERT_TRUE(Grid().GetMarkedCell(&col, &row));
  EXPECT_EQ(CDateTime(14, 3, 2015), Grid().GetCellDate(col, row));
  frame_->SendMsg(WM_COMMAND, ID_VIEW_WEEK);
  EXPECT_EQ(1, Grid().GetMode());
  doc_->UpdateAllViews(nullptr, kHintMarkInCalendar, &ref);
  EXPECT_EQ(CDateTime(8, 3, 2015), Grid().GetWeekStart());
  ASSERT_TRUE(Grid().GetMarkedCell(&col, &row));
  EXPECT_EQ(CDateTime(14, 3, 2015), Grid().GetCellDate(col, row));
  EXPECT_EQ("March 8 - 14, 2015", Title());
  wintest::Shot shot = wintest::TakeShot(frame_->GetSafeHwnd(), "week-view");
  EXPECT_GT(CountIn(shot, CellOnScreen(CDateTime(14, 3, 2015)), [](COLORREF c) { return c == kGreen; }), 0);
}

// Long texts on every other day, paged through two years by clicks on
// "Next Month" while the pointer rests over a day: the move the system
// sends when a page changes under a resting pointer opens no day pop-up,
// and every day's number stays clear of event texts.
TEST_F(CalViewsTest, PagingUnderARestingPointerKeepsEveryDayNumberClear) {
  const std::string longName = "Quarterly planning review with the whole regional team";
  for (CDateTime day(1, 1, 2031); day < CDateTime(1, 3, 2033); day.AddDays(2)) {
    CDateTime at = day;
    at.SetTime(9, 30, 0);
    AddEvent(longName, at);
  }
  doc_->UpdateAllViews(nullptr, kHintReload);
  Grid().GoTo(1, 1, 2031);
  HWND area = Grid().GetCellArea()->GetSafeHwnd();
  auto send = [area](UINT message, WPARAM keys, const RECT& cell) {
    ::SendMessageA(area, message, keys, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
  };
  RECT next{}, resting{};
  Grid().GetCellRect(5, 0, &next);
  Grid().GetCellRect(2, 4, &resting);  // a Tuesday or Wednesday of every month
  POINT pointer{(resting.left + resting.right) / 2, (resting.top + resting.bottom) / 2};
  ::ClientToScreen(area, &pointer);
  const int numberHeight = 12;  // the day number's line, below the cell's top border
  for (int page = 0; page < 24; ++page) {
    ::SetCursorPos(pointer.x, pointer.y);
    send(WM_LBUTTONDOWN, MK_LBUTTON, next);
    send(WM_LBUTTONUP, 0, next);
    send(WM_MOUSEMOVE, 0, resting);  // the page changed under the pointer
    wintest::PumpFor(60);
    const int month = page % 12 == 11 ? 1 : page % 12 + 2;
    ASSERT_EQ(month, Grid().GetMonth()) << page;
    wintest::Shot shot = wintest::TakeShot(frame_->GetSafeHwnd(), "month-paging");
    for (int d = 1; d <= CDateTime(1, month, Grid().GetYear()).GetDaysInMonth(); ++d) {
      RECT cell = CellOnScreen(CDateTime(d, month, Grid().GetYear()));
      RECT number{cell.left + 1, cell.top + 1, cell.right - 1, cell.top + numberHeight};
      EXPECT_EQ(0, CountIn(shot, number, [](COLORREF c) { return c == kGreen; })) << page << " day " << d;
      EXPECT_GT(CountIn(shot, number, [](COLORREF c) { return c == RGB(0, 0, 0); }), 4) << page << " day " << d;
    }
  }
  // A real move over the day still opens its pop-up.
  POINT moved{pointer.x + 3, pointer.y};
  ::SetCursorPos(moved.x, moved.y);
  ::ScreenToClient(area, &moved);
  ::SendMessageA(area, WM_MOUSEMOVE, 0, MAKELPARAM(moved.x, moved.y));
  wintest::PumpFor(60);
  HWND popup = ::FindWindowA("AlmacoraDayPopup", nullptr);
  EXPECT_TRUE(popup && ::IsWindowVisible(popup));
  ::SetCursorPos(0, 0);
  if (popup) ::SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
}

TEST_F(CalViewsTest, SmallPanesPaint) {
  HWND frame = frame_->GetCalFrame()->GetSafeHwnd();
  struct Case {
    int w, h, mode;
  } cases[] = {{10, 10, 0}, {300, 25, 0}, {6, 41, 0}, {7, 21, 1}, {10, 10, 1}};
  for (const Case& c : cases) {
    Grid().SetMode(c.mode);
    ::MoveWindow(view_->GetSafeHwnd(), 0, 0, c.w, c.h, TRUE);
    ::RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  SUCCEED();
}

TEST_F(CalViewsTest, LayoutsOfTheMainSplitter) {
  CAlmacoraSplitter* s = frame_->GetMainSplitter();
  const int list = Rows().first;
  ASSERT_GT(list, 0);
  frame_->SendMsg(WM_COMMAND, ID_VIEW_LIST_ONLY);
  EXPECT_EQ(1, frame_->GetLayoutMode());
  EXPECT_EQ(0, Rows().second);
  for (UINT id : {32886u, 32860u, 32861u, 32794u}) EXPECT_NE(0u, MenuState(id) & MF_GRAYED) << id;
  frame_->SendMsg(WM_COMMAND, ID_EXTRA_CALENDAR_AND_LIST);
  EXPECT_EQ(list, Rows().first);
  EXPECT_EQ(0, frame_->GetLayoutMode());
  // Dragged to the top: calendar only, the calendar takes the active pane.
  RECT rc;
  ::GetClientRect(s->GetSafeHwnd(), &rc);
  s->SendMsg(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, list + 6));
  s->SendMsg(WM_LBUTTONUP, 0, MAKELPARAM(50, 0));
  ::UpdateWindow(s->GetSafeHwnd());  // the mode follows the drawing of the bars
  EXPECT_EQ(2, frame_->GetLayoutMode());
  EXPECT_NE(0u, MenuState(ID_VIEW_CALENDAR_ONLY) & MF_CHECKED);
  int row = -1, col = -1;
  ASSERT_TRUE(s->GetActivePane(&row, &col));
  EXPECT_EQ(1, row);
  wintest::Shot shot = wintest::TakeShot(frame_->GetSafeHwnd(), "calendar-only");
  EXPECT_GT(shot.width, 0);
  // Dragged open to exactly the minimum: both again.
  s->SendMsg(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 2));
  s->SendMsg(WM_LBUTTONUP, 0, MAKELPARAM(50, 44));
  ::UpdateWindow(s->GetSafeHwnd());
  EXPECT_EQ(40, Rows().first);
  EXPECT_EQ(0, frame_->GetLayoutMode());
  // The list's height is kept for the next start.
  g_Settings.GridSizeY = 130;
  frame_->SaveWindowPlacement();
  EXPECT_EQ(40, g_Settings.GridSizeY);
  // A short window: the list comes back at half its height.
  frame_->SendMsg(WM_COMMAND, ID_VIEW_CALENDAR_ONLY);
  g_Settings.LastListSize = 300;
  ::MoveWindow(s->GetSafeHwnd(), 0, 0, rc.right, 100, TRUE);
  frame_->SendMsg(WM_COMMAND, ID_VIEW_CALENDAR_AND_LIST);
  EXPECT_EQ(50, Rows().first);
}

TEST_F(CalViewsTest, DayLayoutSwapsWithTheMonthViewAndKeepsItsRightColumn) {
  Stop();
  Start({{"CalMode", 2}});
  CCalFrame* calFrame = frame_->GetCalFrame();
  ASSERT_NE(nullptr, calFrame);
  EXPECT_EQ(2, calFrame->GetCurrentView());
  HWND pane = ::GetDlgItem(calFrame->GetSafeHwnd(), 0xE900);
  EXPECT_EQ(calFrame->GetSplitterView()->GetSafeHwnd(), pane);
  EXPECT_EQ(1, ::GetDlgCtrlID(view_->GetSafeHwnd()));
  EXPECT_FALSE(::IsWindowVisible(view_->GetSafeHwnd()));
  // The views in their creation order: list, month/week, day layout, then
  // the day layout's own panes.
  EXPECT_EQ(view_, doc_->GetViews()[1]);
  EXPECT_EQ(calFrame->GetSplitterView(), doc_->GetViews()[2]);
  EXPECT_EQ(7u, doc_->GetViews().size());

  CSplitterView* day = calFrame->GetSplitterView();
  int widths[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    ::MoveWindow(day->GetSafeHwnd(), 0, 0, i == 0 ? 800 : 1000, 300, TRUE);
    int minimum = 0;
    day->GetSplitter().GetColumnInfo(1, &widths[i], &minimum);
  }
  // The schedule takes the new width; the right column keeps its own
  // (its 200 pixels less the borders and bar of the flat splitter).
  EXPECT_GT(widths[0], 150);
  EXPECT_EQ(widths[0], widths[1]);
  frame_->SendMsg(WM_COMMAND, ID_VIEW_MONTH);
  EXPECT_EQ(1, calFrame->GetCurrentView());
  EXPECT_EQ(view_->GetSafeHwnd(), ::GetDlgItem(calFrame->GetSafeHwnd(), 0xE900));
  EXPECT_EQ(2, ::GetDlgCtrlID(day->GetSafeHwnd()));
  EXPECT_TRUE(::IsWindowVisible(view_->GetSafeHwnd()));
}

TEST_F(CalViewsTest, TodayCommandGoesToTodaysMonth) {
  Grid().GoTo(1, 1, 2000);
  frame_->SendMsg(WM_COMMAND, ID_VIEW_TODAY);
  EXPECT_EQ(CDateTime::Today().GetMonth(), Grid().GetMonth());
  EXPECT_EQ(CDateTime::Today().GetYear(), Grid().GetYear());
}

class DateRecorder : public framework::CView {
 public:
  std::vector<CDateTime> dates;
  void OnUpdate(framework::CView*, LPARAM hint, void* object) override {
    if (hint == kHintGoToDate) dates.push_back(object ? *static_cast<const CDateTime*>(object) : CDateTime());
  }
};

TEST_F(CalViewsTest, MiniMonthAnnouncesPickedDaysAndMonths) {
  CDailyCalView* pane = StartDayLayout();
  ASSERT_NE(nullptr, pane);
  CMiniMonthCal& mini = pane->GetMiniMonth();
  DateRecorder recorder;
  doc_->AddView(&recorder);
  mini.GoTo(1, 12, 2005);
  EXPECT_TRUE(recorder.dates.empty());
  auto click = [&mini](int col, int row) {
    RECT r;
    mini.GetCellRect(col, row, &r);
    HWND area = mini.GetCellArea()->GetSafeHwnd();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(area, WM_LBUTTONUP, 0, at);
  };
  int col = -1, row = -1;
  ASSERT_TRUE(mini.FindDateCell(CDateTime(15, 12, 2005), &col, &row));
  click(col, row);
  ASSERT_EQ(1u, recorder.dates.size());
  EXPECT_EQ(CDateTime(15, 12, 2005), recorder.dates[0]);
  // The weekday row and the blanks before the 1st are refused.
  click(3, 1);
  click(0, 2);
  EXPECT_EQ(1u, recorder.dates.size());
  EXPECT_EQ(col, mini.GetCurrentColumn());
  mini.OnCellTypeEvent(0, 5, 0, 3, nullptr);
  EXPECT_EQ("Jan, 2006", mini.GetTitle());
  ASSERT_EQ(2u, recorder.dates.size());
  EXPECT_EQ(CDateTime(1, 1, 2006), recorder.dates[1]);
  // Busy days of the document's page of the shown month are bold.
  AddEvent("Busy", CDateTime(10, 1, 2006));
  doc_->GetCalPage().Build(*doc_, CDateTime(1, 1, 2006), CCalPage::kMonth);
  mini.Refresh();
  auto weight = [&mini](int day) {
    int c = -1, r = -1;
    mini.FindDateCell(CDateTime(day, 1, 2006), &c, &r);
    CGridCell cell;
    mini.GetCell(c, r, &cell);
    LOGFONTA lf{};
    ::GetObjectA(cell.GetFont(), sizeof lf, &lf);
    return lf.lfWeight;
  };
  EXPECT_EQ(700, weight(10));
  EXPECT_EQ(400, weight(11));
  // A page of another month marks nothing.
  doc_->GetCalPage().Build(*doc_, CDateTime(1, 2, 2006), CCalPage::kMonth);
  mini.Refresh();
  EXPECT_EQ(400, weight(10));
  doc_->RemoveView(&recorder);
  wintest::Shot shot = wintest::TakeShot(frame_->GetSafeHwnd(), "mini-month");
  RECT title;
  mini.GetCellRect(2, 0, &title);
  ::MapWindowPoints(mini.GetCellArea()->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&title), 2);
  EXPECT_GT(CountIn(shot, title, Reddish), 0);
}

// The day layout says which day it shows: the mini month marks that day in
// the highlight colour, in figures no smaller than a dialog's.
TEST_F(CalViewsTest, DayLayoutMarksItsDayInTheMiniMonth) {
  CDailyCalView* pane = StartDayLayout();
  ASSERT_NE(nullptr, pane);
  CMiniMonthCal& mini = pane->GetMiniMonth();
  CDateTime shown(15, 12, 2005);
  doc_->UpdateAllViews(nullptr, kHintGoToDate, &shown);
  wintest::Shot shot = wintest::TakeShot(frame_->GetSafeHwnd(), "day_view_marked_day");
  LOGFONTA dialogFont{};
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof dialogFont, &dialogFont);
  const COLORREF mark = ::GetSysColor(COLOR_HIGHLIGHT);
  for (int day : {15, 16}) {
    SCOPED_TRACE(day);
    int c = -1, r = -1;
    ASSERT_TRUE(mini.FindDateCell(CDateTime(day, 12, 2005), &c, &r));
    CGridCell cell;
    mini.GetCell(c, r, &cell);
    LOGFONTA lf{};
    ::GetObjectA(cell.GetFont(), sizeof lf, &lf);
    EXPECT_GE(std::abs(lf.lfHeight), std::abs(dialogFont.lfHeight));
    RECT rc;
    mini.GetCellRect(c, r, &rc);
    ::MapWindowPoints(mini.GetCellArea()->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
    const int area = (rc.right - rc.left) * (rc.bottom - rc.top);
    const int marked = CountIn(shot, rc, [mark](COLORREF p) { return p == mark; });
    if (day == 15)
      EXPECT_GT(marked, area / 2);
    else
      EXPECT_EQ(marked, 0);
  }
}

// ---- The page painters on a 32-bit bitmap.

TEST_F(CalViewsTest, PaintersTitlesSchemesAndColours) {
  EXPECT_EQ("December 29 - January 4, 2026", calpaint::WeekTitle(CDateTime(29, 12, 2025)));
  EXPECT_EQ("December 1 - 7, 2025", calpaint::WeekTitle(CDateTime(1, 12, 2025)));

  AddEvent("Party", CDateTime(15, 2, 2005));
  CCalPage page;
  page.Build(*doc_, CDateTime(1, 2, 2005), CCalPage::kMonth);
  wintest::Dib dib(700, 500);
  calpaint::PaintMonth(page, dib.dc, RECT{0, 0, 700, 500}, calpaint::kPictureScheme);
  int titleH = 0;
  while (titleH < 500 && dib.At(2, titleH) == RGB(255, 255, 255)) ++titleH;
  ASSERT_LT(titleH, 100);
  EXPECT_EQ(RGB(0, 0, 128), dib.At(2, titleH + 2));
  EXPECT_EQ(RGB(255, 255, 255), dib.At(350, 490));
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 700; ++x) pixels.push_back(dib.At(x, y));
  EXPECT_TRUE(wintest::WritePng(wintest::ArtifactPath("month-picture.png"), 700, 500, pixels));
  // Print scheme on a device of more colours than a palette: item colours.
  g_Settings.ColorCodePrinting = 1;
  wintest::Dib print(700, 500);
  calpaint::PaintMonth(page, print.dc, RECT{0, 0, 700, 500}, calpaint::kPrintScheme);
  EXPECT_GT(print.Count(RECT{0, 0, 700, 500}, kGreen), 0);
  g_Settings.ColorCodePrinting = 0;
  calpaint::PaintMonth(page, print.dc, RECT{0, 0, 700, 500}, calpaint::kPrintScheme);
  EXPECT_EQ(0, print.Count(RECT{0, 0, 700, 500}, kGreen));

  // Week page: the eighth cell stays empty.
  CCalPage week;
  week.Build(*doc_, CDateTime(13, 2, 2005), CCalPage::kWeek);
  calpaint::PaintWeek(week, print.dc, RECT{0, 0, 700, 500}, calpaint::kPictureScheme);
  EXPECT_EQ(0, print.Count(RECT{3 * 175 + 3, 300, 700 - 3, 495}, RGB(0, 0, 128)));
}

}  // namespace
