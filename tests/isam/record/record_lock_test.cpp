#include "isam/record/record_lock.h"

#include <gtest/gtest.h>

#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/record/fixed_record.h"
#include "isam/record/transaction.h"
#include "isam/runtime/engine_start.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

// Two openers of one shared file (numbers 1 and 2) stand for two processes:
// their lock bytes conflict like those of separate processes.
class RecordLockTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    path_ = Path("locks.dat");
    ASSERT_EQ(0, CreateDataFile(1, path_.c_str(), 20, 1000, 0));
    for (int i = 0; i < 4; ++i) ASSERT_NE(0u, NewDataRecord(1));
    CloseAllFiles();
    ASSERT_EQ(0, OpenFileEntry(1, path_.c_str(), kModeShared));
    ASSERT_EQ(0, OpenFileEntry(2, path_.c_str(), kModeShared));
    EnableRecordLocking(true);
  }
  std::string path_;
};

TEST_F(RecordLockTest, AWriteLockKeepsOtherOpenersOutUntilReleased) {
  ASSERT_EQ(0, LockRecord(1, kLockWrite, 140));
  EXPECT_EQ(0, LockRecord(1, kLockWrite, 140)) << "again from the holder: free";
  EXPECT_EQ(1, RecordLockCount());
  EXPECT_EQ(42, LockRecord(2, kLockWrite, 140));
  EXPECT_EQ(0, LockRecord(2, kLockWrite, 160)) << "another record";
  EXPECT_EQ(0, CheckRecordLocked(1, kLockWrite, 140));
  EXPECT_EQ(57, CheckRecordLocked(1, kLockWrite, 160));
  ASSERT_EQ(0, LockRecord(1, kLockUnlock, 140));
  EXPECT_EQ(0, LockRecord(2, kLockWrite, 140));
  EXPECT_EQ(41, LockRecord(1, kLockUnlock, 140));
  EXPECT_EQ(0, LockRecord(2, kLockUnlockFile, 0));
  EXPECT_EQ(0, RecordLockCount());
}

TEST_F(RecordLockTest, DeleteOnASharedFileNeedsTheWriteLock) {
  ASSERT_EQ(0, IsamSetLockMode(2));
  EXPECT_EQ(57, ReleaseDataRecord(1, 140));
  ASSERT_EQ(0, LockRecord(1, kLockWrite, 140));
  EXPECT_EQ(0, ReleaseDataRecord(1, 140));
}

TEST_F(RecordLockTest, LockModeSwitchesRefuseHeldSessionLocks) {
  ASSERT_EQ(0, IsamSetLockMode(2));
  ASSERT_EQ(0, IsamLockCurrent(1, 140, false));
  EXPECT_EQ(0, IsamSetLockMode(3)) << "between locking modes directly";
  ASSERT_EQ(0, IsamSetLockMode(5));
  EXPECT_EQ(0, IsamSetLockMode(6));
  EXPECT_EQ(-2, IsamSetLockMode(128));
  ASSERT_EQ(0, IsamSetLockMode(0));
  EXPECT_EQ(0, RecordLockCount()) << "mode 0 releases the session's locks";
  EXPECT_EQ(0, IsamSetLockMode(6)) << "nothing to resume";
  EXPECT_EQ(0, -IsamSetLockMode(128));
  ASSERT_EQ(0, IsamSetLockMode(2));
  ASSERT_EQ(0, IsamLockCurrent(1, 160, false));
  ASSERT_EQ(0, IsamSetLockMode(5));
  EXPECT_EQ(112, IsamSetLockMode(2)) << "not a direct switch, and a session lock is held";
  EXPECT_EQ(5, -IsamSetLockMode(128));
  EXPECT_EQ(0, IsamSetLockMode(0));
  EXPECT_EQ(0, LockRecord(2, kLockWrite, 160)) << "the OS lock went too";
}

TEST_F(RecordLockTest, LockModeNeedsLockingEnabled) {
  EnableRecordLocking(false);
  EXPECT_EQ(464, IsamSetLockMode(2));
}

// A file kept for transaction processing takes changes only inside a
// transaction; outside one every update is refused with 99.
TEST_F(RecordEngineTest, ATransactionFileTakesChangesOnlyInsideATransaction) {
  ASSERT_EQ(0, CreateDataFile(1, Path("tx.dat").c_str(), 20, 1000, 0));
  Fcb(1)->header.kept_mode |= kModeTransaction;
  EXPECT_EQ(0u, NewDataRecord(1));
  EXPECT_EQ(99, CurrentInstance()->eng_err);
  ASSERT_EQ(1, BeginTransaction(0));
  const uint32_t at = NewDataRecord(1);
  EXPECT_NE(0u, at);
  ASSERT_EQ(0, CommitTransaction(kReleaseAll));
  EXPECT_EQ(99, ReleaseDataRecord(1, at));
  Fcb(1)->header.kept_mode &= static_cast<uint16_t>(~kModeTransaction);
}

