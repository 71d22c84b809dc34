// The calendar manager over a document with "Work" (the default), "Home"
// and a closed "Old": its rows, the Open tick, and the buttons that must
// leave things alone.
#include <windows.h>
// The calendar file's CreateFile, not the system's macro.
#undef CreateFile

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "grid/cell/grid_cell.h"
#include "model/events/cal_event.h"
#include "model/services/reminder_window.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/event_array.h"
#include "storage/ui/calendars_dialog.h"
#include "storage/ui/wininet_transport.h"
#include "tests/storage/storage_fixture.h"
#include "tests/support/win/grid_shot.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Drive;
using wintest::ItemText;
using wintest::PopupOf;

namespace {

class CountingPrompts : public storagetest::FakePrompts {
 public:
  int windows = 0;
  IProgressWindow* OpenProgressWindow(const std::string&) override {
    ++windows;
    return nullptr;
  }
};

class FakeReminders : public IReminderWindow {
 public:
  std::vector<CCalEvent*> removed;
  void RemoveAlarm(CCalEvent* event, int, const CDateTime*) override {
    removed.push_back(event);
    event->listed = 0;
  }
};

class CalendarsDialog : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    storagetest::StorageTest::SetUp();
    StorageServices s = Services();
    s.prompts = &counting_;
    s.transport = &transport_;
    scoped_ = std::make_unique<ScopedStorageServices>(s);
    storagetest::StartOn(&doc_, {NewCalendarFile("work.akv"), NewCalendarFile("home.akv"), NewCalendarFile("old.akv")});
    const char* names[] = {"Work", "Home", "Old"};
    for (size_t i = 0; i < 3; ++i) At(i)->name = names[i];
    At(1)->subscribed = 1;
    At(2)->subscribed = 1;
    At(2)->published = 1;
    At(2)->Close(&doc_.events());
    At(2)->openState = CCalendarFile::kClosed;
    manager_ = std::make_unique<CCalendarsDialog>(doc_);
    ASSERT_TRUE(manager_->CreateHidden(nullptr));
    ::ShowWindow(Hwnd(), SW_SHOW);
  }
  void TearDown() override {
    manager_.reset();
    scoped_.reset();
    storagetest::StorageTest::TearDown();
  }
  CCalendarFile* At(size_t i) { return doc_.calendars().items()[i]; }
  HWND Hwnd() { return manager_->GetSafeHwnd(); }
  std::string Cell(int col, int row) {
    CGridCell cell;
    manager_->grid().GetCell(col, row, &cell);
    std::string text;
    cell.GetText(&text);
    return text;
  }
  bool Ticked(int row) {
    CGridCell cell;
    manager_->grid().GetCell(0, row, &cell);
    return cell.GetNumber() != 0;
  }
  void SetTick(int row, bool on) {
    CGridCell cell;
    manager_->grid().GetCell(0, row, &cell);
    cell.SetNumber(on ? 1 : 0);
    manager_->grid().SetCell(0, row, cell);
    ::SendMessageA(Hwnd(), shellcontrols::WM_GRIDCHECKCHANGED, static_cast<WPARAM>(-1), row);
  }
  void Press(int row, int button) {
    manager_->grid().MoveToCell(0, row);
    ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(Hwnd(), button)));
  }
  // Presses the button and reads (and closes) the box it shows.
  std::string PressForBox(int row, int button) {
    std::string text;
    Drive({[&] {
      HWND box = PopupOf(Hwnd());
      if (!box) return false;
      text = ItemText(box, 0xFFFF);
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
      return true;
    }});
    Press(row, button);
    MSG msg;
    while (!wintest::Driven() && ::GetMessageA(&msg, nullptr, 0, 0)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    return text;
  }

  // GETs of the HTTP peer's counted calendar so far.
  int PeerHits() {
    int hits = 0;
    std::ifstream(oldDir_ / "http_peer.hits") >> hits;
    return hits;
  }

  CountingPrompts counting_;
  CWinInetTransport transport_;
  std::unique_ptr<ScopedStorageServices> scoped_;
  CAlmacoraDoc doc_;
  std::unique_ptr<CCalendarsDialog> manager_;
};

