// Lock bytes, node and record locks, member slots, and two real processes
// contending for one record unit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"
#include "platform/byte_lock.h"
#include "platform/fatal.h"
#include "platform/os_file.h"
#include "platform/sync.h"
#include "tests/isam/runtime/engine_test_env.h"
#include "tests/support/child_process.h"

namespace {

TEST(LockArithmeticTest, LockBytesCountDownFromTheTop) {
  EXPECT_EQ(0xFFFBFFFFu, isam::LockByteOfUnit(0));
  EXPECT_EQ(0xFFFBFFFFu - 1234u, isam::LockByteOfUnit(1234));
  // Computed as -unit - 0x40001 in 32 bits.
  EXPECT_EQ(static_cast<uint32_t>(-static_cast<int64_t>(77) - 0x40001), isam::LockByteOfUnit(77));
  EXPECT_EQ(0xFFFFFFFFu - 256u * 3u + 5u, isam::MemberSlotByte(3, 5));
  EXPECT_EQ(0xFFFFFEFFu, isam::MemberSlotByte(1, 0));
  EXPECT_EQ(0xFFFFFFFEu, isam::MemberSlotByte(1, 255));
  // Member slots and unit bytes never meet.
  EXPECT_GT(isam::MemberSlotByte(1023, 0), isam::LockByteOfUnit(0));
}

TEST(LockArithmeticTest, UnitsFollowTheHoldingFileType) {
  EXPECT_EQ(12345u / 10, isam::NodeLockUnit(isam::kFileTypeVariable, 1024, 12345, -1));
  EXPECT_EQ(4096u / 1024 + 32, isam::NodeLockUnit(isam::kFileTypeIndex, 1024, 4096, -1));
  EXPECT_EQ(5u, isam::NodeLockUnit(isam::kFileTypeIndex, 1024, 128 * 5 + 12, 5));
  EXPECT_EQ(150u / 50, isam::RecordLockUnit(isam::kFileTypeFixed, 50, 0, 150));
  EXPECT_EQ(2048u / 1024, isam::RecordLockUnit(isam::kFileTypeIndex, 0, 1024, 2048));
  EXPECT_EQ(1234u / 10, isam::RecordLockUnit(isam::kFileTypeVariable, 0, 1024, 1234));
  EXPECT_EQ(0u, isam::RecordLockUnit(isam::kFileTypeFixed, 0, 0, 1234));
}

class LocksTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(0, StartEngine());
  }
  void TearDown() override {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) isam::OsCloseFile(it->get());
    EngineTest::TearDown();
  }
  isam::EngineOsFile* Open(const std::string& name, uint16_t mode, bool create = false) {
    files_.push_back(std::make_unique<isam::EngineOsFile>());
    isam::EngineOsFile* f = files_.back().get();
    int rc = create ? isam::OsCreateFile(f, PathIn(name).c_str(), mode)
                    : isam::OsOpenFile(f, PathIn(name).c_str(), mode);
    EXPECT_EQ(0, rc);
    return f;
  }
  std::vector<std::unique_ptr<isam::EngineOsFile>> files_;
};

TEST_F(LocksTest, LockByteInsideTheDataIsRefusedWithoutAnOsCall) {
  // Not even opened: the answer comes before any handle is needed.
  isam::EngineOsFile f;
  f.mode = isam::kModeShared;
  EXPECT_EQ(isam::kEngLockByteInData, isam::NodeLock(&f, 10, isam::LockByteOfUnit(10)));
  EXPECT_EQ(isam::kEngLockByteInData, isam::RecordLock(&f, 10, 0xFFFFFFF0u, false));
  EXPECT_EQ(isam::kEngNodeLocked, isam::NodeLock(&f, 10, isam::LockByteOfUnit(10) - 1));
}

