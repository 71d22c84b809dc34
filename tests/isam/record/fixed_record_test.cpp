#include "isam/record/fixed_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "isam/index/file_create.h"
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

TEST_F(FixedRecordTest, NonFixedFilesAreRefused) {
  ASSERT_EQ(0, CreateDataFile(2, Path("var.dat").c_str(), 10, 1000, kModeVariable));
  EXPECT_EQ(0u, NewDataRecord(2));
  EXPECT_EQ(48, CurrentInstance()->eng_err);
  EXPECT_EQ(-1, DataRecordCount(2));
}

}  // namespace
}  // namespace isam
