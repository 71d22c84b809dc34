// The day layout in the program's own frame (scratch profile): the
// schedule's boxes, mouse gestures, menu and markers; the all-day strip;
// the mini month moving both; the month grid's day pop-up. The frame's
// event commands are a recording fake.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "program_fixture.h"
#include "res/resource.h"
#include "shell/day/all_day_view.h"
#include "shell/app/almacora_app.h"
#include "shell/calendar/cal_frame.h"
#include "shell/calendar/cal_view.h"
#include "shell/day/daily_cal_view.h"
#include "shell/day/daily_view.h"
#include "shell/calendar/day_events_popup.h"
#include "shell/commands/event_commands.h"
#include "shell/frame/main_frame.h"
#include "shell/commands/occurrence_menu.h"
#include "shell/app/private_messages.h"
#include "shell/day/right_splitter_view.h"
#include "shell/app/shell_document.h"
#include "storage/calendar_file.h"
#include "shell/day/splitter_view.h"
#include "grid/parts/cell_area.h"
#include "tests/shell/main_window_start.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 160, 0);

class RecordingCommands : public IEventCommands {
 public:
  std::vector<std::string> calls;
  bool agree = true;
  static std::string Stamp(const CDateTime& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d", d.GetHour(), d.GetMinute());
    return buf;
  }
  void AddEventRange(const CDateTime& start, const CDateTime* end) override {
    calls.push_back("range " + Stamp(start) + "-" + (end ? Stamp(*end) : std::string("none")));
  }
  void AddAllDayEvent(const CDateTime& day) override { calls.push_back("allday " + std::to_string(day.GetJulianDay())); }
  void AddEventOnDate(const CDateTime& day) override { calls.push_back("ondate " + std::to_string(day.GetJulianDay())); }
  void AddCopy(CCalEvent& e) override { calls.push_back("copy " + e.name); }
  void ModifyEvent(const COccurrenceRef& r) override { calls.push_back("modify " + r.event->name); }
  void DeleteEvent(const COccurrenceRef& r) override { calls.push_back("delete " + r.event->name); }
  bool ConfirmAcknowledge(bool) override {
    calls.push_back("confirm");
    return agree;
  }
  void PrintEvent(const COccurrenceRef& r) override { calls.push_back("print " + r.event->name); }
  void ExportEvent(const COccurrenceRef& r) override { calls.push_back("export " + r.event->name); }
  void ShowDetails(const COccurrenceRef& r) override { calls.push_back("details " + r.event->name); }
};

// Records the menus the views open and picks an item.
std::vector<std::string> g_menu;
UINT g_pick = 0;
int g_menus = 0;
UINT RecordMenu(HMENU menu, POINT, UINT, HWND) {
  ++g_menus;
  g_menu.clear();
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    char text[64] = "";
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    g_menu.push_back(text[0] ? text : "-");
  }
  return g_pick;
}

class HintRecorder : public framework::CView {
 public:
  std::vector<std::pair<LPARAM, std::string>> hints;
  void OnUpdate(framework::CView*, LPARAM hint, void* object) override {
    std::string name;
    if (hint == kHintSelectEvent && object) name = static_cast<COccurrenceRef*>(object)->event->name;
    hints.emplace_back(hint, name);
  }
};

class DayViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEventCommands(&commands_);
    occmenu::trackHook = &RecordMenu;
    g_menus = 0;
    g_pick = 0;
  }
  void Start(const std::map<std::string, int>& ints) {
    store_ = shelltest::QuietSettings("shell_day_views");
    g_Settings.CalendarStartDay = 0;
    g_Settings.EventTypeNames = {"Green"};
    g_Settings.EventTypeColors = {kGreen};
    g_Settings.CalMode = 2;
    g_Settings.DailyScale = 30;
    for (const auto& [name, value] : ints) {
      if (name == "CalMode") g_Settings.CalMode = static_cast<int16_t>(value);
      if (name == "DailyScale") g_Settings.DailyScale = value;
    }
    frame_ = shelltest::StartShownMainWindow(app_);
    ASSERT_NE(frame_, nullptr);
    frame_->SendMsg(WM_COMMAND, ID_VIEW_CALENDAR_ONLY);
    doc_ = frame_->GetShellDocument();
    CCalFrame* cal = frame_->GetCalFrame();
    calView_ = cal->GetCalView();
    CSplitterView* day = cal->GetSplitterView();
    if (!day) return;  // made when first shown
    daily_ = dynamic_cast<CDailyView*>(day->GetSplitter().GetPaneObject(0, 0));
    auto* right = dynamic_cast<CRightSplitterView*>(day->GetSplitter().GetPaneObject(0, 1));
    ASSERT_NE(nullptr, daily_);
    ASSERT_NE(nullptr, right);
    mini_ = dynamic_cast<CDailyCalView*>(right->GetSplitter().GetPaneObject(0, 0));
    strip_ = dynamic_cast<CAllDayView*>(right->GetSplitter().GetPaneObject(1, 0));
    ASSERT_NE(nullptr, strip_);
    wintest::PumpFor(100);
  }
  void TearDown() override {
    if (recorder_.GetDocument()) doc_->RemoveView(&recorder_);
    shelltest::EndMainWindow(frame_, app_, store_);
    SetEventCommands(nullptr);
    occmenu::trackHook = nullptr;
  }
  CCalEvent* AddEvent(const std::string& name, const CDateTime& start, const CDateTime* end, bool allDay = false) {
    auto* e = new CCalEvent;
    e->name = name;
    e->type = "Green";
    e->oneTime = 1;
    e->start = start;
    e->end = end ? *end : start;
    e->showEnd = end ? 1 : 0;
    e->allDay = allDay ? 1 : 0;
    e->nextOccurrence = start;
    e->hasNext = 1;
    // Events earlier today would otherwise fall due and bring the reminder
    // window up over the schedule, depending on when the test runs.
    e->alarmOn = 0;
    // Saved where a save always succeeds: an acknowledge whose save fails is
    // taken back.
    memory_.fileType = CCalendarFile::kMemoryOnly;
    e->calendar = &memory_;
    doc_->Core().events().Append(e);
    return e;
  }
  CDateTime At(int h, int m) const {
    CDateTime t = today_;
    t.SetTime(h, m, 0);
    return t;
  }
  void ShowDay(const CDateTime& day) {
    CDateTime d = day;
    doc_->UpdateAllViews(nullptr, kHintGoToDate, &d);
  }
  // Client point of a line's middle, x in the free area right of the boxes.
  LPARAM LinePoint(int line, int x = -1) {
    const POINT pos = daily_->GetScrollPosition();
    RECT rc;
    ::GetClientRect(daily_->GetSafeHwnd(), &rc);
    if (x < 0) x = rc.right - 20;
    return MAKELPARAM(x, (line - 1) * daily_->GetLineHeight() + daily_->GetLineHeight() / 2 - pos.y);
  }
  LPARAM ItemPoint(int index) {
    const dayline::Box& b = daily_->GetItems()[static_cast<size_t>(index)].box;
    const POINT pos = daily_->GetScrollPosition();
    return MAKELPARAM((b.left + b.right) / 2, (b.top + b.bottom) / 2 - pos.y);
  }
  void Send(UINT msg, WPARAM w, LPARAM l) { ::SendMessageA(daily_->GetSafeHwnd(), msg, w, l); }
  int LineOf(const std::string& name) {
    for (const CDailyViewItem& i : daily_->GetItems())
      if (i.occurrence.event->name == name) return static_cast<int>(&i - &daily_->GetItems()[0]);
    return -1;
  }

  // Outlives the document, whose events name it.
  CCalendarFile memory_;
  RecordingCommands commands_;
  HintRecorder recorder_;
  std::unique_ptr<CAlmacoraApp> app_;
  std::unique_ptr<platform::ProfileStore> store_;
  CMainFrame* frame_ = nullptr;
  CShellDocument* doc_ = nullptr;
  CCalView* calView_ = nullptr;
  CDailyView* daily_ = nullptr;
  CDailyCalView* mini_ = nullptr;
  CAllDayView* strip_ = nullptr;
  CDateTime today_ = CDateTime::Today();
};

