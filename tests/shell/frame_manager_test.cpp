// The calendar manager and the windows it opens, over the real frame: they
// stay above the main window (a click on it, the event editor's Cancel),
// follow a delete made in the main window, and a refresh from the manager
// waits on a server without holding the main window, in a progress window
// above the manager that Escape cancels. A refused FTP login is said.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include "framework/thread.h"
#include "model/events/cal_event.h"
#include "model/services/model_services.h"
#include "dialogs/small/cal_edit_dlg.h"
#include "res/resource.h"
#include "shell/app/shell_services.h"
#include "storage/calendar_list.h"
#include "storage/services/storage_services.h"
#include "storage/sharing/transfers.h"
#include "storage/ui/calendars_dialog.h"
#include "tests/shell/frame_files_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;

namespace {

// Whether `upper` comes before `lower` in the screen's Z-order.
bool Above(HWND upper, HWND lower) {
  for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (h == upper) return true;
    if (h == lower) return false;
  }
  return false;
}

// A real click of the left button at a screen point.
void ClickAt(POINT at) {
  ::SetCursorPos(at.x, at.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, input, sizeof input[0]);
}

void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, input, sizeof input[0]);
}

// Whether the shot holds pixels of the colour (what the window drew).
bool Holds(const wintest::Shot& shot, COLORREF colour) {
  for (COLORREF c : shot.pixels)
    if (c == colour) return true;
  return false;
}

class FrameManager : public shelltest::FrameOverFiles {
 protected:
  void SetUp() override {
    SetUpFiles("manager", "shell_manager", 3, 0, [](CCalEvent& e, int i) {
      e.alarmOn = 0;
      e.start.SetDate(10 + i, 6, 2026);
    });
    previousPrompts_ = GetStorageServices().prompts;
    GetStorageServices().prompts = &prompts_;
    frame_ = shelltest::StartShownMainWindow(ownApp_);
    ASSERT_NE(frame_, nullptr);
    doc_ = frame_->GetShellDocument();
    wintest::PumpFor(300);
  }
  void TearDown() override {
    GetStorageServices().prompts = previousPrompts_;
    shelltest::CloseMainWindow(frame_);
    ownApp_.reset();
    TearDownFiles();
  }
  CAlmacoraDoc& Core() { return doc_->Core(); }
  HWND Main() { return frame_->GetSafeHwnd(); }
  // The manager, shown from the menu.
  HWND OpenManager() {
    frame_->SendMsg(WM_COMMAND, ID_CALENDAR_MANAGER);
    wintest::PumpFor(300);
    return FindDialog("Calendars");
  }
  // Presses a manager button on the row of the calendar (posted: the
  // steps answer what it opens).
  void PressOnRow(const std::string& calendar, int button) {
    CCalendarsDialog* manager = frame_->GetCalendarsDialog();
    for (int row = 0; row < manager->grid().GetRowCount(); ++row) {
      const CCalendarFile* c = Core().calendars().FindById(manager->RowCalendarId(row));
      if (c && c->name == calendar) manager->grid().MoveToCell(0, row);
    }
    HWND h = manager->GetSafeHwnd();
    ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(h, button)));
  }
  // A point of the main window's client area beside the window.
  POINT Uncovered(HWND window) {
    RECT w, f;
    ::GetWindowRect(window, &w);
    ::GetWindowRect(Main(), &f);
    return POINT{w.left > f.left + 60 ? f.left + 30 : f.right - 30, f.bottom - 60};
  }
  // Pumps until the steps ran (or the time is over).
  bool PumpUntilDriven(DWORD ms) {
    for (DWORD waited = 0; waited < ms && !wintest::Driven(); waited += 50) wintest::PumpFor(50);
    return wintest::Driven();
  }
  // Makes "b.akv" a subscription of the address, with that login.
  CCalendarFile* Subscription(const std::string& address, const std::string& user, const std::string& password) {
    CCalendarFile* b = Core().calendars().FindByPath(b_);
    if (!b) return nullptr;
    b->name = "Feed";
    b->subscribed = 1;
    b->address = address;
    b->userName = user;
    b->password = password;
    b->rememberPassword = 1;
    return b;
  }
  // "b.akv" made a subscription of the peer's path with that login (the
  // port read from `portFile`), then the manager shown; null when either
  // failed.
  HWND ManagerWithFeed(const char* portFile, const std::string& scheme, const std::string& path,
                       const std::string& user, const std::string& password) {
    int port = 0;
    std::ifstream(std::string(ALMACORA_PEER_DIR "/") + portFile) >> port;
    EXPECT_GT(port, 0) << portFile;
    if (port <= 0 || !Subscription(scheme + "://127.0.0.1:" + std::to_string(port) + path, user, password))
      return nullptr;
    return OpenManager();
  }

  std::unique_ptr<CAlmacoraApp> ownApp_;
  CShellStoragePrompts prompts_;
  IStoragePrompts* previousPrompts_ = nullptr;
};

