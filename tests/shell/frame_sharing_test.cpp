// The frame's Internet calendar commands: New Calendar (menu and Ctrl+N),
// Subscribe (menu and Ctrl+S), a subscription handed an address, and a
// transfer to a server that never answers.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <commctrl.h>

#include "alarms/alarm_reminders_dlg.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "shell/app/shell_services.h"
#include "shell/calendar/cal_frame.h"
#include "shell/calendar/cal_view.h"
#include "shell/event_list/event_list_rows.h"
#include "shell/event_list/grid_view.h"
#include "framework/thread.h"
#include "storage/action_guard.h"
// The storage's method, not the Win32 macro of the same name.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_storage.h"
#include "storage/services/storage_services.h"
#include "storage/sharing/sharing.h"
#include "storage/sharing/calendar_url.h"
#include "storage/sharing/transfers.h"
#include "storage/ui/cal_progress.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/shell/main_window_start.h"
#include "tests/shell/program_fixture.h"

using wintest::Click;
using wintest::FindDialog;
using wintest::ItemText;

namespace {

class FrameSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = shelltest::QuietSettings("frame_sharing");
    path_ = (std::filesystem::temp_directory_path() /
             ("almacora_frame_sharing_" + std::to_string(::GetCurrentProcessId()) + ".akv"))
                .string();
    frame_ = shelltest::StartMainWindow(app_);
    ASSERT_NE(frame_, nullptr);
  }
  void TearDown() override {
    shelltest::CloseMainWindow(frame_);
    std::error_code ec;
    std::filesystem::remove(path_, ec);
    store_->Clear();
    g_Settings.SetProfile(nullptr);
  }

  CAlmacoraApp app_;
  std::unique_ptr<platform::ProfileStore> store_;
  CMainFrame* frame_ = nullptr;
  std::string path_;
};

wintest::Step Answer(const char* caption, std::function<void(HWND)> action) {
  return [=] {
    HWND h = FindDialog(caption);
    if (!h) return false;
    action(h);
    return true;
  };
}

TEST_F(FrameSharing, NewCalendarFromTheMenuAndTheKey) {
  wintest::Drive({Answer("New Calendar", [](HWND h) { Click(h, IDCANCEL); })});
  frame_->SendMsg(WM_COMMAND, ID_KEY_NEW);
  EXPECT_TRUE(wintest::Driven());
  wintest::Drive({Answer("New Calendar", [&](HWND h) {
    ::SetDlgItemTextA(h, IDC_CAL_NAME, "Frame Cal");
    ::SetDlgItemTextA(h, IDC_CAL_FILE, path_.c_str());
    Click(h, IDOK);
  })});
  frame_->SendMsg(WM_COMMAND, ID_FILE_NEW);
  CCalendarFile* made = frame_->GetShellDocument()->Core().calendars().FindByName("Frame Cal");
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(std::filesystem::exists(path_));
}

TEST_F(FrameSharing, SubscribeOpensTheDialogPresetFromTheAddress) {
  for (UINT id : {ID_CALENDAR_SUBSCRIBE, ID_CALENDAR_SUBSCRIBE_KEY}) {
    std::string name = "x", address = "x";
    wintest::Drive({Answer("Almacora - Subscribe to Calendar", [&](HWND h) {
      name = ItemText(h, IDC_CAL_NAME);
      address = ItemText(h, IDC_CAL_ADDRESS);
      Click(h, IDCANCEL);
    })});
    frame_->SendMsg(WM_COMMAND, id);
    EXPECT_EQ(name, "") << id;
    EXPECT_EQ(address, "") << id;
  }
  // A plain local file name, whatever the address spells; its login only
  // in the login fields. Each: name|file|address|user.
  const char* const cases[][2] = {
      {"webcal://h/x/My-Dates.ics", "My Dates|My Dates.akv|webcal://h/x/My-Dates.ics|"},
      {"webcal://h/c/%2E%2E%5C%2E%2E%5Cevil.ics", "..\\..\\evil|_.._evil.akv|webcal://h/c/%2E%2E%5C%2E%2E%5Cevil.ics|"},
      {"webcal://h/%5C%5Chost%5Cs%5Cspy.ics", "\\\\host\\s\\spy|__host_s_spy.akv|webcal://h/%5C%5Chost%5Cs%5Cspy.ics|"},
      {"webcal://u:pw@h/C%3A%5CCON.ics", "C:\\CON|C__CON.akv|webcal://h/C%3A%5CCON.ics|u"}};
  for (const auto& c : cases) {
    std::string seen;
    wintest::Drive({Answer("Almacora - Subscribe to Calendar", [&](HWND h) {
      for (int id : {IDC_CAL_NAME, IDC_CAL_FILE, IDC_CAL_ADDRESS}) seen += ItemText(h, id) + "|";
      seen += ItemText(h, IDC_CAL_USER);
      Click(h, IDCANCEL);
    })});
    EXPECT_FALSE(frame_->SubscribeToUrl(c[0]));
    EXPECT_EQ(seen, c[1]);
  }
}

