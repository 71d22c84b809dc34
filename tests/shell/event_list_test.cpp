// The event list view in the real main frame of this process, over a
// scratch calendar: its orders and heading clicks, the hints it sends and
// takes, the row menu, Find, the list text file and the stored columns.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/docview/view.h"
#include "grid/core/grid_core.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "platform/profile_store.h"
#include "program_fixture.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/event_list/event_list_rows.h"
#include "shell/event_list/grid_view.h"
#include "shell/commands/event_operations.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "shell/app/shell_services.h"
#include "tests/support/win/window_shot.h"
#include "tests/shell/main_window_start.h"
// The storage names a member CreateFile; windows.h makes that a macro.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"

using shelltest::BoxAnswerer;

namespace {

class RecordingView : public framework::CView {
 public:
  std::vector<LPARAM> hints;
  void OnUpdate(framework::CView*, LPARAM hint, void*) override { hints.push_back(hint); }
};

class FakeOperations : public IEventOperations {
 public:
  std::vector<std::string> calls;
  void AddCopy(const CCalEvent& e) override { calls.push_back("copy " + e.name); }
  bool ModifyEvent(const COccurrenceRef& o) override {
    calls.push_back("modify " + o.event->name);
    return false;
  }
  bool ConfirmAcknowledge(bool oneTime) override {
    calls.push_back(oneTime ? "confirm one-time" : "confirm recurring");
    return true;
  }
  void ShowEventDetails(const COccurrenceRef& o) override { calls.push_back("details " + o.event->name); }
  void ExportEvent(const COccurrenceRef& o) override { calls.push_back("export " + o.event->name); }
  void PrintEvent(const COccurrenceRef& o) override { calls.push_back("print " + o.event->name); }
};

struct EventSpec {
  const char* name;
  const char* type;
  int days;  // from today; the start's hour is 9 unless `hour`
  int hour = 9;
  bool hasNext = true;
  bool alarm = false;
  bool age = false;
  int startYear = 0;  // 0: the occurrence's own year
  const char* notes = "";
};

LPARAM Pt(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// One main frame for every test (starting it is the slow part); each test
// gets a calendar of its own and leaves the settings it changed as they
// were.
class EventListTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Settings a run cut short left behind must not reach these tests.
    platform::ProfileStore(platform::ProfileStore::ScratchLocation("shell_event_list")).Clear();
    store_ = shelltest::QuietSettings("shell_event_list").release();
    app_ = new CAlmacoraApp();
    frame_ = shelltest::StartMainWindow(*app_);
  }
  static void TearDownTestSuite() {
    shelltest::CloseMainWindow(frame_);
    delete app_;
    app_ = nullptr;
    store_->Clear();
    g_Settings.SetProfile(nullptr);
    delete store_;
    store_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(frame_, nullptr);
    doc_ = frame_->GetShellDocument();
    view_ = dynamic_cast<CGridView*>(framework::CWindow::FromHandle(ListPane()));
    ASSERT_NE(view_, nullptr);
    char tmp[MAX_PATH] = "";
    ::GetTempPathA(sizeof tmp, tmp);
    folder_ = std::string(tmp);
    calendarPath_ = folder_ + "almacora_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".akv";
    ::DeleteFileA(calendarPath_.c_str());
    ASSERT_EQ(StartStorageEngine(), 0);
    {
      CCalendarFile file;
      ASSERT_NE(file.CreateFile(calendarPath_), 0);
    }
    ASSERT_TRUE(doc_->Core().OpenEventFile(calendarPath_, false));
    Command(32788);
    oldPrompts_ = GetModelServices().prompts;
    GetModelServices().prompts = &prompts_;
    doc_->AddView(&recorder_);
  }
  void TearDown() override {
    SetEventOperations(nullptr);
    GetModelServices().prompts = oldPrompts_;
    doc_->RemoveView(&recorder_);
    if (HWND find = view_->GetFindDialog()) ::DestroyWindow(find);
    g_Settings.ShowAcknowledgedList = 0;
    if (CCalendarFile* calendar = doc_->Core().calendars().FindByPath(calendarPath_))
      doc_->Core().CloseEventFile(calendar);
    ::DeleteFileA(calendarPath_.c_str());
  }

