// The frame's Internet calendar commands: New Calendar (menu and Ctrl+N),
// Subscribe (menu and Ctrl+S) and a subscription handed an address.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "storage/calendar_list.h"
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

}  // namespace
