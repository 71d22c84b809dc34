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

#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "framework/thread.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/services/storage_services.h"
#include "storage/sharing/sharing.h"
#include "storage/ui/cal_progress.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/shell/main_window_start.h"

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
  std::string name, file, address;
  wintest::Drive({Answer("Almacora - Subscribe to Calendar", [&](HWND h) {
    name = ItemText(h, IDC_CAL_NAME);
    file = ItemText(h, IDC_CAL_FILE);
    address = ItemText(h, IDC_CAL_ADDRESS);
    Click(h, IDCANCEL);
  })});
  EXPECT_FALSE(frame_->SubscribeToUrl("webcal://h/x/My-Dates.ics"));
  EXPECT_EQ(name, "My Dates");
  EXPECT_EQ(file, "My Dates.akv");
  EXPECT_EQ(address, "webcal://h/x/My-Dates.ics");
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

}  // namespace
