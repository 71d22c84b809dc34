// The storage fixture with a scripted network, prompts that log in, choose
// deletions and answer the publish warning, and a progress recorder.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "storage/ical/ical_storage.h"
#include "storage/services/transfer_progress.h"
#include "storage/sharing/sharing.h"
#include "storage/sharing/transfers.h"
#include "tests/storage/sharing/fake_transport.h"
#include "tests/storage/storage_fixture.h"

namespace sharingtest {

class Prompts : public storagetest::FakePrompts {
 public:
  std::deque<CalendarLogin> logins;  // answers to the login dialog, then Cancel
  int loginQuestions = 0;
  std::vector<RefreshDeleteItem> offered;
  std::string deleteWarning;  // the question's warning, empty for none
  std::function<void()> whileDeleteDialog;  // runs while the dialog is up
  bool deleteSelected = true;
  OverwriteChoice overwrite = OverwriteChoice::kOverwrite;
  int overwriteQuestions = 0;

  std::vector<std::string> loginsOffered;  // "user:password" each login box began with
  bool PromptLogin(CalendarLogin* login) override {
    ++loginQuestions;
    loginsOffered.push_back(login->user + ":" + login->password);
    if (logins.empty()) return false;
    *login = logins.front();
    logins.pop_front();
    return true;
  }
  // Answers with the ticks it was given: all without a warning, none with.
  bool ChooseEventsToDelete(const std::vector<RefreshDeleteItem>& items, const std::string& warning,
                            std::vector<bool>* ticked) override {
    offered = items;
    deleteWarning = warning;
    EXPECT_EQ(*ticked, std::vector<bool>(items.size(), warning.empty()));
    if (whileDeleteDialog) whileDeleteDialog();
    return deleteSelected;
  }
  OverwriteChoice AskOverwrite() override {
    ++overwriteQuestions;
    return overwrite;
  }
};

class Progress : public ITransferProgress {
 public:
  std::vector<std::pair<int, std::string>> steps;
  int range = 0;
  std::string result;
  void SetSteps(int n) override { range = n; }
  void Step(int n, const std::string& text) override { steps.emplace_back(n, text); }
  void ShowResult(const std::string& text) override { result = text; }
};

class SharingTest : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    storagetest::StorageTest::SetUp();
    InstallICalStorage();
    StorageServices s;
    s.prompts = &prompts;
    s.shell = &shell;
    s.transport = &net;
    scoped_ = std::make_unique<ScopedStorageServices>(s);
    CurrentTransferLimits() = TransferLimits{1u << 20, 3000, 20000};
  }
  void TearDown() override {
    InstallSharing(nullptr);
    CurrentTransferLimits() = TransferLimits{};
    scoped_.reset();
    storagetest::StorageTest::TearDown();
  }

  FakeTransport net;
  Prompts prompts;
  Progress progress;

 private:
  std::unique_ptr<ScopedStorageServices> scoped_;
};

// An iCalendar text of one-time events, each {uid, summary}.
inline std::string Calendar(const std::vector<std::pair<std::string, std::string>>& events) {
  std::string t = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//x//EN\r\n";
  for (const auto& e : events)
    t += "BEGIN:VEVENT\r\nUID:" + e.first + "\r\nSUMMARY:" + e.second +
         "\r\nDTSTART;VALUE=DATE:20260320\r\nDTSTAMP:20260301T000000Z\r\nEND:VEVENT\r\n";
  return t + "END:VCALENDAR\r\n";
}

}  // namespace sharingtest