// One click on the main window leaves the manager above it: on a day of
// the calendar (where the day's pop-up comes) and on the status bar. What
// the manager opens (New) is its own.
TEST_F(FrameManager, AClickOnTheMainWindowLeavesTheManagerAbove) {
  HWND manager = OpenManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(::GetWindow(manager, GW_OWNER), Main());
  RECT m, f;
  ::GetWindowRect(manager, &m);
  ::GetWindowRect(Main(), &f);
  const POINT day = Uncovered(manager);
  const POINT status{day.x, f.bottom - 12};
  for (POINT at : {day, status}) {
    ASSERT_FALSE(::PtInRect(&m, at));
    ClickAt(at);
    wintest::PumpFor(1500);
    EXPECT_TRUE(::IsWindowVisible(manager)) << at.y;
    EXPECT_TRUE(Above(manager, Main())) << at.y;
  }
  EXPECT_EQ(::GetActiveWindow(), Main());  // the click went to it
  const wintest::Shot shot = wintest::TakeShot(manager, "manager_above_frame");
  EXPECT_TRUE(Holds(shot, ::GetSysColor(COLOR_BTNFACE)));
  // New from the manager: the dialog is the manager's, which is active
  // again after its Cancel.
  HWND newOwner = nullptr;
  Drive({[&] {
    HWND dlg = FindDialog("New Calendar");
    if (!dlg) return false;
    newOwner = ::GetWindow(dlg, GW_OWNER);
    ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    return true;
  }}, 10000);
  PressOnRow("a", IDC_CALENDARS_NEW);
  ASSERT_TRUE(PumpUntilDriven(12000));
  wintest::PumpFor(300);
  EXPECT_EQ(newOwner, manager);
  EXPECT_EQ(::GetActiveWindow(), manager);
  EXPECT_TRUE(Above(manager, Main()));
}

// Edit Event from the entries editor opened by the manager: the event
// editor is owned by the entries editor, and its Cancel gives the entries
// editor back in front of the main window, the manager above the main
// window too.
TEST_F(FrameManager, TheEventEditorsCancelKeepsTheEntriesInFront) {
  HWND manager = OpenManager();
  ASSERT_NE(manager, nullptr);
  HWND entries = nullptr, editorOwner = nullptr;
  bool entriesAbove = false, managerAbove = false, entriesActive = false;
  Drive({[&] {
           entries = FindDialog("Edit Calendar Entries");
           if (!entries || !::IsWindowEnabled(entries)) return false;
           Click(entries, IDC_CALEDIT_EDIT_EVENT);
           return true;
         },
         [&] {
           HWND editor = FindDialog("Event Edit");
           if (!editor) return false;
           editorOwner = ::GetWindow(editor, GW_OWNER);
           ::PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
           return true;
         },
         [&] {
           if (FindDialog("Event Edit") || !::IsWindowEnabled(entries)) return false;
           wintest::PumpFor(300);
           entriesAbove = Above(entries, Main());
           managerAbove = Above(manager, Main());
           entriesActive = ::GetActiveWindow() == entries;
           const wintest::Shot shot = wintest::TakeShot(entries, "entries_after_event_edit_cancel");
           EXPECT_TRUE(Holds(shot, ::GetSysColor(COLOR_BTNFACE)));
           ::PostMessageA(entries, WM_COMMAND, IDCANCEL, 0);
           return true;
         }},
        20000);
  PressOnRow("a", IDC_CALENDARS_LIST_EVENTS);
  ASSERT_TRUE(PumpUntilDriven(25000));
  EXPECT_EQ(editorOwner, entries);
  EXPECT_TRUE(entriesAbove);
  EXPECT_TRUE(managerAbove);
  EXPECT_TRUE(entriesActive);
}

