// Injected file faults: the Nth call of the armed kind fails or is cut
// short, the others go through, and a disarmed layer behaves as usual.
#include "platform/os_file_faults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/byte_lock.h"
#include "platform/os_file.h"
#include "platform/sync.h"

namespace {

using platform::FileFaultKind;
using platform::FileFaultOp;
using platform::FileFaultPlan;

class OsFileFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int n = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("osfault_" + std::to_string(platform::CurrentThreadId()) + "_" + std::to_string(++n));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    const std::string p = (dir_ / "f.bin").string();
    file_ = platform::OpenOsFile(p.c_str(), platform::FileShare::kShared, platform::FileDisposition::kCreateNew);
    ASSERT_NE(nullptr, file_);
  }
  void TearDown() override {
    platform::DisarmFileFaults();
    platform::CloseOsFile(file_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  bool WriteAt(uint32_t pos, const char* text, uint32_t len, uint32_t* done) {
    return platform::SeekOsFile(file_, pos) && platform::WriteOsFile(file_, text, len, done);
  }
  bool ReadAt(uint32_t pos, char* out, uint32_t len, uint32_t* done) {
    return platform::SeekOsFile(file_, pos) && platform::ReadOsFile(file_, out, len, done);
  }
  // Arms the plan: the nth call of `op` faults as `kind` (every call from
  // the nth on when persistent).
  static void Arm(FileFaultOp op, uint64_t nth, FileFaultKind kind = FileFaultKind::kFail,
                  bool persistent = false) {
    FileFaultPlan plan;
    plan.op = op;
    plan.nth = nth;
    plan.kind = kind;
    plan.persistent = persistent;
    platform::ArmFileFault(plan);
  }
  std::filesystem::path dir_;
  platform::OsFile* file_ = nullptr;
};

TEST_F(OsFileFaultsTest, OnlyTheNthWriteFailsAndMovesNothing) {
  Arm(FileFaultOp::kWrite, 3);
  uint32_t done = 99;
  EXPECT_TRUE(WriteAt(0, "aaaa", 4, &done));
  EXPECT_TRUE(WriteAt(4, "bbbb", 4, &done));
  EXPECT_FALSE(platform::FileFaultFired());
  EXPECT_FALSE(WriteAt(8, "cccc", 4, &done));
  EXPECT_EQ(platform::kFileDiskFull, platform::LastFileError());
  EXPECT_EQ(0u, done);
  EXPECT_TRUE(platform::FileFaultFired());
  // One-shot: the next write goes through, and reads were never counted.
  EXPECT_TRUE(WriteAt(8, "dddd", 4, &done));
  EXPECT_EQ(3u, platform::FileFaultCallsSeen());
  char buf[13] = {};
  EXPECT_TRUE(ReadAt(0, buf, 12, &done));
  EXPECT_EQ(12u, done);
  EXPECT_STREQ("aaaabbbbdddd", buf);
}

TEST_F(OsFileFaultsTest, AShortWriteMovesHalfAndFailsAShortReadReportsHalf) {
  Arm(FileFaultOp::kWrite, 2, FileFaultKind::kShort);
  uint32_t done = 0;
  ASSERT_TRUE(WriteAt(0, "........", 8, &done));
  EXPECT_FALSE(WriteAt(0, "abcdefgh", 8, &done));
  EXPECT_EQ(platform::kFileDiskFull, platform::LastFileError());
  EXPECT_EQ(4u, done);
  char buf[9] = {};
  ASSERT_TRUE(ReadAt(0, buf, 8, &done));
  EXPECT_STREQ("abcd....", buf);

  Arm(FileFaultOp::kRead, 1, FileFaultKind::kShort);
  char half[9] = {};
  EXPECT_TRUE(ReadAt(0, half, 8, &done));
  EXPECT_EQ(4u, done);
  EXPECT_STREQ("abcd", half);
}

TEST_F(OsFileFaultsTest, LockAndFlushFaultsAndAPersistentPlan) {
  Arm(FileFaultOp::kLock, 1);
  EXPECT_FALSE(platform::LockOsFileRange(file_, 100, 1));
  EXPECT_EQ(platform::kFileLockViolation, platform::LastFileError());
  EXPECT_EQ(0, platform::HeldOsFileRanges(file_));
  EXPECT_TRUE(platform::LockOsFileRange(file_, 100, 1));
  EXPECT_TRUE(platform::UnlockOsFileRange(file_, 100, 1));

  Arm(FileFaultOp::kFlush, 2, FileFaultKind::kFail, true);
  EXPECT_TRUE(platform::FlushOsFile(file_));
  EXPECT_FALSE(platform::FlushOsFile(file_));
  EXPECT_FALSE(platform::FlushOsFile(file_));
  EXPECT_EQ(3u, platform::FileFaultCallsSeen());
  platform::DisarmFileFaults();
  EXPECT_TRUE(platform::FlushOsFile(file_));
  EXPECT_TRUE(platform::FileFaultFired());

  // nth 0 arms nothing.
  Arm(FileFaultOp::kFlush, 0, FileFaultKind::kFail, true);
  EXPECT_TRUE(platform::FlushOsFile(file_));
  EXPECT_FALSE(platform::FileFaultFired());
}

}  // namespace

// The always-on counts the benchmarks read: every call of each kind, with
// or without a plan, and an unlock counts as a lock call.
TEST_F(OsFileFaultsTest, EveryCallIsCountedByKindArmedOrNot) {
  const platform::FileCallCounts before = platform::FileCallsMade();
  uint32_t done = 0;
  char buf[4] = {};
  EXPECT_TRUE(WriteAt(0, "abcd", 4, &done));
  Arm(FileFaultOp::kRead, 1);
  EXPECT_FALSE(ReadAt(0, buf, 4, &done));  // a faulted call counts too
  EXPECT_TRUE(ReadAt(0, buf, 4, &done));
  EXPECT_TRUE(platform::LockOsFileRange(file_, 100, 1));
  EXPECT_TRUE(platform::UnlockOsFileRange(file_, 100, 1));
  EXPECT_TRUE(platform::FlushOsFile(file_));
  const platform::FileCallCounts after = platform::FileCallsMade();
  EXPECT_EQ(1u, after.writes - before.writes);
  EXPECT_EQ(2u, after.reads - before.reads);
  EXPECT_EQ(2u, after.locks - before.locks);
  EXPECT_EQ(1u, after.flushes - before.flushes);
  EXPECT_GE(after.flush_seconds, before.flush_seconds);
}
