// Set-up for the file and index tests: the runtime's EngineTest (a fresh
// folder, the thread layer, the fatal path caught) with the file layer and
// the superfile layer above it installed, a check that no test took the
// fatal path, and small helpers to start the engine and read or patch
// header bytes straight from disk.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "isam/engine_api.h"
#include "isam/index/file_control_block.h"
#include "isam/runtime/engine_instance.h"
#include "isam/superfile/superfile_layer.h"
#include "tests/isam/runtime/engine_test_env.h"

namespace indextest {

class IndexTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    enginetest::EngineTest::SetUp();
    // The superfile layer brings the file layer and lets the file tests
    // create hosts as well.
    isam::InstallSuperfileLayer();
  }

  void TearDown() override {
    enginetest::EngineTest::TearDown();
    EXPECT_EQ(enginetest::FatalCount().load(), 0) << "the fatal path was taken";
  }

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

  // Everything the status log "ENGSTAT.LOG" of the test's folder holds.
  std::string StatusLogText() const {
    std::ifstream log(dir_ / "ENGSTAT.LOG");
    return std::string((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
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