  // The list is the upper pane of the main splitter (both 0xE900).
  static HWND ListPane() {
    HWND splitter = ::GetDlgItem(frame_->GetSafeHwnd(), 0xE900);
    HWND pane = ::GetDlgItem(splitter, 0xE900);
    return pane ? pane : splitter;
  }
  CCalEvent* Add(const EventSpec& s) {
    auto* e = new CCalEvent();
    e->name = s.name;
    e->type = s.type;
    e->notes = s.notes;
    CDateTime d = CDateTime::Today();
    d.AddDays(s.days);
    d.SetTime(s.hour, 0, 0);
    e->oneTime = 1;
    e->start = d;
    if (s.startYear) e->start.SetDate(d.GetDay(), d.GetMonth(), s.startYear);
    e->end = d;
    e->nextOccurrence = d;
    e->hasNext = s.hasNext ? 1 : 0;
    e->alarmOn = s.alarm ? 1 : 0;
    e->calculateAge = s.age ? 1 : 0;
    e->daysPrior = 0;
    EXPECT_NE(doc_->Core().AddEvent(e), 0) << s.name;
    return e;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const COccurrenceRef& r : view_->Rows()) out.push_back(r.event->name);
    return out;
  }
  void Command(UINT id) { frame_->SendMsg(WM_COMMAND, id); }
  UINT MenuState(UINT id) { return shelltest::MenuState(*frame_, id); }
  HWND Part(int id) { return view_->Grid().GetPartWindow(id); }
  // The middle of a top heading (grid column) in the heading's client area.
  POINT HeadingPoint(int gridColumn, bool rightHalf = false) {
    CGridCore& g = view_->Grid();
    int x = 0;
    for (int c = 0; c < gridColumn; ++c) x += g.ColumnWidth(c);
    const int w = g.ColumnWidth(gridColumn);
    return POINT{x + (rightHalf ? w * 3 / 4 : w / 2), g.GetTopHeadingHeight() / 2};
  }
  void ClickHeading(int gridColumn) {
    const POINT p = HeadingPoint(gridColumn);
    ::SendMessageA(Part(CGridCore::kTopHeadingId), WM_LBUTTONDOWN, MK_LBUTTON, Pt(p.x, p.y));
    ::SendMessageA(Part(CGridCore::kTopHeadingId), WM_LBUTTONUP, 0, Pt(p.x, p.y));
  }
  POINT CellPoint(int gridColumn, int row) {
    RECT r{};
    view_->Grid().GetCellRect(gridColumn, row, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void ClickRow(int row, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
    const POINT p = CellPoint(1, row);
    ::SendMessageA(Part(CGridCore::kCellAreaId), down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON,
                   Pt(p.x, p.y));
    ::SendMessageA(Part(CGridCore::kCellAreaId), up, 0, Pt(p.x, p.y));
  }
  // Shows the main window, writes its picture as `shot` and counts the
  // pixels of a cell (grid column, row) that `match`.
  int CountInCell(const char* shot, int gridColumn, int row, bool (*match)(COLORREF)) {
    ::ShowWindow(frame_->GetSafeHwnd(), SW_SHOW);
    const wintest::Shot picture = wintest::TakeShot(frame_->GetSafeHwnd(), shot);
    RECT cell{}, frameRect{};
    view_->Grid().GetCellRect(gridColumn, row, &cell);
    ::MapWindowPoints(Part(CGridCore::kCellAreaId), nullptr, reinterpret_cast<POINT*>(&cell), 2);
    ::GetWindowRect(frame_->GetSafeHwnd(), &frameRect);
    int n = 0;
    for (int y = cell.top; y < cell.bottom; ++y)
      for (int x = cell.left; x < cell.right; ++x) n += match(picture.At(x - frameRect.left, y - frameRect.top));
    return n;
  }
  int Count(LPARAM hint) const {
    int n = 0;
    for (LPARAM h : recorder_.hints) n += h == hint;
    return n;
  }

  static CAlmacoraApp* app_;
  static platform::ProfileStore* store_;
  static CMainFrame* frame_;
  CShellDocument* doc_ = nullptr;
  CGridView* view_ = nullptr;
  RecordingView recorder_;
  CShellPrompts prompts_;
  IEventPrompts* oldPrompts_ = nullptr;
  std::string folder_, calendarPath_;
};

CAlmacoraApp* EventListTest::app_ = nullptr;
platform::ProfileStore* EventListTest::store_ = nullptr;
CMainFrame* EventListTest::frame_ = nullptr;

}  // namespace