TEST_F(CalendarsDialog, RowsShowEveryCalendar) {
  const char* headings[] = {"Open", "Calendar Name", "Status"};
  const int widths[] = {40, 160, 60};
  for (int col = 0; col < 3; ++col) {
    EXPECT_EQ(Cell(col, -1), headings[col]);
    int width = 0;
    manager_->grid().GetColumnWidth(col, &width);
    EXPECT_EQ(width, widths[col]);
  }
  ASSERT_EQ(manager_->grid().GetRowCount(), 3);
  const struct {
    const char* name;
    const char* status;
    bool ticked, bold;
  } rows[] = {{"Work (default)", "Local", true, true}, {"Home", "Subscribed", true, false},
              {"Old", "Published", false, false}};
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(Cell(1, row), rows[row].name);
    EXPECT_EQ(Cell(2, row), rows[row].status);
    EXPECT_EQ(Ticked(row), rows[row].ticked);
    CGridCell cell;
    manager_->grid().GetCell(1, row, &cell);
    LOGFONTA font{};
    ::GetObjectA(cell.GetFont(), sizeof font, &font);
    EXPECT_EQ(font.lfWeight, rows[row].bold ? FW_BOLD : FW_NORMAL);
  }
  // The default keeps its mark closed; a preview says so.
  At(0)->Close(&doc_.events());
  At(0)->openState = CCalendarFile::kClosed;
  At(1)->subscribed = 0;
  At(1)->previewFlag = 1;
  manager_->FillCalendarGrid();
  EXPECT_EQ(Cell(1, 0), "Work (default)");
  EXPECT_FALSE(Ticked(0));
  EXPECT_EQ(Cell(2, 1), "Preview");
  const wintest::Shot shot = wintest::TakeShot(Hwnd(), "calendars");
  // The current row is drawn in the highlight colour somewhere in the grid.
  RECT grid, win;
  ::GetWindowRect(manager_->grid().GetSafeHwnd(), &grid);
  ::GetWindowRect(Hwnd(), &win);
  bool highlighted = false;
  for (int y = grid.top - win.top; y < grid.bottom - win.top && !highlighted; y += 2)
    for (int x = grid.left - win.left; x < grid.right - win.left && !highlighted; x += 4)
      highlighted = shot.At(x, y) == ::GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_TRUE(highlighted);
  // Check boxes of the system's size at the left of their cells.
  for (int row : {0, 1}) {
    const RECT box = wintest::CellInk(shot, Hwnd(), manager_->grid(), 0, row);
    EXPECT_GE(box.right - box.left, 13) << row;
    EXPECT_GE(box.bottom - box.top, 13) << row;
  }
}

TEST_F(CalendarsDialog, UntickingClosesTickingReopens) {
  CCalEvent* event = NewEvent("Dentist");
  ASSERT_TRUE(At(1)->AddEvent(event, 0, &doc_.events()));
  FakeReminders reminders;
  event->listed = 1;
  event->reminderWindow = &reminders;
  const size_t before = doc_.events().items().size();
  SetTick(1, false);
  EXPECT_EQ(At(1)->openState, CCalendarFile::kClosed);
  EXPECT_EQ(doc_.events().items().size(), before - 1);
  EXPECT_EQ(reminders.removed, std::vector<CCalEvent*>{event});
  EXPECT_FALSE(Ticked(1));
  SetTick(1, true);
  EXPECT_EQ(At(1)->openState, CCalendarFile::kOpen);
  EXPECT_EQ(doc_.events().items().size(), before);
  EXPECT_TRUE(Ticked(1));
}

TEST_F(CalendarsDialog, ButtonsThatChangeNothing) {
  EXPECT_EQ(PressForBox(0, IDC_CALENDARS_REFRESH),
            "This calendar was not created from a subscription.  Only subscription calendar can be refreshed");
  At(1)->previewFlag = 1;
  EXPECT_EQ(PressForBox(1, IDC_CALENDARS_REFRESH),
            "This calendar is currently being previewed.  Please subscribe to calendar before refreshing");
  At(1)->previewFlag = 0;
  // Only the closed "Old" and the open "Home" are subscriptions; Home is
  // refreshed, Old is not.
  At(1)->Close(&doc_.events());
  At(1)->openState = CCalendarFile::kClosed;
  Press(0, IDC_CALENDARS_REFRESH_ALL);
  EXPECT_EQ(counting_.windows, 0);
  // A calendar in memory never becomes the default.
  At(1)->fileType = CCalendarFile::kMemoryOnly;
  Press(1, IDC_CALENDARS_SET_DEFAULT);
  EXPECT_EQ(doc_.calendars().defaultId, At(0)->listId);
  At(1)->fileType = CCalendarFile::kOrdinaryFile;
  // Remove takes the calendar out of the list, its file stays.
  const std::string oldPath = At(2)->path;
  Press(2, IDC_CALENDARS_REMOVE);
  EXPECT_EQ(doc_.calendars().size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(oldPath));
  EXPECT_EQ(manager_->grid().GetRowCount(), 2);
  // OK hides it; it stays for later.
  ::SendMessageA(Hwnd(), WM_COMMAND, IDOK, 0);
  EXPECT_FALSE(::IsWindowVisible(Hwnd()));
  EXPECT_TRUE(::IsWindow(Hwnd()));
}

TEST_F(CalendarsDialog, RefreshAllFetchesOpenSubscriptionsOnly) {
  int port = 0;
  std::ifstream(oldDir_ / "http_peer.ports") >> port;
  ASSERT_GT(port, 0);
  for (size_t i : {1u, 2u}) At(i)->address = "http://127.0.0.1:" + std::to_string(port) + "/counted.ics";
  // The open "Home" is fetched once, the closed "Old" not at all.
  int before = PeerHits();
  Press(0, IDC_CALENDARS_REFRESH_ALL);
  EXPECT_EQ(PeerHits(), before + 1);
  EXPECT_EQ(counting_.windows, 1);
  EXPECT_EQ(counting_.texts, std::vector<std::string>{});  // a failed fetch says why here
  EXPECT_NE(doc_.events().FindInCalendar(At(1), "peer-1"), nullptr);
  // With Home closed too nothing goes out.
  At(1)->Close(&doc_.events());
  At(1)->openState = CCalendarFile::kClosed;
  before = PeerHits();
  Press(0, IDC_CALENDARS_REFRESH_ALL);
  EXPECT_EQ(PeerHits(), before);
  EXPECT_EQ(counting_.windows, 1);
}

}  // namespace