// An automatic publish to a server that never answers: the main window
// answers another thread and its one-second timer runs on while the refresh
// waits, and the progress window's close box ends the wait within a second
// with nothing published and no message.
TEST_F(FrameSharing, ASilentServerHoldsNothingAndCancelEndsIt) {
  int port = 0;
  std::ifstream(ALMACORA_PEER_DIR "/http_peer.ports") >> port;
  ASSERT_GT(port, 0);
  // The progress window, with the moment its work ended (hiding it then
  // waits on the display server, which is no part of the transfer).
  struct Window : IProgressWindow {
    CCalProgress* window = nullptr;
    ULONGLONG doneAt = 0;
    void SetSteps(int steps) override { window->SetSteps(steps); }
    void Step(int step, const std::string& text) override { window->Step(step, text); }
    void ShowResult(const std::string& text) override { window->ShowResult(text); }
    void SetTitle(const std::string& title) override { window->SetTitle(title); }
    void Done(bool closeNow) override {
      doneAt = ::GetTickCount64();
      window->Done(closeNow);
    }
  } progressWindow;
  struct Prompts : IStoragePrompts {
    Window* progress = nullptr;
    std::vector<std::string> texts;
    void ShowMessage(const std::string& text, PromptIcon) override { texts.push_back(text); }
    bool AskYesNo(const std::string&, PromptIcon) override { return false; }
    bool AskAddOrPreview() override { return false; }
    bool PromptLogin(CalendarLogin*) override { return false; }
    IProgressWindow* OpenProgressWindow(const std::string& title) override {
      progress->window = CCalProgress::Open(title);
      return progress;
    }
  } prompts;
  prompts.progress = &progressWindow;
  StorageServices services = GetStorageServices();
  services.prompts = &prompts;
  ScopedStorageServices scoped(services);
  CCalendarFile calendar;
  calendar.name = "Silent";
  calendar.address = "http://127.0.0.1:" + std::to_string(port) + "/silent.ics?t=silent";
  calendar.subscribed = calendar.published = calendar.publishAfterSave = 1;
  actionguard::ProvePublish(&calendar);  // the user's own

  HWND main = frame_->GetSafeHwnd(), status = frame_->GetStatusBar().GetSafeHwnd();
  ::SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(""));  // the timer writes the time back
  std::atomic<int> answered{0};
  HANDLE asker = framework::StartWorkerThread([&] {
    ::Sleep(1500);
    DWORD_PTR result = 0;
    answered = ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) ? 1 : -1;
  });
  ASSERT_NE(asker, nullptr);
  HWND progress = nullptr;
  ULONGLONG cancelled = 0;
  char clock[32] = "";
  wintest::Drive({[&] {
    progress = FindDialog("Refreshing Silent");
    ::SendMessageA(status, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(clock));
    if (!progress || answered == 0 || clock[0] == 0) return false;
    wintest::Shot shot = wintest::TakeShot(progress, "progress_silent_server");
    RECT bar, win;
    ::GetWindowRect(::GetDlgItem(progress, IDC_PROGRESS_BAR), &bar);
    ::GetWindowRect(progress, &win);
    // Two of the five steps (connected, request sent) are filled in.
    EXPECT_EQ(shot.At(bar.left - win.left + 6, (bar.top + bar.bottom) / 2 - win.top), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_NE(shot.At(bar.right - win.left - 6, (bar.top + bar.bottom) / 2 - win.top), ::GetSysColor(COLOR_HIGHLIGHT));
    cancelled = ::GetTickCount64();
    ::PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }});
  const ULONGLONG started = ::GetTickCount64();
  AutoPublish(frame_->GetShellDocument()->Core(), calendar, true);
  ::WaitForSingleObject(asker, 5000);
  ::CloseHandle(asker);
  ASSERT_TRUE(wintest::Driven()) << "waited " << ::GetTickCount64() - started << " ms";
  EXPECT_EQ(answered, 1);
  EXPECT_NE(clock[0], 0);
  EXPECT_LT(progressWindow.doneAt - cancelled, 1000u);
  EXPECT_GE(progressWindow.doneAt, cancelled);
  EXPECT_FALSE(::IsWindow(progress));
  EXPECT_TRUE(prompts.texts.empty()) << prompts.texts.front();
  std::ifstream log(ALMACORA_PEER_DIR "/http_peer.log");
  int gets = 0;
  for (std::string line; std::getline(log, line);)
    if (line.find("?t=silent ") != std::string::npos) {
      EXPECT_EQ(line.rfind("GET ", 0), 0u) << line;  // no check of the address and no upload
      ++gets;
    }
  EXPECT_EQ(gets, 1);
}