TEST_F(LocksTest, ExclusiveFilesTakeNoLocksButTheirIoStillWorks) {
  isam::EngineOsFile* f = Open("ex.dat", 0, true);
  EXPECT_EQ(0, isam::NodeLock(f, 3, 0));
  EXPECT_EQ(0, isam::NodeLock(f, 3, 0));
  EXPECT_EQ(0, platform::HeldOsFileRanges(f->handle));
  EXPECT_EQ(0, f->lock_count);
  int32_t n = 0;
  EXPECT_EQ(0, isam::FilePositionedIo(1, f, 0, const_cast<char*>("abc"), 3, &n));
}

TEST_F(LocksTest, LocksNeverNestAndUnlocksMustMatch) {
  isam::EngineOsFile* f = Open("sh.dat", isam::kModeShared, true);
  isam::EngineOsFile* g = Open("sh.dat", isam::kModeShared);
  isam::SetLockWaitPolicy({3, 3, 1});
  EXPECT_EQ(0, isam::RecordLock(f, 9, 0, false));
  EXPECT_EQ(1, f->lock_count);
  // Again through the same handle, and through another one.
  EXPECT_EQ(isam::kEngRecordLocked, isam::RecordLock(f, 9, 0, false));
  EXPECT_EQ(isam::kEngRecordLocked, isam::RecordLock(g, 9, 0, true));
  EXPECT_EQ(isam::kEngNodeLocked, isam::NodeLock(g, 9, 0));
  EXPECT_EQ(isam::kEngRecordUnlockFailed, isam::RecordUnlock(g, 9));
  EXPECT_EQ(isam::kEngNodeUnlockFailed, isam::NodeUnlock(f, 10));
  EXPECT_EQ(0, isam::RecordUnlock(f, 9));
  EXPECT_EQ(0, f->lock_count);
  EXPECT_EQ(0, isam::NodeLock(g, 9, 0));
  EXPECT_EQ(0, isam::NodeUnlock(g, 9));
  // Raw ranges: an unlock must name exactly a locked range.
  ASSERT_EQ(0, isam::LockFileRange(f->handle, 1000, 10, isam::kLockTry));
  EXPECT_EQ(platform::kFileLockViolation, isam::LockFileRange(f->handle, 1009, 1, isam::kLockTry));
  EXPECT_EQ(platform::kFileNotLocked, isam::LockFileRange(f->handle, 1000, 5, isam::kLockRelease));
  EXPECT_EQ(0, isam::LockFileRange(f->handle, 1000, 10, isam::kLockRelease));
}

TEST_F(LocksTest, UnknownLockTypeIsFatal1105) {
  isam::EngineOsFile* f = Open("t.dat", isam::kModeShared, true);
  isam::LockFileRange(f->handle, 0, 1, 3);
  EXPECT_EQ(isam::kFatalBadLockType, enginetest::LastFatalCode());
}

TEST_F(LocksTest, MemberSlotsGive256SharedOpenersAndExcludeExclusiveOnes) {
  isam::EngineOsFile* host = Open("host.dat", isam::kModeShared | isam::kModeKeptOpen, true);
  std::vector<std::unique_ptr<isam::EngineOsFile>> members;
  for (int i = 0; i < 257; ++i) {
    members.push_back(std::make_unique<isam::EngineOsFile>());
    isam::EngineOsFile* m = members.back().get();
    m->host = host;
    m->member_number = 4;
    int rc = isam::OsOpenFile(m, "host.dat!events", isam::kModeShared);
    if (i < 256) {
      ASSERT_EQ(0, rc) << i;
      EXPECT_EQ(i, m->member_slot);
    } else {
      EXPECT_EQ(isam::kEngOpenFailed, rc);
    }
  }
  EXPECT_EQ(256, host->lock_count);
  isam::EngineOsFile exclusive;
  exclusive.host = host;
  exclusive.member_number = 4;
  // Closing all but one slot is not enough for an exclusive open.
  for (int i = 0; i < 255; ++i) isam::OsCloseFile(members[i].get());
  EXPECT_EQ(isam::kEngOpenFailed, isam::OsOpenFile(&exclusive, "host.dat!events", 0));
  isam::OsCloseFile(members[255].get());
  EXPECT_EQ(0, host->lock_count);
  ASSERT_EQ(0, isam::OsOpenFile(&exclusive, "host.dat!events", 0));
  EXPECT_EQ(-2, exclusive.member_slot);
  EXPECT_EQ(isam::kEngOpenFailed, isam::OsOpenFile(members[0].get(), "host.dat!events", isam::kModeShared));
  // Another member of the same host is not concerned.
  isam::EngineOsFile other;
  other.host = host;
  other.member_number = 5;
  EXPECT_EQ(0, isam::OsOpenFile(&other, "host.dat!other", isam::kModeShared));
  isam::OsCloseFile(&other);
  isam::OsCloseFile(&exclusive);
  EXPECT_EQ(0, host->lock_count);
}

