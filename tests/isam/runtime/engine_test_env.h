// Shared set-up for engine tests: each test runs in a fresh folder (the
// status log and test files land there), with the thread layer started,
// the fatal path caught, and everything torn down afterwards so the next
// test starts from an engine that never ran.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "isam/engine_api.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"
#include "isam/runtime/thread_layer.h"
#include "platform/fatal.h"
#include "platform/sync.h"

namespace enginetest {

// The last fatal call the hook saw.
inline std::atomic<int>& FatalCount() {
  static std::atomic<int> n{0};
  return n;
}
inline std::atomic<int>& LastFatalCode() {
  static std::atomic<int> c{0};
  return c;
}
inline std::string& LastFatalMessage() {
  static std::string m;
  return m;
}
inline void RecordFatal(const char* message, int code) {
  FatalCount() += 1;
  LastFatalCode() = code;
  LastFatalMessage() = message ? message : "";
}
inline std::string& LastMessageBox() {
  static std::string m;
  return m;
}
inline int& MessageBoxCount() {
  static int n = 0;
  return n;
}
inline void RecordMessage(const char* message) {
  MessageBoxCount() += 1;
  LastMessageBox() = message ? message : "";
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Leaves the calling thread without engine instance.
inline void DropThreadInstance() {
  isam::EngineInstance* inst = isam::EngineFindInstance(nullptr);
  if (inst == nullptr) return;
  if (inst->started) {
    isam::EngineStop();
  }
  if (isam::EngineFindInstance(nullptr) != nullptr) {
    isam::engserl(12655);
    isam::EngineUnregisterInstance(0);
    isam::engunserl(12655);
  }
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("isamrt_" + std::to_string(platform::CurrentThreadId()) + "_" + std::to_string(++counter));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    FatalCount() = 0;
    LastFatalCode() = 0;
    MessageBoxCount() = 0;
    old_fatal_ = platform::SetFatalHook(RecordFatal);
    old_message_ = platform::SetMessageHook(RecordMessage);
    isam::ResetStatusLogFailureReport();
    isam::SetCurrentInstance(nullptr);
    if (start_thread_layer_) {
      ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
    }
  }

  void TearDown() override {
    DropThreadInstance();
    isam::SetCurrentInstance(nullptr);
    isam::EngineThreadLayerShutdown();
    isam::SetLockWaitPolicy(isam::LockWaitPolicy());
    platform::SetFatalHook(old_fatal_);
    platform::SetMessageHook(old_message_);
    std::filesystem::current_path(old_dir_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Starts the engine on this thread with the application's arguments.
  int StartEngine() { return isam::EngineStart(10, 2, 6, 10, 0, nullptr, nullptr, nullptr); }

  // The log's text with line breaks as "\n" (the Win32 side writes "\r\n").
  std::string StatusLog() const {
    std::string text = ReadText(dir_ / "ENGSTAT.LOG");
    std::string out;
    for (char c : text) {
      if (c != '\r') out += c;
    }
    return out;
  }
  bool StatusLogExists() const { return std::filesystem::exists(dir_ / "ENGSTAT.LOG"); }
  std::string PathIn(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
  std::filesystem::path old_dir_;
  bool start_thread_layer_ = true;
  platform::FatalHook old_fatal_ = nullptr;
  platform::MessageHook old_message_ = nullptr;
};

}  // namespace enginetest