// An event deleted from the main window while Edit Calendar Entries lists
// it leaves the list at once; Edit Event then works on what is there.
TEST_F(FrameManager, TheEntriesListFollowsADeleteInTheMainWindow) {
  HWND manager = OpenManager();
  ASSERT_NE(manager, nullptr);
  CCalEvent* gone = nullptr;
  for (CCalEvent* e : Core().events().items())
    if (e->name == "a.akv 1") gone = e;
  ASSERT_NE(gone, nullptr);
  auto shown = [this] {
    std::vector<std::string> names;
    if (dialogs::CCalEdit* entries = frame_->GetCalendarEntries())
      for (const caledit::Row& row : entries->model().rows()) names.push_back(row.name);
    return names;
  };
  // The main window's questions, as the program asks them.
  CShellPrompts questions;
  IEventPrompts* previous = GetModelServices().prompts;
  GetModelServices().prompts = &questions;
  std::vector<std::string> before, after;
  int gridRows = -1;
  Drive({[&] {
           HWND entries = FindDialog("Edit Calendar Entries");
           if (!entries || !::IsWindowEnabled(entries)) return false;
           before = shown();
           // The main window's Delete; its question is answered from
           // another thread, since the steps wait for this one.
           HANDLE answerer = framework::StartWorkerThread([] {
             for (int i = 0; i < 200; ++i, ::Sleep(50)) {
               HWND box = wintest::FindDialog("Almacora");
               if (box && wintest::ItemText(box, 0xFFFF) == "Delete Current Event?\n\n\"a.akv 1\"") {
                 ::PostMessageA(box, WM_COMMAND, IDYES, 0);
                 return;
               }
             }
           });
           EXPECT_TRUE(frame_->DeleteEvent(COccurrenceRef(gone, gone->nextOccurrence)));
           ::WaitForSingleObject(answerer, 5000);
           ::CloseHandle(answerer);
           return true;
         },
         [&] {
           HWND entries = FindDialog("Edit Calendar Entries");
           if (!entries) return false;
           wintest::PumpFor(200);
           after = shown();
           gridRows = frame_->GetCalendarEntries()->grid().GetRowCount();
           const wintest::Shot shot = wintest::TakeShot(entries, "entries_after_main_window_delete");
           EXPECT_TRUE(Holds(shot, RGB(255, 255, 255)));  // the grid's cells
           ::PostMessageA(entries, WM_COMMAND, IDCANCEL, 0);
           return true;
         }},
        20000);
  PressOnRow("a", IDC_CALENDARS_LIST_EVENTS);
  const bool driven = PumpUntilDriven(25000);
  GetModelServices().prompts = previous;
  ASSERT_TRUE(driven);
  EXPECT_EQ(before, (std::vector<std::string>{"a.akv 0", "a.akv 1", "a.akv 2"}));
  EXPECT_EQ(after, (std::vector<std::string>{"a.akv 0", "a.akv 2"}));
  EXPECT_EQ(gridRows, 2);
}