// The peer's calendar store: an address of this process's own, what PUT
// puts there, and a subscription of it in the frame's document.
class StoredCalendar {
 public:
  explicit StoredCalendar(const std::string& name) {
    int port = 0;
    std::ifstream(ALMACORA_PEER_DIR "/http_peer.ports") >> port;
    EXPECT_GT(port, 0);
    address = "http://127.0.0.1:" + std::to_string(port) + "/store/" + name + "-" +
              std::to_string(::GetCurrentProcessId()) + ".ics";
  }
  void Put(const std::string& text) {
    CalendarUrl url;
    CCalendarFile server;
    ASSERT_TRUE(SplitCalendarUrl(address, &url));
    ASSERT_TRUE(HttpPublishCalendar(server, url, text, nullptr));
  }
  std::string address;
};

// An iCalendar text of one-time events {uid, start}, each with a display
// alarm 15 minutes ahead.
std::string EventsAt(const std::vector<std::pair<std::string, std::string>>& events, int stampDay) {
  std::string t = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//peer//x//EN\r\n";
  for (const auto& e : events)
    t += "BEGIN:VEVENT\r\nUID:" + e.first + "\r\nSUMMARY:Meeting " + e.first + "\r\nDTSTART:" + e.second +
         "\r\nDTSTAMP:202603" + std::to_string(10 + stampDay) +
         "T000000Z\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n";
  return t + "END:VCALENDAR\r\n";
}

CDateTime Utc(const char* text) {
  CDateTime d;
  EXPECT_TRUE(d.ParseICal(text));
  return d;
}

std::string LocalClock(const CDateTime& d) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", d.GetHour(CDateTime::kAsLocal), d.GetMinute(CDateTime::kAsLocal));
  return text;
}

// A step that waits for the window of that caption, keeps its picture
// (checking it drew its face in the bottom left corner) and closes it.
wintest::Step ShotAndClose(const char* caption, const char* shot, UINT message = WM_COMMAND, WPARAM wp = IDCANCEL) {
  return [=] {
    HWND h = FindDialog(caption);
    if (!h) return false;
    EXPECT_EQ(wintest::ClientCornerColour(h, wintest::TakeShot(h, shot)), ::GetSysColor(COLOR_BTNFACE)) << shot;
    ::PostMessageA(h, message, wp, 0);
    return true;
  };
}

class FrameRefresh : public FrameSharing {
 protected:
  void SetUp() override {
    FrameSharing::SetUp();
    // The program's own questions and progress windows.
    StorageServices services = GetStorageServices();
    services.prompts = &prompts_;
    scoped_ = std::make_unique<ScopedStorageServices>(services);
    g_Settings.AlarmCheckFrequency = 3;
    ::ShowWindow(frame_->GetSafeHwnd(), SW_SHOWNORMAL);
    ::MoveWindow(frame_->GetSafeHwnd(), 0, 0, 800, 600, TRUE);
  }
  CAlmacoraDoc& Doc() { return frame_->GetShellDocument()->Core(); }
  // Subscribes to the stored calendar into <name>.akv beside the test.
  CCalendarFile* Subscribe(const StoredCalendar& stored, const std::string& name) {
    SubscribeForm form;
    form.name = name;
    form.address = stored.address;
    form.localFile = (std::filesystem::path(path_).parent_path() /
                      (name + std::to_string(::GetCurrentProcessId()) + ".akv")).string();
    local_ = form.localFile;
    std::error_code ec;
    std::filesystem::remove(local_, ec);
    wintest::Drive({ShotAndClose("Event Type Colors", "refresh_subscribe_type_colors")}, 30000);
    const bool ok = SubscribeCalendar(Doc(), nullptr, form, nullptr);
    EXPECT_TRUE(wintest::Driven());
    EXPECT_TRUE(ok);
    return Doc().calendars().FindByName(name);
  }
  // The frame's check as its one-second timer runs it, at that UTC time.
  void CheckAt(const platform::CivilTime& utc) {
    clock_.Set(utc);
    frame_->PeriodicCheck();
  }
  void TearDown() override {
    scoped_.reset();
    FrameSharing::TearDown();
    std::error_code ec;
    if (!local_.empty()) std::filesystem::remove(local_, ec);
  }
  testsupport::FixedClock clock_{testsupport::Civil(2026, 3, 20, 13, 50)};
  std::string local_;
  CShellStoragePrompts prompts_;
  std::unique_ptr<ScopedStorageServices> scoped_;
};