TEST_F(DayViewsTest, ScheduleDrawsOverlapsMarkersAndASpan) {
  Start({});
  const CDateTime e1 = At(10, 0), e2 = At(11, 0), e3 = At(11, 30), e4 = At(23, 0);
  AddEvent("First", At(9, 0), &e1);
  AddEvent("Second", At(9, 30), &e2);
  AddEvent("Third", At(10, 30), &e3);
  AddEvent("Late", At(22, 0), &e4);
  AddEvent("Holiday", today_, nullptr, true);
  ShowDay(today_);
  ASSERT_EQ(4u, daily_->GetItems().size());
  EXPECT_EQ(2, daily_->GetColumnCount());
  const int first = LineOf("First");
  EXPECT_EQ(19, daily_->GetItems()[first].layout.rows.start);
  EXPECT_EQ(20, daily_->GetItems()[first].layout.rows.end);
  EXPECT_EQ(1, daily_->GetItems()[LineOf("Third")].layout.firstColumn);
  // The all-day one only in the strip.
  ASSERT_EQ(1, strip_->GetList().GetLineCount());
  EXPECT_EQ("Holiday", strip_->GetList().GetOccurrence(0)->event->name);

  // Scrolled a line past 09:00 with 22:00 below: both markers. A span
  // pressed and dragged over 14:00..15:00 is highlighted.
  const int h = daily_->GetLineHeight();
  daily_->ScrollToPosition(POINT{0, 20 * h});
  Send(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(29));
  Send(WM_MOUSEMOVE, MK_LBUTTON, LinePoint(31));
  EXPECT_EQ(29, daily_->GetAnchorLine());
  EXPECT_EQ(31, daily_->GetCurrentLine());
  ::UpdateWindow(daily_->GetSafeHwnd());
  wintest::Shot shot = wintest::TakeShot(daily_->GetSafeHwnd(), "day-view");
  ASSERT_GT(shot.width, 0);
  RECT rc;
  ::GetClientRect(daily_->GetSafeHwnd(), &rc);
  RECT w, c{0, 0, 0, 0};
  ::GetWindowRect(daily_->GetSafeHwnd(), &w);
  ::MapWindowPoints(daily_->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&c), 1);
  const int ox = c.left - w.left, oy = c.top - w.top;
  const COLORREF info = ::GetSysColor(COLOR_INFOBK);
  EXPECT_EQ(info, shot.At(ox + rc.right - 5, oy + 5));                // top marker
  EXPECT_EQ(info, shot.At(ox + rc.right - 5, oy + rc.bottom - 5));    // bottom marker
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), shot.At(ox + rc.right - 30, oy + 9 * h + h / 2));  // the span
  // The "Third" box at its 10:30 line: its colour bar.
  const dayline::Box& third = daily_->GetItems()[LineOf("Third")].box;
  daily_->ScrollToPosition(POINT{0, 18 * h});
  ::UpdateWindow(daily_->GetSafeHwnd());
  shot = wintest::TakeShot(daily_->GetSafeHwnd(), "day-view-boxes");
  EXPECT_EQ(21 * h, third.top);
  EXPECT_EQ(kGreen, shot.At(ox + third.left + 1, oy + third.top - 18 * h + 2));
  Send(WM_LBUTTONUP, 0, LinePoint(31));
  wintest::TakeShot(frame_->GetSafeHwnd(), "day-mode");
  // An event being freed leaves the schedule and the strip at once; the
  // hint carries the event's serial number, as the main window's delete sends it.
  for (CCalEvent* gone : {daily_->GetItems()[LineOf("Late")].occurrence.event,
                          strip_->GetList().GetOccurrence(0)->event})
    doc_->UpdateAllViews(nullptr, kHintDropEvent, reinterpret_cast<void*>(static_cast<INT_PTR>(gone->serial)));
  EXPECT_EQ(-1, LineOf("Late"));
  EXPECT_EQ(0, strip_->GetList().GetLineCount());
}

