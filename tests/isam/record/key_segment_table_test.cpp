#include "isam/record/key_segment_table.h"

#include <gtest/gtest.h>

#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

using KeySegmentTable = RecordEngineTest;

TEST_F(KeySegmentTable, SegmentsAndTheEntryAreSetReadAndCleared) {
  constexpr int kKey = 7;
  ASSERT_EQ(0, SetKeySegment(kKey, 0, 4, 10, 2));
  ASSERT_EQ(0, SetKeySegment(kKey, 1, 20, 4, 8 | 0x10));
  EXPECT_EQ(10, GetKeySegment(kKey, 0, kSegmentLength));
  EXPECT_EQ(2, GetKeySegment(kKey, 0, kSegmentMode));
  EXPECT_EQ(4, GetKeySegment(kKey, 0, kSegmentOffset));
  EXPECT_EQ(0x18, GetKeySegment(kKey, 1, kSegmentMode));
  EXPECT_EQ(0xFFFF, GetKeySegment(kKey, 0, 4));
  EXPECT_EQ(-1, GetKeySegment(kKey, 0, kSegmentLength | 0x8000));

  // Not an ISAM index until its entry names a data file.
  EXPECT_EQ(nullptr, IsamIndexRow(kKey));
  ASSERT_EQ(0, SetKeySegment(kKey, kKeyTableEntry, 1, ' ', 3));
  const IsamKeyRow* row = IsamIndexRow(kKey);
  ASSERT_NE(nullptr, row);
  EXPECT_EQ(row->def.flags, 1);
  EXPECT_EQ(row->def.null_byte, ' ');
  EXPECT_EQ(row->def.data_file, 3);
  EXPECT_EQ(row->def.segments[1].offset, 20);

  // A cleared segment ends the list there.
  ASSERT_EQ(0, ClearKeySegment(kKey, 1));
  EXPECT_EQ(-1, GetKeySegment(kKey, 1, kSegmentOffset));
  EXPECT_EQ(10, GetKeySegment(kKey, 0, kSegmentLength));

  EXPECT_EQ(109, SetKeySegment(kKey, 12, 0, 1, 0));
  EXPECT_EQ(-1, GetKeySegment(kKey, -1, kSegmentLength));
  EXPECT_EQ(CurrentInstance()->isam_error, 109);
  EXPECT_EQ(80, SetKeySegment(-1, 0, 0, 1, 0));
  EXPECT_EQ(80, ClearKeySegment(CurrentInstance()->file_count, 0));
  EXPECT_EQ(116, SetKeySegment(kKey, 2, 0, -3, 0));
}

}  // namespace
}  // namespace isam
