#include "isam/index/file_close.h"

#include <gtest/gtest.h>

#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/record/fixed_record.h"
#include "isam/record/record_lock.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

using FileClose = RecordEngineTest;

// What this instance noted of a file's record locks ends with the file: a
// file opened later at the same number holds none of them.
TEST_F(FileClose, RecordLocksOfADataFileEndWithIt) {
  const std::string first = Path("first.dat");
  const std::string second = Path("second.dat");
  ASSERT_EQ(0, CreateDataFile(1, first.c_str(), 20, 1000, 0));
  ASSERT_NE(0u, NewDataRecord(1));
  ASSERT_EQ(0, CreateDataFile(2, second.c_str(), 20, 1000, 0));
  ASSERT_NE(0u, NewDataRecord(2));
  ASSERT_EQ(0, CloseFileEntry(1));
  ASSERT_EQ(0, CloseFileEntry(2));
  ASSERT_EQ(0, OpenFileEntry(1, first.c_str(), kModeShared));
  EnableRecordLocking(true);
  ASSERT_EQ(0, LockRecord(1, kLockWrite, 140));
  ASSERT_EQ(1, RecordLockCount(1));
  ASSERT_EQ(0, CloseFileEntry(1));
  EXPECT_EQ(0, RecordLockCount(1));
  ASSERT_EQ(0, OpenFileEntry(1, second.c_str(), kModeShared));
  EXPECT_EQ(57, CheckRecordLocked(1, kLockWrite, 140));
  EXPECT_EQ(41, LockRecord(1, kLockUnlock, 140));
}

}  // namespace
}  // namespace isam