TEST_F(RecordLockTest, TransactionsCountSavepointsAndReleaseTheirLocks) {
  EXPECT_EQ(71, CommitTransaction(0));
  ASSERT_EQ(0, LockRecord(1, kLockWrite, 120));  // taken outside
  ASSERT_EQ(1, BeginTransaction(2));
  EXPECT_EQ(0, BeginTransaction(0));
  EXPECT_EQ(70, CurrentInstance()->eng_err);
  EXPECT_EQ(1, SetSavepoint());
  EXPECT_EQ(2, SetSavepoint());
  EXPECT_EQ(0, RestoreSavepoint(-1));
  EXPECT_EQ(71, RestoreSavepoint(3));
  EXPECT_EQ(0, ClearSavepoint());
  ASSERT_EQ(0, LockRecord(1, kLockWrite, 140));  // taken inside
  ASSERT_EQ(0, CommitTransaction(kReleaseInTransaction));
  EXPECT_EQ(1, RecordLockCount());
  EXPECT_EQ(0, CheckRecordLocked(1, kLockWrite, 120));
  EXPECT_EQ(71, ClearSavepoint());
  ASSERT_EQ(1, BeginTransaction(0));
  ASSERT_EQ(0, AbortTransaction(kReleaseAll));
  EXPECT_EQ(0, RecordLockCount());
}

TEST_F(RecordLockTest, CommitStarKeepsOnlyLocksTakenOutsideATransaction) {
  ASSERT_EQ(0, IsamSetLockMode(2));
  ASSERT_EQ(0, IsamLockCurrent(1, 120, false));  // a session lock from outside
  ASSERT_EQ(1, BeginTransaction(0));
  ASSERT_EQ(0, IsamLockCurrent(1, 140, false));  // a session lock from inside
  ASSERT_EQ(0, LockRecord(1, kLockWrite, 160));  // a plain lock from inside
  ASSERT_EQ(0, CommitTransaction(kReleaseNotOutside));
  EXPECT_EQ(1, RecordLockCount());
  EXPECT_EQ(0, CheckRecordLocked(1, kLockWrite, 120));
  EXPECT_EQ(0, LockRecord(2, kLockWrite, 140)) << "released at the OS too";
  EXPECT_EQ(0, LockRecord(2, kLockWrite, 160));
  EXPECT_EQ(2, -IsamSetLockMode(128)) << "the lock mode stays";

  // Savepoint 0 is the start of the transaction, once a savepoint exists.
  ASSERT_EQ(1, BeginTransaction(0));
  EXPECT_EQ(71, RestoreSavepoint(0));
  ASSERT_EQ(1, SetSavepoint());
  EXPECT_EQ(0, RestoreSavepoint(0));
  EXPECT_EQ(0, RestoreSavepoint(-2)) << "back to the start";
  EXPECT_EQ(71, RestoreSavepoint(-3));
  EXPECT_EQ(2, SetSavepoint()) << "restoring leaves the counter";
  ASSERT_EQ(0, AbortTransaction(kReleaseAll));
  EXPECT_EQ(0, -IsamSetLockMode(128));
}

TEST_F(RecordLockTest, AReadTakesTheLockTheReadLockRequestAsksForOnce) {
  char buf[20];
  ASSERT_LE(0, EngineOptionWord(0x4, 2));
  ASSERT_EQ(0, ReadDataRecordAt(1, 140, buf));
  EXPECT_EQ(0, CheckRecordLocked(1, kLockWrite, 140)) << "kept after a good read";
  EXPECT_EQ(0, ReadDataRecordAt(2, 140, buf)) << "the request was used up";
  ASSERT_LE(0, EngineOptionWord(0x4, 2));
  EXPECT_EQ(42, ReadDataRecordAt(2, 140, buf));
  EXPECT_EQ(0, RecordLockCount(2));
  ASSERT_LE(0, EngineOptionWord(0x4, 2));
  EXPECT_EQ(30, ReadDataRecordAt(1, 150, buf)) << "a bad position takes no lock";
  EXPECT_EQ(1, RecordLockCount());
  EXPECT_EQ(0, ReadDataRecordAt(2, 160, buf)) << "and used up too";
  EXPECT_EQ(1, RecordLockCount());
}

TEST_F(RecordLockTest, ANewRecordOfASharedFileIsWriteLockedForItsAdder) {
  ASSERT_EQ(0, IsamSetLockMode(2));
  const uint32_t at = NewDataRecord(1);
  ASSERT_NE(0u, at);
  EXPECT_EQ(0, CheckRecordLocked(1, kLockWrite, at));
  EXPECT_EQ(42, LockRecord(2, kLockWrite, at));
  ASSERT_EQ(0, ReleaseDataRecord(1, at)) << "the adder may take it back at once";
  EXPECT_EQ(0, RecordLockCount());
  // The other opener's new record is the same slot, now locked for it.
  EXPECT_EQ(at, NewDataRecord(2));
  EXPECT_EQ(42, LockRecord(1, kLockWrite, at));
}

}  // namespace
}  // namespace isam