TEST_F(DayViewsTest, MouseGesturesAndTheMenu) {
  Start({});
  const CDateTime e1 = At(17, 0);
  AddEvent("Meeting", At(16, 0), &e1);
  ShowDay(today_);
  doc_->AddView(&recorder_);
  // A drag from the 09:00 to the 09:30 line, right of the box.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(19));
  Send(WM_MOUSEMOVE, MK_LBUTTON, LinePoint(20));
  Send(WM_LBUTTONUP, 0, LinePoint(20));
  // Press and release on one line: nothing.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(25));
  Send(WM_LBUTTONUP, 0, LinePoint(25));
  // A double-click on 14:00.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(29));
  Send(WM_LBUTTONUP, 0, LinePoint(29));
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, LinePoint(29));
  EXPECT_EQ((std::vector<std::string>{"range 09:00-10:00", "range 14:00-none"}), commands_.calls);
  // No menu on empty space.
  Send(WM_RBUTTONDOWN, MK_RBUTTON, LinePoint(29));
  EXPECT_EQ(0, g_menus);
  // A click on the box selects it and tells the list.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, ItemPoint(0));
  EXPECT_EQ(0, daily_->GetSelectedIndex());
  ASSERT_FALSE(recorder_.hints.empty());
  EXPECT_EQ(kHintSelectEvent, recorder_.hints.back().first);
  EXPECT_EQ("Meeting", recorder_.hints.back().second);
  ::UpdateWindow(daily_->GetSafeHwnd());
  wintest::Shot shot = wintest::TakeShot(daily_->GetSafeHwnd(), "day-view-selected");
  RECT w, c{0, 0, 0, 0};
  ::GetWindowRect(daily_->GetSafeHwnd(), &w);
  ::MapWindowPoints(daily_->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&c), 1);
  const dayline::Box& b = daily_->GetItems()[0].box;
  const POINT pos = daily_->GetScrollPosition();
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT),
            shot.At(c.left - w.left + b.right - 8, c.top - w.top + b.bottom - pos.y - 3));
  // The box's menu, then Details through the frame; Add proposes its start.
  g_pick = ID_OCC_DETAILS;
  Send(WM_RBUTTONDOWN, MK_RBUTTON, ItemPoint(0));
  Send(WM_RBUTTONUP, 0, ItemPoint(0));
  // Calendar only: no list to show it in.
  EXPECT_EQ((std::vector<std::string>{"-", "Acknowledge", "Details", "Print Event", "-", "Add", "Modify", "Delete",
                                      "Export", "Reset"}),
            g_menu);
  frame_->SendMsg(WM_COMMAND, ID_VIEW_CALENDAR_AND_LIST);
  g_pick = ID_OCC_ADD;
  Send(WM_RBUTTONDOWN, MK_RBUTTON, ItemPoint(0));
  EXPECT_EQ("Show in Event List", g_menu.back());
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, ItemPoint(0));
  EXPECT_EQ((std::vector<std::string>{"range 09:00-10:00", "range 14:00-none", "details Meeting",
                                      "range 16:00-none", "modify Meeting"}),
            commands_.calls);
  // Acknowledge answered Yes: saved and reloaded; Details on the new selection.
  CCalEvent* meeting = daily_->GetItems()[0].occurrence.event;
  g_pick = ID_OCC_ACKNOWLEDGE;
  Send(WM_RBUTTONDOWN, MK_RBUTTON, ItemPoint(0));
  EXPECT_EQ("confirm", commands_.calls.back());
  EXPECT_TRUE(meeting->IsOccurrenceAcknowledged(At(16, 0)));
  ASSERT_EQ(1u, daily_->GetItems().size());
  EXPECT_EQ(-1, daily_->GetSelectedIndex());
  g_pick = ID_OCC_DETAILS;
  Send(WM_RBUTTONDOWN, MK_RBUTTON, ItemPoint(0));
  EXPECT_EQ("Un-Acknowledge", g_menu[1]);
  EXPECT_EQ("details Meeting", commands_.calls.back());
}

