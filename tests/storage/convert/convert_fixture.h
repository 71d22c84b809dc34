// What the import and conversion tests share: a target that keeps the
// events (one per UID, as a calendar file does), prompts that answer as
// told and record every text, and a scratch folder for the files the tests
// write byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "storage/convert/convert_prompts.h"
#include "storage/convert/import_target.h"

namespace converttest {

class KeepingTarget : public IImportTarget {
 public:
  bool AddImportedEvent(std::unique_ptr<CCalEvent> event) override {
    ++calls;
    if (refuse) return false;
    if (!event->uid.empty()) {
      for (auto& held : events)
        if (held->uid == event->uid) {
          *held = *event;
          return true;
        }
    } else {
      event->uid = CCalEvent::MakeEventUid();
    }
    events.push_back(std::move(event));
    return true;
  }
  std::vector<std::unique_ptr<CCalEvent>> events;
  int calls = 0;
  bool refuse = false;
};

struct Shown {
  std::string text;
  std::string caption;
  ConvertIcon icon;
  bool question;
};

class ScriptedPrompts : public IConvertPrompts {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, ConvertIcon icon) override {
    shown.push_back({text, caption, icon, false});
  }
  bool AskYesNo(const std::string& text, const std::string& caption, ConvertIcon icon) override {
    shown.push_back({text, caption, icon, true});
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void ShowLog(const std::string& text) override { logs.push_back(text); }
  bool SelectNewFileName(const std::string& proposed, std::string* path) override {
    proposedNames.push_back(proposed);
    if (chosenPath.empty()) return false;
    *path = chosenPath;
    return true;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const Shown& s : shown) t.push_back(s.text);
    return t;
  }
  std::vector<Shown> shown;
  std::deque<bool> answers;
  std::vector<std::string> logs;
  std::vector<std::string> proposedNames;
  std::string chosenPath;
};

class ScratchFolder {
 public:
  ScratchFolder() {
    static int n = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("convert_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            std::to_string(reinterpret_cast<uintptr_t>(this) & 0xFFFFFF) + "_" + std::to_string(++n));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::all, ec);
    for (auto& entry : std::filesystem::directory_iterator(dir_, ec))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  // The folder with a trailing separator.
  std::string Folder() const { return (dir_ / "").string(); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string p = Path(name);
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

 private:
  std::filesystem::path dir_;
};

}  // namespace converttest
