// Shared by window tests that run the main frame in this process over two
// calendar files of their own, written into a scratch folder before the
// frame starts: "a.akv" (the default calendar) and "b.akv".
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
// windows.h names CreateFileA what the calendar declares as CreateFile.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"
#include "tests/shell/main_window_start.h"

namespace shelltest {

class FrameOverFiles : public ::testing::Test {
 protected:
  // Gives a written event (named "<file> <index>") what a test needs.
  using Fill = std::function<void(CCalEvent& e, int index)>;

  // Makes the folder almacora_<folder>_<process id> empty, quiets the
  // settings over the scratch profile `profile` (no daily reminder either:
  // its window would stand over the boxes the steps answer), starts the
  // engine and writes both calendars with `aEvents` and `bEvents` events.
  void SetUpFiles(const std::string& folder, const char* profile, int aEvents, int bEvents, const Fill& fill) {
    const std::string unique = "almacora_" + folder + "_" + std::to_string(::GetCurrentProcessId());
    dir_ = std::filesystem::temp_directory_path() / unique;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    store_ = QuietSettings(profile);
    g_Settings.DailyReminder = 0;
    ASSERT_EQ(0, StartStorageEngine());
    a_ = Calendar("a.akv", aEvents, fill);
    b_ = Calendar("b.akv", bEvents, fill);
    g_Settings.DataFilePaths = {a_, b_};
    g_Settings.DataFileEnabled = {1, 1};
    g_Settings.DefaultFile = 1;
  }
  void StartFrame() {
    frame_ = StartMainWindow(app_);
    ASSERT_NE(frame_, nullptr);
    doc_ = frame_->GetShellDocument();
  }
  // Closes the frame, then clears the profile and removes the folder.
  void TearDownFiles() {
    CloseMainWindow(frame_);
    store_->Clear();
    g_Settings.SetProfile(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes a calendar of one-time events into the folder; its path.
  std::string Calendar(const std::string& name, int events, const Fill& fill) {
    CCalendarFile file;
    EXPECT_EQ(1, file.CreateFile(Path(name)));
    CEventArray array;
    for (int i = 0; i < events; ++i) {
      auto* e = new CCalEvent();
      e->name = name + " " + std::to_string(i);
      e->oneTime = 1;
      fill(*e, i);
      EXPECT_EQ(1, file.AddEvent(e, 0, &array));
    }
    return file.path;
  }

  std::filesystem::path dir_;
  std::unique_ptr<platform::ProfileStore> store_;
  CAlmacoraApp app_;
  CMainFrame* frame_ = nullptr;
  CShellDocument* doc_ = nullptr;
  std::string a_, b_;
  std::vector<std::string> boxes_;
};

}  // namespace shelltest