// The server moves a subscribed event from 14:20Z to 14:12Z: after the
// refresh the list's time, the month view and the alarm (raised by the
// timer's own check at 13:57Z, not before) all go by the new start, and so
// does what the calendar file holds for the next start.
TEST_F(FrameRefresh, AMovedEventMovesTheListTheMonthViewAndTheAlarm) {
  StoredCalendar stored("moved");
  stored.Put(EventsAt({{"moved-1", "20260320T142000Z"}}, 1));
  CCalendarFile* calendar = Subscribe(stored, "Moved");
  ASSERT_NE(calendar, nullptr);
  CheckAt(testsupport::Civil(2026, 3, 20, 13, 50, 10));

  stored.Put(EventsAt({{"moved-1", "20260320T141200Z"}}, 2));
  // The event keeps a type the calendar had: no colours box.
  ASSERT_TRUE(RefreshInWindow(Doc(), *calendar));
  // The result stays up ("Updated: 1") until it is closed.
  wintest::Drive({ShotAndClose("Refreshing Moved", "refresh_moved_result", WM_SYSCOMMAND, SC_CLOSE)}, 10000);
  for (int i = 0; i < 200 && !wintest::Driven(); ++i) wintest::PumpFor(50);
  ASSERT_TRUE(wintest::Driven());

  const CDateTime moved = Utc("20260320T141200Z");
  CCalEvent* event = Doc().FindEventByUid("moved-1", calendar);
  ASSERT_NE(event, nullptr);
  // The list: the event's row shows the new time.
  CGridView* list = frame_->GetListView();
  std::string listed;
  for (size_t row = 0; row < list->Rows().size(); ++row) {
    if (list->Rows()[row].event != event) continue;
    for (int g = 0; g < eventlist::kColumnCount; ++g) {
      if (list->Grid().GetColumnMapping(g) != eventlist::kColumnTime) continue;
      CGridCell cell;
      list->Grid().GetCell(g, static_cast<int>(row), &cell);
      cell.GetText(&listed);
    }
  }
  EXPECT_EQ(listed, LocalClock(moved));
  // The month view: the day's occurrence starts at the new time.
  CMonthGridCtrl& month = frame_->GetCalFrame()->GetCalView()->GetGrid();
  const CCalPage::DayList* day = month.GetDayOccurrences(moved);
  ASSERT_NE(day, nullptr);
  ASSERT_EQ(day->size(), 1u);
  EXPECT_EQ(LocalClock(day->front().event->GetOccurrenceRange(day->front().date).start), LocalClock(moved));
  wintest::PumpFor(200);
  const wintest::Shot shot = wintest::TakeShot(frame_->GetSafeHwnd(), "refresh_moved_main_window");
  EXPECT_GT(shelltest::WhiteShareDownTheMiddle(shot), 20);

  // The alarm: not at 13:56:50Z, at 13:57:00Z.
  CheckAt(testsupport::Civil(2026, 3, 20, 13, 56, 50));
  EXPECT_TRUE(frame_->GetAlarmWindow() == nullptr || frame_->GetAlarmWindow()->RowCount() == 0);
  CheckAt(testsupport::Civil(2026, 3, 20, 13, 57, 0));
  ASSERT_NE(frame_->GetAlarmWindow(), nullptr);
  COccurrenceRef raised;
  ASSERT_TRUE(frame_->GetAlarmWindow()->GetRowAlarm(0, &raised));
  EXPECT_EQ(raised.event, event);
  const wintest::Shot reminder = wintest::TakeShot(frame_->GetAlarmWindow()->GetSafeHwnd(), "refresh_moved_alarm");
  EXPECT_EQ(reminder.At(3, reminder.height - 3), ::GetSysColor(COLOR_BTNFACE));

  // What a restart reads: the file holds the new next start.
  const std::string file = calendar->path;
  Doc().CloseEventFile(calendar);
  {
    CCalendarFile reread;
    CEventArray events;
    ASSERT_EQ(1, reread.Open(&events, file));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events.at(0)->nextOccurrence, moved);
    reread.Close(&events);
  }
}