TEST_F(DayViewsTest, EmptyDayOpensAtEightAndScalesLabel) {
  Start({{"DailyScale", 0}});
  CDateTime empty = today_;
  empty.AddDays(40);
  ShowDay(empty);
  EXPECT_EQ(48, daily_->GetLineCount());
  EXPECT_EQ(0, daily_->GetColumnCount());
  EXPECT_EQ(16 * daily_->GetLineHeight(), daily_->GetScrollPosition().y);
  ::UpdateWindow(daily_->GetSafeHwnd());
  wintest::Shot shot = wintest::TakeShot(daily_->GetSafeHwnd(), "day-view-empty");
  RECT w, c{0, 0, 0, 0};
  ::GetWindowRect(daily_->GetSafeHwnd(), &w);
  ::MapWindowPoints(daily_->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&c), 1);
  const int h = daily_->GetLineHeight(), x = c.left - w.left + daily_->GetScaleWidth() + 20;
  // Separators under the 08:00 line (a half hour) and the 08:30 line (an hour).
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), shot.At(x, c.top - w.top + h - 1));
  EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), shot.At(x, c.top - w.top + 2 * h - 1));
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), shot.At(c.left - w.left + 1, c.top - w.top + 1));
}

TEST_F(DayViewsTest, StripListsAllDayAndOffersAdd) {
  Start({});
  AddEvent("Holiday", today_, nullptr, true);
  ShowDay(today_);
  ASSERT_EQ(1, strip_->GetList().GetLineCount());
  CDateTime empty = today_;
  empty.AddDays(1);
  ShowDay(empty);
  EXPECT_EQ(0, strip_->GetList().GetLineCount());
  HWND list = strip_->GetList().GetSafeHwnd();
  g_pick = ID_OCC_ADD;
  ::SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ((std::vector<std::string>{"Add"}), g_menu);
  ASSERT_EQ(1u, commands_.calls.size());
  EXPECT_EQ("allday " + std::to_string(empty.GetJulianDay()), commands_.calls[0]);
  // Back on the holiday, select it; a reload keeps the day, nothing selected.
  ShowDay(today_);
  strip_->GetList().SetCurSel(0);
  doc_->UpdateAllViews(nullptr, kHintListReloaded);
  EXPECT_EQ(today_.GetJulianDay(), strip_->GetShownDay().GetJulianDay());
  EXPECT_EQ(-1, strip_->GetList().GetCurSel());
  EXPECT_EQ(1, strip_->GetList().GetLineCount());
  ::UpdateWindow(strip_->GetSafeHwnd());
  wintest::Shot shot = wintest::TakeShot(strip_->GetSafeHwnd(), "all-day");
  ASSERT_GT(shot.width, 0);
  // The line in its type's colour somewhere below the title.
  int green = 0;
  for (COLORREF px : shot.pixels) green += px == kGreen;
  EXPECT_GT(green, 0);
  // A day picked in the mini month moves schedule and strip.
  CMiniMonthCal& mini = mini_->GetMiniMonth();
  int col = -1, row = -1;
  CDateTime pick = today_;
  pick.AddDays(today_.GetDay() > 14 ? -2 : 2);
  ASSERT_TRUE(mini.FindDateCell(pick, &col, &row));
  RECT r;
  mini.GetCellRect(col, row, &r);
  HWND area = mini.GetCellArea()->GetSafeHwnd();
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ::SendMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(area, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(pick.GetJulianDay(), daily_->GetShownDay().GetJulianDay());
  EXPECT_EQ(pick.GetJulianDay(), strip_->GetShownDay().GetJulianDay());
}

TEST_F(DayViewsTest, DayPopupShowsTheDayAndHides) {
  Start({{"CalMode", 0}});
  frame_->SendMsg(WM_COMMAND, ID_VIEW_MONTH);
  CMonthGridCtrl& grid = calView_->GetGrid();
  CDateTime day = today_;
  day.AddDays(today_.GetDay() > 14 ? -3 : 3);
  const CDateTime end = [&] {
    CDateTime e = day;
    e.AddDays(1);
    e.SetTime(9, 0, 0);
    return e;
  }();
  CDateTime start = day;
  start.SetTime(8, 0, 0);
  CCalEvent* noted = AddEvent("A rather long name for a trip that runs on", start, &end);
  noted->notes = "Pack";
  CDateTime lunch = day;
  lunch.SetTime(12, 0, 0);
  AddEvent("Lunch", lunch, nullptr);
  doc_->UpdateAllViews(nullptr, kHintReload);
  int col = -1, row = -1;
  ASSERT_TRUE(grid.FindDateCell(day, &col, &row));
  RECT cell;
  grid.GetCellRect(col, row, &cell);
  HWND area = grid.GetCellArea()->GetSafeHwnd();
  ::SendMessageA(area, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 5, cell.top + 5));
  CDayEventsPopup& popup = calView_->GetDayPopup();
  ASSERT_TRUE(popup.IsShown());
  ASSERT_EQ(2u, popup.GetLines().size());
  RECT pr;
  ::GetWindowRect(popup.GetSafeHwnd(), &pr);
  EXPECT_GE(pr.right - pr.left, cell.right - cell.left);
  EXPECT_GE(pr.bottom - pr.top, cell.bottom - cell.top);
  const int y0 = popup.GetHeadingHeight() + popup.GetLineHeight() / 2;
  const int y1 = y0 + popup.GetLineHeight();
  int trip = popup.GetLines()[0].event == noted ? 0 : 1;
  const int yTrip = trip == 0 ? y0 : y1, yLunch = trip == 0 ? y1 : y0;
  EXPECT_EQ("Pack", popup.TipTextAt(POINT{5, yTrip}));
  EXPECT_EQ("", popup.TipTextAt(POINT{5, yLunch}));
  ::SendMessageA(popup.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, yLunch));
  EXPECT_EQ(1 - trip, popup.GetHotLine());
  wintest::Shot shot = wintest::TakeShot(popup.GetSafeHwnd(), "day-popup");
  ASSERT_GT(shot.width, 0);
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), shot.At(shot.width - 12, yLunch));
  // The trip runs on: the triangle in its colour at the line's right end.
  bool triangle = false;
  for (int x = shot.width - 9; x < shot.width - 1; ++x) triangle |= shot.At(x, yTrip) == kGreen;
  EXPECT_TRUE(triangle);
  // A double-click on the heading adds on the day and hides.
  ::SendMessageA(popup.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 3));
  ::SendMessageA(popup.GetSafeHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 3));
  EXPECT_FALSE(popup.IsShown());
  EXPECT_EQ((std::vector<std::string>{"ondate " + std::to_string(day.GetJulianDay())}), commands_.calls);
  // Hint 3 hides it; so does a move off it.
  ::SendMessageA(area, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 5, cell.top + 5));
  ASSERT_TRUE(popup.IsShown());
  doc_->UpdateAllViews(nullptr, kHintReload);
  EXPECT_FALSE(popup.IsShown());
  ::SendMessageA(area, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 5, cell.top + 5));
  ASSERT_TRUE(popup.IsShown());
  ::SendMessageA(popup.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
  EXPECT_FALSE(popup.IsShown());
  // Another window taking the capture hides it.
  ::SendMessageA(area, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 5, cell.top + 5));
  ASSERT_TRUE(popup.IsShown());
  ::SetCapture(frame_->GetSafeHwnd());
  EXPECT_FALSE(popup.IsShown());
  ::ReleaseCapture();
}

