// A started engine and a fresh directory for the tests of the record
// layers: each test gets its own files, and the engine is stopped (closing
// everything) at the end.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "isam/engine_api.h"
#include "isam/fileset/isam_start.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"

namespace isam {

class RecordEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallIsamLayer();
    EngineThreadLayerStart(4, 0);
    LockWaitPolicy p;
    p.lock_tries = 3;
    p.io_tries = 200;
    p.pause_ms = 5;
    SetLockWaitPolicy(p);
    ASSERT_EQ(0, EngineStart(16, 60, 6, 16, 33, nullptr, nullptr, nullptr));
    ASSERT_NE(nullptr, CurrentInstance());
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string("isamrec_") + info->test_suite_name() + "_" + info->name();
    for (char& c : dir_)
      if (c == '/') c = '_';
  }
  void TearDown() override {
    CloseAllFiles();
    EngineStop();
    for (const std::string& p : handed_out_) std::remove(p.c_str());
  }
  // A fresh name in the working directory (the file is removed first, and
  // again when the test ends). Names stay relative and short: a calendar
  // host's path is part of its member names, which have a length limit.
  std::string Path(const char* leaf) {
    std::string p = dir_ + "_" + leaf;
    std::remove(p.c_str());
    handed_out_.push_back(p);
    return p;
  }
  FileControlBlock* Fcb(int n) { return CheckFileNumber(n); }

  std::string dir_;
  std::vector<std::string> handed_out_;
};

}  // namespace isam