TEST_F(LocksTest, MembersOfAnExclusiveHostTakeNoSlot) {
  isam::EngineOsFile* host = Open("xh.dat", isam::kModeKeptOpen, true);
  isam::EngineOsFile a, b;
  a.host = b.host = host;
  a.member_number = b.member_number = 2;
  EXPECT_EQ(0, isam::OsOpenFile(&a, "xh.dat!m", isam::kModeShared));
  EXPECT_EQ(0, isam::OsOpenFile(&b, "xh.dat!m", 0));
  EXPECT_EQ(-1, a.member_slot);
  EXPECT_EQ(0, platform::HeldOsFileRanges(host->handle));
}

// ---- two processes ----

constexpr uint32_t kUnit = 77;

TEST(LockChild, Contender) {
  if (testsupport::ChildRole() != "contender") GTEST_SKIP();
  const std::string file = testsupport::ChildValue("LOCK_FILE");
  const std::string dir = testsupport::ChildValue("LOCK_DIR");
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  ASSERT_EQ(0, isam::EngineStart(10, 2, 6, 10, 0, nullptr, nullptr, nullptr));
  isam::EngineOsFile f;
  // The other process has it open shared: an exclusive open must fail.
  EXPECT_EQ(isam::kEngOpenFailed, isam::OsOpenFile(&f, file.c_str(), 0));
  ASSERT_EQ(0, isam::OsOpenFile(&f, file.c_str(), isam::kModeShared));
  isam::SetLockWaitPolicy({4, 4, 10});
  EXPECT_EQ(isam::kEngRecordLocked, isam::RecordLock(&f, kUnit, 0, false));
  EXPECT_EQ(isam::kEngNodeLocked, isam::NodeLock(&f, kUnit, 0));
  // Now wait for real (bounded): the holder lets go once it sees this file.
  isam::SetLockWaitPolicy({6000, 6000, 10});
  testsupport::TouchFile(dir + "/waiting");
  EXPECT_EQ(0, isam::RecordLock(&f, kUnit, 0, true));
  // End the process with the lock and the file held: that must drop them.
  platform::EndProcess(::testing::Test::HasFailure() ? 1 : 0);
}

TEST_F(LocksTest, TwoProcessesContendForOneRecordUnit) {
  isam::EngineOsFile* f = Open("shared.dat", isam::kModeShared, true);
  ASSERT_EQ(0, isam::RecordLock(f, kUnit, 0, false));
  platform::ChildProcess* child = testsupport::StartChildTest(
      "LockChild.Contender", "contender",
      {"LOCK_FILE=" + PathIn("shared.dat"), "LOCK_DIR=" + dir_.string()});
  ASSERT_NE(nullptr, child);
  bool waiting = testsupport::WaitForFile(PathIn("waiting"), 120000);
  EXPECT_TRUE(waiting);
  platform::SleepMilliseconds(50);
  EXPECT_EQ(0, isam::RecordUnlock(f, kUnit));
  EXPECT_EQ(0, testsupport::WaitChildTest(child));
  // The child ended holding the lock; it is free again.
  isam::SetLockWaitPolicy({3, 3, 10});
  EXPECT_EQ(0, isam::RecordLock(f, kUnit, 0, false));
  EXPECT_EQ(0, isam::RecordUnlock(f, kUnit));
}

}  // namespace
