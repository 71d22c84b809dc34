// Fakes of the dialogs and the shell the storage calls, and a fixture that
// gives each test a fresh folder, a running engine, a scratch settings
// profile and a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "platform/sync.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/services/storage_services.h"
#include "tests/model/cal_event_fixture.h"
#include "tests/support/fixed_clock.h"

namespace storagetest {

class FakePrompts : public IStoragePrompts {
 public:
  std::vector<std::string> texts;  // every message and question, in order
  std::deque<bool> answers;        // Yes/No answers to give, then `otherwise`
  bool otherwise = false;
  bool addNotPreview = true;
  int previewQuestions = 0;
  void ShowMessage(const std::string& text, PromptIcon) override { texts.push_back(text); }
  bool AskYesNo(const std::string& text, PromptIcon) override {
    texts.push_back(text);
    if (answers.empty()) return otherwise;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  bool AskArmActions(const std::string& text) override { return AskYesNo(text, PromptIcon::kExclamation); }
  bool AskAddOrPreview() override {
    ++previewQuestions;
    return addNotPreview;
  }
  bool PromptLogin(CalendarLogin*) override { return false; }
  DamagedChoice damagedChoice = DamagedChoice::kLeaveClosed;
  DamagedChoice AskDamagedCalendar(const std::string& text, bool) override {
    texts.push_back(text);
    return damagedChoice;
  }
};

class FakeShell : public IStorageShell {
 public:
  std::vector<int> hints;
  std::string title;
  StartupShow show = StartupShow::kUnchanged;
  int wizardRuns = 0;
  void UpdateAllViews(int hint, const COccurrenceRef*) override { hints.push_back(hint); }
  bool OpenCalendar(CCalendarFile*) override { return false; }
  bool SubscribeToUrl(const std::string&) override { return false; }
  void RunCalendarWizard(bool) override { ++wizardRuns; }
  void SetMainWindowTitle(const std::string& t) override { title = t; }
  void SetShowCommand(StartupShow s) override { show = s; }
};

class StorageTest : public ::testing::Test {
 protected:
  StorageTest()
      : clock_(testsupport::Civil(2026, 3, 10, 12)),
        profile_(platform::ProfileStore::ScratchLocation("storage")),
        services_(Services()) {}

  StorageServices Services() {
    StorageServices s;
    s.prompts = &prompts;
    s.shell = &shell;
    return s;
  }

  void SetUp() override {
    oldDir_ = std::filesystem::current_path();
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("almacora_storage_" + std::to_string(platform::CurrentThreadId()) + "_" + std::to_string(++counter));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    ASSERT_EQ(0, StartStorageEngine());
    g_Settings.SetProfile(&profile_);
    CProgramSettings& s = g_Settings;
    s.DataFilePaths.clear();
    s.DataFileEnabled.clear();
    s.RetryDataFiles.clear();
    s.DefaultFile = 0;
    s.AllowMultiple = 0;
    s.StartupFilter.clear();
    s.WinStartupMode = 1;
    s.LastNormalStartupDate = 0;
    s.FirstRun35 = 0;
    s.FirstRun50 = 0;
    s.ShowState = 1;
    s.KeepStoredCalendarList = false;
  }

  void TearDown() override {
    g_Settings.SetProfile(nullptr);
    profile_.Clear();
    std::filesystem::current_path(oldDir_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // A new calendar file at `name`, closed again; its full path.
  std::string NewCalendarFile(const std::string& name) {
    CCalendarFile file;
    EXPECT_EQ(1, file.CreateFile(Path(name)));
    return file.path;
  }

  // A one-time event named `name` with that UID (empty: one is made).
  static CCalEvent* NewEvent(const std::string& name, const std::string& uid = std::string()) {
    auto* e = new CCalEvent();
    e->name = name;
    e->uid = uid;
    e->oneTime = 1;
    e->start = caltest::At(20, 3, 2026, 9);
    e->end = e->start;
    e->nextOccurrence = e->start;
    return e;
  }

  caltest::EventSettings eventSettings_;
  testsupport::FixedClock clock_;
  platform::ProfileStore profile_;
  FakePrompts prompts;
  FakeShell shell;
  ScopedStorageServices services_;
  std::filesystem::path dir_;
  std::filesystem::path oldDir_;
};

// A document started on the given list of calendar files.
inline void StartOn(CAlmacoraDoc* doc, const std::vector<std::string>& paths, const std::string& commandLine = "") {
  g_Settings.DataFilePaths = paths;
  g_Settings.DataFileEnabled.assign(paths.size(), 1);
  doc->Start(commandLine);
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace storagetest