// The server lost all, or exactly half, of the calendar: the question says
// so, nothing is ticked, and Enter keeps every event.
TEST_F(FrameRefresh, AnEmptyOrHalvedServerCalendarIsNoOneKeyWipe) {
  const struct {
    const char* name;
    int held, kept;
    const char* warning;
  } cases[] = {{"Emptied", 3, 0, "The server's calendar is empty: all 3 events"},
               {"Halved", 4, 2, "The server's calendar lacks 2 of this calendar's 4 events"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<std::string, std::string>> events;
    for (int i = 0; i < c.held; ++i) events.push_back({c.name + std::to_string(i), "2026032" + std::to_string(i + 1) + "T100000Z"});
    StoredCalendar stored(c.name);
    stored.Put(EventsAt(events, 1));
    CCalendarFile* calendar = Subscribe(stored, c.name);
    ASSERT_NE(calendar, nullptr);
    stored.Put(EventsAt({events.begin(), events.begin() + c.kept}, 2));
    std::string warning;
    int ticked = -1;
    int focused = 0;
    wintest::Drive({[&] {
                      HWND h = FindDialog("Calendar Refresh - Delete Events");
                      if (!h) return false;
                      warning = wintest::ItemText(h, IDC_REFRESH_DELETE_TEXT);
                      HWND list = ::GetDlgItem(h, IDC_REFRESH_DELETE_LIST);
                      ticked = 0;
                      for (int i = 0; i < ListView_GetItemCount(list); ++i) ticked += ListView_GetCheckState(list, i) ? 1 : 0;
                      const wintest::Shot shot = wintest::TakeShot(h, std::string("refresh_question_") + c.name);
                      // The first row's check box is drawn empty: white inside.
                      RECT box;
                      ListView_GetItemRect(list, 0, &box, LVIR_ICON);
                      POINT inside{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
                      ::MapWindowPoints(list, nullptr, &inside, 1);
                      RECT win;
                      ::GetWindowRect(h, &win);
                      EXPECT_EQ(shot.At(inside.x - win.left, inside.y - win.top), RGB(255, 255, 255));
                      HWND focus = ::GetFocus();
                      focused = ::GetDlgCtrlID(focus);
                      // Enter, as the keyboard gives it to the focused control.
                      ::PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0);
                      ::PostMessageA(focus, WM_KEYUP, VK_RETURN, 0);
                      return true;
                    },
                    [] { return FindDialog("Calendar Refresh - Delete Events") == nullptr; }},
                   30000);
    const ULONGLONG started = ::GetTickCount64();
    ASSERT_TRUE(RefreshInWindow(Doc(), *calendar));
    // Enter alone ended the question, long before the drive's limit would
    // have cancelled it.
    EXPECT_LT(::GetTickCount64() - started, 20000u);
    for (int i = 0; i < 100 && !wintest::Driven(); ++i) wintest::PumpFor(50);
    ASSERT_TRUE(wintest::Driven());
    EXPECT_EQ(warning.rfind(c.warning, 0), 0u) << warning;
    EXPECT_EQ(ticked, 0);
    EXPECT_EQ(focused, IDCANCEL);
    for (const auto& e : events) EXPECT_NE(Doc().FindEventByUid(e.first, calendar), nullptr) << e.first;
  }
}

// Refreshes as the user meets them, in turn on one calendar: the progress
// window's result (none: it closed by itself) and how often "Event Type
// Colors" came. A changed event whose type the calendar had is an update
// and no news; a calendar read back just as it was published is no
// update; only a type never seen brings the box.
TEST_F(FrameRefresh, RefreshResultsSayWhatChangedAndOnlyNewTypesAreOffered) {
  StoredCalendar stored("counts");
  stored.Put(EventsAt({{"c-1", "20260321T100000Z"}}, 1));
  CCalendarFile* calendar = Subscribe(stored, "Counts");
  ASSERT_NE(calendar, nullptr);
  const struct {
    std::string text;  // "": the calendar as published, its event's type cleared; "+": and a new event
    const char* result;
    int boxes;
  } cases[] = {{EventsAt({{"c-1", "20260321T100000Z"}}, 2), "Added: 0   Updated: 1   Deleted:  0", 0},
               {"", "", 0},
               {"+", "Added: 1   Updated: 0", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    std::string text = c.text;
    if (text.size() < 2) {
      CCalEvent* e = Doc().FindEventByUid("c-1", calendar);
      ASSERT_NE(e, nullptr);
      if (text.empty()) {
        e->type.clear();
        ASSERT_EQ(1, Doc().SaveEvent(*e, 1, 0, 1));
      }
      calendar->published = 1;  // without its alarms
      CICalConverter converter;
      const std::string published = ExportCalendarICal(converter, Doc().events(), calendar);
      if (!text.empty())
        text = published.substr(0, published.rfind("END:VCALENDAR")) +
               "BEGIN:VEVENT\r\nUID:s-1\r\nSUMMARY:Match\r\nCATEGORIES:Sport\r\nDTSTART:20260322T100000Z\r\n"
               "END:VEVENT\r\nEND:VCALENDAR\r\n";
      else
        text = published;
    }
    stored.Put(text);
    int boxes = 0;
    wintest::Drive({[&] {
      if (HWND h = FindDialog("Event Type Colors")) {
        ++boxes;
        ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
      }
      return false;
    }}, 20000);
    ASSERT_TRUE(RefreshInWindow(Doc(), *calendar));
    wintest::PumpFor(300);
    std::string result;
    if (HWND progress = FindDialog("Refreshing Counts")) {
      result = wintest::ItemText(progress, IDC_PROGRESS_TEXT);
      ::PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
      wintest::PumpFor(200);
    }
    wintest::Drive({});
    EXPECT_NE(result.find(c.result), std::string::npos) << result;
    EXPECT_EQ(result.empty(), c.result[0] == 0) << result;
    EXPECT_EQ(boxes, c.boxes);
  }
}

// A calendar file from elsewhere publishes after each save to its own
// server: opened here, the question names that address and the file; after
// No a new event in it uploads nothing (the server sees no request).
TEST_F(FrameRefresh, AForeignPublishAddressTakesNothingWithoutYes) {
  StoredCalendar stored("foreign-publish");
  local_ = (std::filesystem::path(path_).parent_path() /
            ("borrowed" + std::to_string(::GetCurrentProcessId()) + ".akv")).string();
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(local_));
    file.name = "Borrowed";
    file.address = stored.address;
    file.subscribed = file.published = file.publishAfterSave = 1;
    ASSERT_EQ(1, file.WriteCalInfo());
    file.Close(nullptr);
  }
  std::string question;
  wintest::Drive({[&] {
    HWND h = FindDialog("Almacora - Alarm Actions From Elsewhere");
    if (!h) return false;
    question = ItemText(h, IDC_ARM_ACTIONS_TEXT);
    EXPECT_EQ(wintest::ClientCornerColour(h, wintest::TakeShot(h, "foreign_publish_question")),
              ::GetSysColor(COLOR_BTNFACE));
    ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    return true;
  }}, 30000);
  ASSERT_TRUE(Doc().OpenEventFile(local_, false));
  ASSERT_TRUE(wintest::Driven());
  EXPECT_NE(std::string::npos, question.find("publishes the calendar's events to: " + stored.address)) << question;
  EXPECT_NE(std::string::npos, question.find("\"Borrowed\" (" + local_ + ")")) << question;
  auto* e = new CCalEvent();
  e->name = "Private";
  e->calendar = Doc().calendars().FindByPath(local_);
  ASSERT_NE(e->calendar, nullptr);
  ASSERT_EQ(1, Doc().AddEvent(e));
  const std::string path = stored.address.substr(stored.address.find("/store/"));
  std::ifstream log(ALMACORA_PEER_DIR "/http_peer.log");
  for (std::string line; std::getline(log, line);) EXPECT_EQ(line.find(path), std::string::npos) << line;
}

}  // namespace