// Refresh from the manager against a server that never answers: the
// progress window is owned by the manager (disabled meanwhile) and stays
// above the main window after a click on it, the main window answers
// another thread meanwhile, and Escape in the progress window ends the wait
// long before its time-out, with no box and the manager usable again.
TEST_F(FrameManager, EscapeCancelsAManagerRefreshWhileTheMainWindowAnswers) {
  HWND manager = ManagerWithFeed("http_peer.ports", "http", "/silent/feed.ics", "", "");
  ASSERT_NE(manager, nullptr);
  std::atomic<int> answered{0};
  HWND progress = nullptr, owner = nullptr;
  bool aboveMain = false, managerDisabled = false;
  ULONGLONG escaped = 0;
  HANDLE asker = nullptr;
  Drive({[&] {
           progress = FindDialog("Refreshing Feed");
           if (!progress) return false;
           owner = ::GetWindow(progress, GW_OWNER);
           managerDisabled = !::IsWindowEnabled(manager);
           // The main window is asked while the transfer waits.
           asker = framework::StartWorkerThread([&answered, main = Main()] {
             DWORD_PTR result = 0;
             answered = ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) ? 1 : -1;
           });
           return true;
         },
         [&] {
           if (answered == 0) return false;
           ClickAt(Uncovered(manager));
           wintest::PumpFor(1500);
           aboveMain = Above(progress, Main());
           const wintest::Shot shot = wintest::TakeShot(progress, "manager_refresh_silent_server");
           EXPECT_TRUE(Holds(shot, ::GetSysColor(COLOR_HIGHLIGHT)));  // the bar's first steps
           // Back in the progress window (a click beside its bar), Escape.
           RECT bar;
           ::GetWindowRect(::GetDlgItem(progress, IDC_PROGRESS_BAR), &bar);
           ClickAt(POINT{bar.left + 4, bar.bottom + 6});
           wintest::PumpFor(300);
           escaped = ::GetTickCount64();
           PressKey(VK_ESCAPE);
           return true;
         }},
        30000);
  const ULONGLONG started = ::GetTickCount64();
  PressOnRow("Feed", IDC_CALENDARS_REFRESH);
  for (int i = 0; i < 400 && (!wintest::Driven() || ::IsWindow(progress)); ++i) wintest::PumpFor(50);
  const ULONGLONG ended = ::GetTickCount64();
  if (asker) {
    ::WaitForSingleObject(asker, 5000);
    ::CloseHandle(asker);
  }
  ASSERT_TRUE(wintest::Driven()) << "waited " << ended - started << " ms";
  EXPECT_EQ(owner, manager);
  EXPECT_TRUE(managerDisabled);
  EXPECT_TRUE(aboveMain);
  EXPECT_EQ(answered, 1);
  EXPECT_FALSE(::IsWindow(progress));
  EXPECT_LT(ended - escaped, 5000u);  // not the 30 s the wait for data lasts
  EXPECT_TRUE(::IsWindowEnabled(manager));
  EXPECT_EQ(FindDialog("Almacora"), nullptr);  // a cancel says nothing
}

// A refused FTP login (530) says so before the login box asks again; its
// Cancel ends the refresh with nothing changed.
TEST_F(FrameManager, ARefusedFtpLoginIsSaid) {
  HWND manager = ManagerWithFeed("ftp_peer.port", "ftp", "/dir/cal.ics", "user", "wrong");
  ASSERT_NE(manager, nullptr);
  std::vector<std::string> seen;
  auto box = [&](int button) -> wintest::Step {
    return [&, button] {
      HWND h = wintest::FindDialog("Almacora");
      if (!h || wintest::ItemText(h, 0xFFFF).empty()) return false;
      seen.push_back(wintest::ItemText(h, 0xFFFF));
      const wintest::Shot shot = wintest::TakeShot(h, "refused_ftp_login");
      EXPECT_TRUE(Holds(shot, RGB(0, 0, 0)));  // its text
      ::PostMessageA(h, WM_COMMAND, button, 0);
      return true;
    };
  };
  Drive({box(IDOK), [&] {
           HWND login = FindDialog("Almacora - Calendar Login");
           if (!login) return false;
           seen.push_back("login");
           ::PostMessageA(login, WM_COMMAND, IDCANCEL, 0);
           return true;
         }},
        30000);
  PressOnRow("Feed", IDC_CALENDARS_REFRESH);
  ASSERT_TRUE(PumpUntilDriven(35000));
  wintest::PumpFor(500);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "The server refused the user name or password.\n\nPlease check them and try again.");
  EXPECT_EQ(seen[1], "login");
  EXPECT_EQ(FindDialog("Refreshing Feed"), nullptr);
  EXPECT_EQ(FindDialog("Almacora"), nullptr);  // nothing more to say
}

}  // namespace