TEST_F(DayViewsTest, CrowdedPopupStaysInTheWorkArea) {
  Start({{"CalMode", 0}});
  frame_->SendMsg(WM_COMMAND, ID_VIEW_MONTH);
  CDayEventsPopup& popup = calView_->GetDayPopup();
  std::vector<COccurrenceRef> lines;
  std::vector<std::unique_ptr<CCalEvent>> events;
  for (int i = 0; i < 40; ++i) {
    events.push_back(std::make_unique<CCalEvent>());
    events.back()->name = "Item " + std::to_string(i);
    events.back()->start = At(8, i);
    lines.emplace_back(events.back().get(), At(8, i));
  }
  RECT work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const RECT cell{work.right - 60, work.bottom - 50, work.right - 10, work.bottom - 10};
  popup.Show(cell, today_, "12", lines, 0xFFFFFF, 0, false);
  RECT pr;
  ::GetWindowRect(popup.GetSafeHwnd(), &pr);
  EXPECT_GE(pr.left, work.left);
  EXPECT_LE(pr.right, work.right);
  EXPECT_LE(pr.bottom, work.bottom);
  EXPECT_GE(pr.top, work.top);
  // Taller than the work area: from its top.
  lines.insert(lines.end(), lines.begin(), lines.end());
  lines.insert(lines.end(), lines.begin(), lines.end());
  popup.Show(cell, today_, "12", lines, 0xFFFFFF, 0, false);
  ::GetWindowRect(popup.GetSafeHwnd(), &pr);
  EXPECT_EQ(work.top, pr.top);
  popup.HideDayPopup();
}

}  // namespace