TEST_F(EventListTest, OrdersFromTheSortMenu) {
  // "Twin" twice: equal under every key, so the later one stands first.
  CCalEvent* twin1 = Add({"Twin", "Work", 2});
  Add({"Cake", "Birthday", 5, 9, true, false, true, 1990});
  Add({"Never", "Alarm", 1, 9, false});
  Add({"Audit", "Work", 1, 8});
  CCalEvent* twin2 = Add({"Twin", "Work", 2});
  EXPECT_EQ(view_->GetSortMode(), 3);
  struct Case {
    UINT command;
    int mode;
    const char* label;  // the View > Sort item says what the order is
    std::vector<std::string> names;
  } cases[] = {
      {32785, 4, "Type / Name", {"Never", "Cake", "Audit", "Twin", "Twin"}},
      {32786, 5, "Type / Date / Time", {"Never", "Cake", "Audit", "Twin", "Twin"}},
      {32787, 6, "Type / Age", {"Never", "Cake", "Twin", "Audit", "Twin"}},  // 20000 for all of "Work"
      {32838, 7, "Name / Date / Time", {"Audit", "Cake", "Never", "Twin", "Twin"}},
      {32788, 3, "Date / Time", {"Audit", "Twin", "Twin", "Cake", "Never"}},  // no next occurrence last
  };
  HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
  for (const Case& c : cases) {
    char label[64] = "";
    ::GetMenuStringA(menu, c.command, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(label, c.label);
    Command(c.command);
    EXPECT_EQ(Names(), c.names) << c.command;
    EXPECT_EQ(view_->GetSortMode(), c.mode);
    EXPECT_NE(MenuState(c.command) & MF_CHECKED, 0u) << c.command;
  }
  ::DestroyMenu(menu);
  EXPECT_EQ(view_->Rows()[1].event, twin2);
  EXPECT_EQ(view_->Rows()[2].event, twin1);
  // Ages: an event counting one sorts by it, before the 20000 of the rest.
  Add({"Older", "Birthday", 6, 9, true, false, true, 1950});
  Command(32787);
  EXPECT_EQ(Names()[1], "Cake");
  EXPECT_EQ(Names()[2], "Older");
}

TEST_F(EventListTest, AcknowledgedOneTimeEventsFollowTheSetting) {
  Add({"Past", "Work", -3});  // alarm off: acknowledged by the roll-forward
  Add({"Next", "Work", 3});
  for (int show : {0, 1}) {
    g_Settings.ShowAcknowledgedList = static_cast<int16_t>(show);
    doc_->UpdateAllViews(nullptr, 3);
    EXPECT_EQ(view_->Rows().size(), show ? 2u : 1u) << show;
  }
}

TEST_F(EventListTest, HeadingClicksSortByThatColumnOnly) {
  Add({"b", "Work", 1});
  Add({"a", "Work", 2});
  for (int gridColumn : {0, 8}) {
    ClickHeading(gridColumn);
    EXPECT_EQ(view_->GetSortMode(), 3) << gridColumn;
  }
  ClickHeading(1);
  EXPECT_EQ(view_->GetSortMode(), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
  for (int g = 0; g < 9; ++g) {
    CGridCell heading;
    view_->Grid().GetCell(g, -1, &heading);
    EXPECT_EQ(heading.GetTextColor(), g == 1 ? COLORREF(0xFF2020) : COLORREF(0)) << g;
  }
}

TEST_F(EventListTest, HintsSentAndTaken) {
  CCalEvent* never = Add({"Never", "Work", 1, 9, false});
  CCalEvent* soon = Add({"Soon", "Work", 1});
  Add({"Later", "Work", 4});
  recorder_.hints.clear();
  doc_->UpdateAllViews(nullptr, 3);
  // The list is told first; it answers before the next view hears of 3.
  EXPECT_EQ(recorder_.hints, (std::vector<LPARAM>{17, 2, 3}));
  Command(32838);  // by name: "Later", "Never", "Soon"
  ClickRow(1);
  EXPECT_EQ(recorder_.hints.back(), 5);  // "Never" has no next occurrence
  recorder_.hints.clear();
  doc_->UpdateAllViews(nullptr, 3);
  EXPECT_EQ(recorder_.hints, (std::vector<LPARAM>{17, 5, 3}));
  ClickRow(2);
  EXPECT_EQ(recorder_.hints.back(), 15);
  EXPECT_EQ(view_->GetSelectedRow(), 2);
  // A key that moves the row marks it too; a move of the program's own does not.
  ::SendMessageA(Part(CGridCore::kCellAreaId), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(recorder_.hints.back(), 5);  // row 1, "Never": nothing to mark
  ::SendMessageA(Part(CGridCore::kCellAreaId), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(recorder_.hints.back(), 15);
  view_->Grid().MoveToRow(2);
  EXPECT_EQ(recorder_.hints.back(), 2);

  // Delete "Later" (row 0), then drop "Soon" by its serial number: the
  // rows were renumbered, the right one goes.
  view_->Grid().MoveToRow(0);
  recorder_.hints.clear();
  {
    BoxAnswerer yes("Almacora", IDYES);  // "Delete Current Event?"
    Command(32779);
    EXPECT_TRUE(yes.Wait());
    EXPECT_EQ(yes.Text(), "Delete Current Event?\n\n\"Later\"");
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"Never", "Soon"}));
  EXPECT_EQ(recorder_.hints, (std::vector<LPARAM>{17, 5}));  // now "Never" is selected
  const int serial = soon->serial;
  doc_->UpdateAllViews(nullptr, 14, reinterpret_cast<void*>(static_cast<INT_PTR>(serial)));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Never"}));

  // Hint 10 for an event no row shows.
  CCalEvent stranger;
  stranger.serial = -77;
  COccurrenceRef unlisted(&stranger, stranger.nextOccurrence);
  BoxAnswerer ok("Delete Event", IDOK);
  doc_->UpdateAllViews(nullptr, 10, &unlisted);
  EXPECT_TRUE(ok.Wait());
  EXPECT_EQ(ok.Text(), "Event Already Deleted");
  EXPECT_EQ(view_->Rows()[0].event, never);
}

// A click, then a key (Ctrl held or not): one row is painted selected, to
// the pane's right edge, and Delete names its event.
TEST_F(EventListTest, OneRowSelectedAfterAClickAndAKey) {
  for (int day : {1, 2, 3, 4}) Add({std::string(1, static_cast<char>('@' + day)).c_str(), "Work", day});
  const struct {
    int clicked;
    UINT key;
    bool ctrl;
    int selected;
  } cases[] = {{2, VK_HOME, true, 0}, {0, VK_END, true, 3}, {3, VK_UP, true, 2}, {1, VK_DOWN, false, 2}};
  for (const auto& c : cases) {
    ClickRow(c.clicked);
    BYTE keys[256] = {}, held[256] = {};
    ::GetKeyboardState(keys);
    std::memcpy(held, keys, sizeof held);
    held[VK_CONTROL] = c.ctrl ? 0x80 : 0;
    ::SetKeyboardState(held);
    ::SendMessageA(Part(CGridCore::kCellAreaId), WM_KEYDOWN, c.key, 0);
    ::SetKeyboardState(keys);
    std::vector<int> painted;  // rows whose last cell shows the highlight
    for (int row = 0; row < 4; ++row)
      if (CountInCell("event-list-one-selected", 8, row, [](COLORREF p) { return p == ::GetSysColor(COLOR_HIGHLIGHT); }))
        painted.push_back(row);
    EXPECT_EQ(painted, (std::vector<int>{c.selected})) << c.clicked;
    RECT last{};
    view_->Grid().GetCellRect(8, 0, &last);
    EXPECT_EQ(last.right, view_->Grid().Sheet().cellAreaWidth);  // the columns fill the pane
    BoxAnswerer no("Almacora", IDNO);
    Command(32779);
    EXPECT_TRUE(no.Wait());
    EXPECT_EQ(no.Text(), "Delete Current Event?\n\n\"" + Names()[static_cast<size_t>(c.selected)] + "\"");
  }
}

namespace {
std::vector<UINT> g_menuIds;
bool g_modifyGrey = false;
// From a second thread: reads the open pop-up menu and closes it.
void ReadMenuThenEscape(HWND owner) {
  for (int i = 0; i < 200; ++i) {
    HWND popup = ::FindWindowA("#32768", nullptr);
    HMENU menu = popup ? reinterpret_cast<HMENU>(::SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0)) : nullptr;
    if (menu && ::GetMenuItemCount(menu) > 0) {
      for (int k = 0; k < ::GetMenuItemCount(menu); ++k)
        g_menuIds.push_back(::GetMenuItemID(menu, k) == UINT(-1) ? 0 : ::GetMenuItemID(menu, k));
      g_modifyGrey = (::GetMenuState(menu, 40002, MF_BYCOMMAND) & MF_GRAYED) != 0;
      ::PostMessageA(owner, WM_KEYDOWN, VK_ESCAPE, 0);
      return;
    }
    ::Sleep(25);
  }
}
}  // namespace

TEST_F(EventListTest, RowMenusAndCommandsThroughTheOperations) {
  Add({"Open", "Work", 2, 9, true, false, false, 0, "some notes"});
  Add({"Done", "Work", -2});
  g_Settings.ShowAcknowledgedList = 1;
  doc_->UpdateAllViews(nullptr, 3);
  ASSERT_EQ(Names(), (std::vector<std::string>{"Done", "Open"}));
  struct Case {
    int row;
    std::vector<UINT> ids;
  } cases[] = {
      {1, {40004, 40005, 40010, 0, 40009, 40002, 40003, 40011, 0, 40007}},
      {0, {40005, 40010, 0, 40009, 40002, 40003, 40011, 0, 40007}},  // past, alarm off: no 40008
  };
  for (const Case& c : cases) {
    g_menuIds.clear();
    std::thread reader(ReadMenuThenEscape, Part(CGridCore::kCellAreaId));
    ClickRow(c.row, WM_RBUTTONDOWN, WM_RBUTTONUP);
    reader.join();
    EXPECT_EQ(g_menuIds, c.ids) << c.row;
    EXPECT_TRUE(g_modifyGrey);  // no operations yet
  }
  // Without the frame's operations the commands that need them are grey.
  EXPECT_NE(MenuState(32778) & MF_GRAYED, 0u);
  FakeOperations ops;
  SetEventOperations(&ops);
  EXPECT_EQ(MenuState(32778) & MF_GRAYED, 0u);
  view_->Grid().MoveToRow(1);
  for (UINT id : {32885u, 32910u, 353u, 32814u}) Command(id);
  const POINT p = CellPoint(1, 0);
  ::SendMessageA(Part(CGridCore::kCellAreaId), WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(p.x, p.y));
  EXPECT_EQ(ops.calls, (std::vector<std::string>{"copy Open", "print Open", "export Open", "confirm one-time",
                                                  "modify Done"}));
}

TEST_F(EventListTest, FindGoesRoundTheList) {
  Command(32853);
  HWND find = view_->GetFindDialog();
  ASSERT_NE(find, nullptr);
  ::SetDlgItemTextA(find, 1152, "alpha");
  {
    BoxAnswerer none("Search Message", IDOK);
    ::SendMessageA(find, WM_COMMAND, IDOK, 0);  // an empty list ignores it
    EXPECT_FALSE(none.Wait(300));
  }
  Add({"Alpha", "Work", 1});
  Add({"Beta", "Work", 2});
  Add({"Gamma", "Work", 3, 9, true, false, false, 0, "see alpha"});
  view_->Grid().MoveToRow(0);
  struct Step {
    const char* text;
    int row;              // selected afterwards
    const char* message;  // or null
  } steps[] = {
      {"zzz", 0, "Search string not found"},
      {"alpha", 2, nullptr},
      {"alpha", 0, nullptr},
      {"alpha", 0, "End of list reached"},
      {"alpha", 2, nullptr},  // a new pass from the row after the selected one
  };
  for (const Step& s : steps) {
    ::SetDlgItemTextA(find, 1152, s.text);
    BoxAnswerer box("Search Message", IDOK);
    ::SendMessageA(find, WM_COMMAND, IDOK, 0);
    if (s.message) {
      EXPECT_TRUE(box.Wait()) << s.text;
      EXPECT_EQ(box.Text(), s.message);
    }
    EXPECT_EQ(view_->GetSelectedRow(), s.row) << s.text;
  }
  EXPECT_EQ(recorder_.hints.back(), 15);
  ::SendMessageA(find, WM_COMMAND, IDCANCEL, 0);
  wintest::PumpFor(50);
  EXPECT_EQ(view_->GetFindDialog(), nullptr);
}

namespace {
std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

TEST_F(EventListTest, ListTextFile) {
  const std::string longName(45, 'N');
  CCalEvent* e = Add({longName.c_str(), "Birthday", 3, 9, true, false, true, 1980});
  g_Settings.ExportFilename = folder_ + "almacora_list.txt";
  EventTextFields f;
  view_->Rows()[0].GetTextFields(f);
  struct Case {
    int format, delimiter, showAge;
    std::string text;
  } cases[] = {
      {0, 0, 1,
       "Name" + std::string(36, ' ') + "Type" + std::string(36, ' ') + "Date      Time      Day     Age\n" + longName +
           "Birthday" + std::string(32, ' ') + f.startDate + std::string(10 - f.startDate.size(), ' ') + f.startTime +
           std::string(10 - f.startTime.size(), ' ') + f.dayName + std::string(8 - f.dayName.size(), ' ') + f.age +
           std::string(8 - f.age.size(), ' ') + "\n"},
      {1, 9, 0,
       "Name\tType\tDate\tTime\tDay\tOrigYear\n" + longName + "\tBirthday\t" + f.startDate + "\t" + f.startTime + "\t" +
           f.dayName + "\t1980\n"},
      {1, 0, 1, "Name,Type,Date,Time,Day,Age\n" + longName + ",Birthday," + f.startDate + "," + f.startTime + "," +
                    f.dayName + "," + f.age + "\n"},
  };
  for (const Case& c : cases) {
    g_Settings.ExportFileFormat = static_cast<int16_t>(c.format);
    g_Settings.ExportDelimiter = static_cast<int16_t>(c.delimiter);
    g_Settings.ExportShowAge = static_cast<int16_t>(c.showAge);
    doc_->UpdateAllViews(nullptr, 16);
    EXPECT_EQ(ReadText(g_Settings.ExportFilename), c.text) << c.format << " " << c.delimiter;
  }
  EXPECT_EQ(e->start.GetYear(), 1980);
  ::DeleteFileA(g_Settings.ExportFilename.c_str());
}

TEST_F(EventListTest, MovedColumnsAreStoredAndAPictureIsDrawn) {
  Add({"Ring", "Alarm", 1, 9, true, true});
  // Column 1 dragged onto the right half of column 3: it lands at 3.
  HWND heading = Part(CGridCore::kTopHeadingId);
  const POINT from = HeadingPoint(1), to = HeadingPoint(3, true);
  ::SendMessageA(heading, WM_LBUTTONDOWN, MK_LBUTTON, Pt(from.x, from.y));
  ::SendMessageA(heading, WM_MOUSEMOVE, MK_LBUTTON, Pt(to.x, to.y));
  ::SendMessageA(heading, WM_LBUTTONUP, 0, Pt(to.x, to.y));
  CGridCore& grid = view_->Grid();
  const std::vector<int> order = {0, 2, 3, 1, 4, 5, 6, 7, 8};
  std::vector<int> shown, widths;
  for (int g = 0; g < 9; ++g) {
    shown.push_back(grid.GetColumnMapping(g));
    widths.push_back(grid.ColumnWidth(g));
  }
  EXPECT_EQ(shown, order);
  EXPECT_EQ(view_->GetSortMode(), 3);  // a drag is no heading click

  // The picture: the alarm mark's yellow in row 0's first cell.
  const int yellow = CountInCell("event-list", 0, 0, [](COLORREF c) { return c == RGB(255, 224, 0); });
  EXPECT_GT(yellow, 3);

  doc_->UpdateAllViews(nullptr, 6);
  // Stored without the room the pane gives the name (now grid position 3).
  std::vector<int> stored = widths;
  stored[3] = g_Settings.width_date;
  EXPECT_LE(stored[3], widths[3]);
  struct Case {
    int storedColumn3;
    std::vector<int> order;
  } cases[] = {{-1, order}, {42, {0, 1, 2, 3, 4, 5, 6, 7, 8}}};
  for (const Case& c : cases) {
    if (c.storedColumn3 >= 0) store_->WriteInt("Settings", "Column03", c.storedColumn3);
    g_Settings.LoadSettings();
    auto* fresh = new CGridView();
    ASSERT_TRUE(fresh->CreateView(frame_->GetSafeHwnd(), 0xE9F0, doc_));
    std::vector<int> freshOrder, freshWidths;
    for (int g = 0; g < 9; ++g) {
      freshOrder.push_back(fresh->Grid().GetColumnMapping(g));
      freshWidths.push_back(fresh->Grid().ColumnWidth(g));
    }
    EXPECT_EQ(freshOrder, c.order);
    EXPECT_EQ(freshWidths, stored);
    fresh->DestroyWindow();
  }
  grid.MoveColumn(3, 1, 1);
  store_->Clear();
}

TEST_F(EventListTest, ALargeListFontWidensTheColumnsToTheirTexts) {
  Add({"Midsummer", "Holiday - Canada and Overseas", 40, 9, true, true, true, 1990});
  Add({"Dentist", "Appointment", 3, 14});
  CGridCore& grid = view_->Grid();
  doc_->UpdateAllViews(nullptr, 13);  // the widths the small fonts need
  std::vector<int> before;
  for (int g = 0; g < 9; ++g) before.push_back(grid.ColumnWidth(g));
  const LogFont oldHeading = g_Settings.ListHeadingLogFont, oldItem = g_Settings.ListItemLogFont;
  struct Case {
    const char* heading;
    const char* item;
  } cases[] = {{"Arial,200,700,0", "Arial,240,400,0"}, {"Times New Roman,160,700,1", "Courier New,280,700,0"}};
  const char* const headings[9] = {"", "Name", "Day", "Date", "Days Left", "Time", "Age", "Type", ""};
  for (const Case& c : cases) {
    ASSERT_TRUE(CProgramSettings::ParseFont(c.heading, &g_Settings.ListHeadingLogFont));
    ASSERT_TRUE(CProgramSettings::ParseFont(c.item, &g_Settings.ListItemLogFont));
    doc_->UpdateAllViews(nullptr, 13);
    // The same fonts, measured here.
    framework::CFont heading, item;
    LOGFONTA lf{};
    std::memcpy(&lf, &g_Settings.ListHeadingLogFont, sizeof lf);
    ASSERT_TRUE(heading.CreatePointFontIndirect(lf));
    std::memcpy(&lf, &g_Settings.ListItemLogFont, sizeof lf);
    ASSERT_TRUE(item.CreatePointFontIndirect(lf));
    HDC dc = ::GetDC(nullptr);
    auto width = [dc](HFONT font, const std::string& text) {
      HGDIOBJ old = ::SelectObject(dc, font);
      SIZE size{};
      ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
      ::SelectObject(dc, old);
      return static_cast<int>(size.cx);
    };
    for (int g = 0; g < 9; ++g) {
      const int column = grid.GetColumnMapping(g);
      EXPECT_GE(grid.ColumnWidth(g), width(heading.Get(), headings[column])) << c.item << " heading " << column;
      for (const COccurrenceRef& row : view_->Rows()) {
        EventTextFields f;
        row.GetTextFields(f);
        const std::string* text = eventlist::ColumnText(f, column);
        if (text) {
          EXPECT_GE(grid.ColumnWidth(g), width(item.Get(), *text)) << c.item << " '" << *text << "'";
        }
      }
    }
    ::ReleaseDC(nullptr, dc);
  }
  // The date in the picture: the unselected row's date cell holds text.
  shelltest::PumpFor(200);
  const int dark =
      CountInCell("event-list-large-font", 3, 1, [](COLORREF c) { return GetRValue(c) < 0x60; });
  EXPECT_GT(dark, 40);

  // Back to the small fonts: every column has its own width again.
  g_Settings.ListHeadingLogFont = oldHeading;
  g_Settings.ListItemLogFont = oldItem;
  doc_->UpdateAllViews(nullptr, 13);
  std::vector<int> after;
  for (int g = 0; g < 9; ++g) after.push_back(grid.ColumnWidth(g));
  EXPECT_EQ(after, before);
  for (int g = 0; g < 9; ++g) grid.SetColumnWidth(g, before[static_cast<size_t>(g)]);
}
