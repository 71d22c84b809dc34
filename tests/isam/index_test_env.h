// Set-up for the file and index tests: a fresh folder and engine (through
// the runtime's EngineTest), the file layer installed, and small helpers to
// create indexes and read header bytes straight from disk.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "isam/byte_range_locks.h"
#include "isam/engine_api.h"
#include "isam/engine_gate.h"
#include "isam/engine_instance.h"
#include "isam/file_control_block.h"
#include "isam/thread_layer.h"
#include "platform/fatal.h"
#include "platform/sync.h"

namespace indextest {

inline int& FatalCalls() {
  static int n = 0;
  return n;
}
inline void CountFatal(const char*, int) { ++FatalCalls(); }
inline void IgnoreMessage(const char*) {}

class IndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("isamix_" + std::to_string(platform::CurrentThreadId()) + "_" + std::to_string(++counter));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    FatalCalls() = 0;
    old_fatal_ = platform::SetFatalHook(CountFatal);
    old_message_ = platform::SetMessageHook(IgnoreMessage);
    isam::SetCurrentInstance(nullptr);
    isam::EngineThreadLayerStart(2, 0);
    isam::InstallFileLayer();
  }

  void TearDown() override {
    if (isam::EngineInstance* inst = isam::EngineFindInstance(nullptr)) {
      if (inst->started) isam::EngineStop();
      if (isam::EngineFindInstance(nullptr) != nullptr) {
        isam::engserl(12655);
        isam::EngineUnregisterInstance(0);
        isam::engunserl(12655);
      }
    }
    isam::SetCurrentInstance(nullptr);
    isam::EngineThreadLayerShutdown();
    isam::SetLockWaitPolicy(isam::LockWaitPolicy());
    platform::SetFatalHook(old_fatal_);
    platform::SetMessageHook(old_message_);
    std::filesystem::current_path(old_dir_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    EXPECT_EQ(FatalCalls(), 0) << "the fatal path was taken";
  }

  std::string PathIn(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
  std::filesystem::path old_dir_;
  platform::FatalHook old_fatal_ = nullptr;
  platform::MessageHook old_message_ = nullptr;

  // Starts the engine: `sectors` x 128-byte nodes, `buffers` node buffers.
  void Start(int16_t sectors = 6, int16_t buffers = 32, int16_t files = 60) {
    ASSERT_EQ(0, isam::EngineStart(buffers, files, sectors, buffers, 515, "", "", ""));
    ASSERT_NE(nullptr, isam::CurrentInstance());
  }

  int Err() const { return isam::CurrentInstance()->eng_err; }

  std::vector<uint8_t> FileBytes(const std::string& name) const {
    std::ifstream in(PathIn(name), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  void PatchFile(const std::string& name, uint32_t offset, const std::vector<uint8_t>& bytes) const {
    std::fstream f(PathIn(name), std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(offset);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  static uint16_t Le16(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
  }
  static uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
  }
};

}  // namespace indextest