namespace {

std::vector<std::string> MenuTexts(HMENU menu) {
  std::vector<std::string> out;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    char text[64] = "";
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    out.push_back(text[0] ? text : "-");
  }
  ::DestroyMenu(menu);
  return out;
}

TEST(OccurrenceMenuTest, AcknowledgeItemsAndThePopupsVariant) {
  CCalEvent past;
  past.name = "Past";
  past.oneTime = 1;
  past.acknowledged = 1;
  past.alarmOn = 0;
  CDateTime then = CDateTime::Today();
  then.AddDays(-5);
  past.start = then;
  const COccurrenceRef ref(&past, then);
  ASSERT_TRUE(ref.IsAcknowledged());
  std::vector<std::string> items = MenuTexts(occmenu::Build(&ref, occmenu::Style::kDayViews, true));
  EXPECT_EQ((std::vector<std::string>{"-", "Details", "Print Event", "-", "Add", "Modify", "Delete", "Export", "Reset"}),
            items);
  past.alarmOn = 1;
  items = MenuTexts(occmenu::Build(&ref, occmenu::Style::kPopup, false));
  EXPECT_EQ((std::vector<std::string>{"Un-Acknowledge", "Details", "Print Event", "-", "Add Copy", "Modify", "Delete",
                                      "Export", "Reset", "-", "Show in Event List"}),
            items);
  // Without the frame's commands they are grey.
  HMENU menu = occmenu::Build(&ref, occmenu::Style::kPopup, false);
  EXPECT_NE(0u, ::GetMenuState(menu, ID_OCC_MODIFY, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_EQ(0u, ::GetMenuState(menu, ID_OCC_RESET, MF_BYCOMMAND) & MF_GRAYED);
  ::DestroyMenu(menu);
}

}  // namespace
