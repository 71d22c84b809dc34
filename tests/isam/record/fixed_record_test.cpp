#include "isam/record/fixed_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "isam/index/file_close.h"
#include "isam/index/file_create.h"
#include "isam/index/file_header.h"
#include "platform/os_file_faults.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

class FixedRecordTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    ASSERT_EQ(0, CreateDataFile(1, Path("fixed.dat").c_str(), 50, 1000, 0));
  }
  uint32_t Add(char fill) {
    const uint32_t at = NewDataRecord(1);
    char rec[50];
    std::memset(rec, fill, sizeof rec);
    EXPECT_EQ(0, WriteDataRecordAt(1, at, rec));
    return at;
  }
};

TEST_F(FixedRecordTest, RecordsFollowTheHeaderAndTheAnchorOnTheRecordGrid) {
  // 150 is the first multiple of 50 after the header; the file's resource
  // anchor takes it.
  EXPECT_EQ(200u, Add('a'));
  EXPECT_EQ(250u, Add('b'));
  char back[50];
  ASSERT_EQ(0, ReadDataRecordAt(1, 250, back));
  EXPECT_EQ('b', back[49]);
  EXPECT_EQ(2, DataRecordCount(1));
  EXPECT_EQ(29, ReadDataRecordAt(1, 0, back));
  EXPECT_EQ(30, ReadDataRecordAt(1, 300, back)) << "beyond the logical end";
  EXPECT_EQ(30, ReadDataRecordAt(1, 225, back)) << "off the record grid";
  EXPECT_EQ(33, ReadDataRecordAt(1, 200, nullptr));
}

TEST_F(FixedRecordTest, DeletedRecordsComeBackLastDeletedFirst) {
  uint32_t at[6];
  for (int i = 1; i <= 5; ++i) at[i] = Add(static_cast<char>('0' + i));
  ASSERT_EQ(0, ReleaseDataRecord(1, at[3]));
  ASSERT_EQ(0, ReleaseDataRecord(1, at[5]));
  EXPECT_EQ(3, DataRecordCount(1));
  EXPECT_EQ(at[5], NewDataRecord(1));
  EXPECT_EQ(at[3], NewDataRecord(1));
  EXPECT_EQ(at[5] + 50, NewDataRecord(1)) << "empty stack: the end of the file";
}

TEST_F(FixedRecordTest, ASecondDeleteIsRefusedWhereverTheRecordLiesInTheStack) {
  const uint32_t a = Add('a'), b = Add('b');
  Add('c');
  ASSERT_EQ(0, ReleaseDataRecord(1, a));
  ASSERT_EQ(0, ReleaseDataRecord(1, b));
  EXPECT_EQ(32, ReleaseDataRecord(1, b)) << "on top";
  EXPECT_EQ(32, ReleaseDataRecord(1, a)) << "below the top: must not make a cycle";
  EXPECT_EQ(b, NewDataRecord(1));
  EXPECT_EQ(a, NewDataRecord(1));
  const uint32_t fresh = NewDataRecord(1);
  EXPECT_NE(a, fresh);
  EXPECT_NE(b, fresh);
}

TEST_F(FixedRecordTest, ALiveRecordThatStartsLikeADeletedOneCanBeDeleted) {
  const uint32_t a = Add('a');
  const uint32_t live = Add(static_cast<char>(0xFF));
  ASSERT_EQ(0, ReleaseDataRecord(1, a));
  ASSERT_EQ(0, ReleaseDataRecord(1, live)) << "0xFF data is not on the stack";
  EXPECT_EQ(32, ReleaseDataRecord(1, live));
  EXPECT_EQ(32, ReleaseDataRecord(1, a));
  EXPECT_EQ(0, DataRecordCount(1));
  EXPECT_EQ(live, NewDataRecord(1));
  EXPECT_EQ(a, NewDataRecord(1));
}

TEST_F(FixedRecordTest, ADamagedStackTopIsReportedNotHandedOut) {
  const uint32_t a = Add('a');
  ASSERT_EQ(0, ReleaseDataRecord(1, a));
  const char live[50] = "overwritten";
  ASSERT_EQ(0, WriteDataRecordAt(1, a, live));
  EXPECT_EQ(0u, NewDataRecord(1));
  EXPECT_EQ(31, CurrentInstance()->eng_err);
}

// A new record at the end claims its space and raises the counts in one
// header write; a failed or torn write at any step must leave the header
// in memory as the disk has it (no end the disk never took), and the next
// add must get the very slot the failed one would have.
TEST_F(FixedRecordTest, AFailedWriteWhileClaimingNewSpaceLeavesTheOldHeader) {
  struct Case {
    bool grows_physically;  // the claim also fills and flushes an extension
    platform::FileFaultKind kind;
  };
  const Case cases[] = {{false, platform::FileFaultKind::kFail},
                        {false, platform::FileFaultKind::kShort},
                        {true, platform::FileFaultKind::kFail},
                        {true, platform::FileFaultKind::kShort}};
  constexpr int file = 2;
  int made = 0;
  for (const Case& c : cases) {
    for (uint64_t nth = 1;; ++nth) {
      SCOPED_TRACE(testing::Message() << "grows " << c.grows_physically << " short "
                                      << (c.kind == platform::FileFaultKind::kShort) << " write " << nth);
      ++made;
      ASSERT_EQ(0, CreateDataFile(file, Path(("claim" + std::to_string(made) + ".dat").c_str()).c_str(), 50,
                                  c.grows_physically ? 50 : 1000, 0));
      const uint32_t first = NewDataRecord(file);
      ASSERT_NE(0u, first);
      const uint32_t expected = first + 50;
      platform::ArmFileFault({platform::FileFaultOp::kWrite, nth, c.kind, false});
      const uint32_t at = NewDataRecord(file);
      const bool fired = platform::FileFaultFired();
      platform::DisarmFileFaults();
      if (!fired) {
        EXPECT_EQ(expected, at);
        ASSERT_EQ(0, CloseFileEntry(file));
        break;
      }
      EXPECT_EQ(0u, at);
      FileControlBlock* fcb = CheckFileNumber(file);
      ASSERT_NE(nullptr, fcb);
      uint8_t raw[kFileHeaderSize];
      int32_t count = 0;
      ASSERT_EQ(0, FilePositionedIo(0, &fcb->os, 0, raw, static_cast<int32_t>(kFileHeaderSize), &count));
      FileHeader disk;
      DecodeFileHeader(raw, &disk);
      EXPECT_EQ(disk.logical_end, fcb->header.logical_end);
      EXPECT_EQ(disk.active_count, fcb->header.active_count);
      EXPECT_EQ(1u, disk.active_count);
      EXPECT_EQ(expected, NewDataRecord(file)) << "the slot is claimed again";
      EXPECT_EQ(2, DataRecordCount(file));
      ASSERT_EQ(0, CloseFileEntry(file));
    }
  }
}

TEST_F(FixedRecordTest, NonFixedFilesAreRefused) {
  ASSERT_EQ(0, CreateDataFile(2, Path("var.dat").c_str(), 10, 1000, kModeVariable));
  EXPECT_EQ(0u, NewDataRecord(2));
  EXPECT_EQ(48, CurrentInstance()->eng_err);
  EXPECT_EQ(-1, DataRecordCount(2));
}

}  // namespace
}  // namespace isam
