#include "isam/record/isam_saved_position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "isam/fileset/isam_start.h"
#include "isam/index/key_search.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"
#include "tests/isam/record/isam_set_fixtures.h"

namespace isam {
namespace {

class SavedPositionTest : public EventSetTest {
 protected:
  void SetUp() override {
    EventSetTest::SetUp();
    for (int i = 0; i < 6; ++i) ASSERT_EQ(0, Add("uid-" + std::to_string(i), static_cast<uint32_t>(60 - i)));
  }
  // Reads by UID and answers the position it made current.
  uint32_t Go(int i) {
    std::vector<uint8_t> r;
    EXPECT_EQ(0, ReadUid("uid-" + std::to_string(i), &r)) << i;
    return CurrentRecordPosition(data_);
  }
  // The UID of the next record by index `key` from where the file stands.
  std::string NextBy(int key) {
    std::vector<uint8_t> buf(512);
    int32_t len = 512;
    if (IsamRecordNext(key, buf.data(), &len) != 0) return "";
    buf.resize(static_cast<std::size_t>(len));
    return UidOf(buf);
  }
};

TEST_F(SavedPositionTest, ARestoredPositionIsWhereTheFileStoodForEveryIndex) {
  const uint32_t at2 = Go(2);
  ASSERT_EQ(4, SaveIsamPosition(data_, kSaveAllKeys, 4));
  Go(5);
  ASSERT_EQ(0, RestoreIsamPosition(4));
  EXPECT_EQ(at2, CurrentRecordPosition(data_));
  EXPECT_EQ("uid-3", NextBy(uid_));
  ASSERT_EQ(0, RestoreIsamPosition(4));
  EXPECT_EQ("uid-1", NextBy(serial_)) << "serials fall as the UIDs rise";
  // The index's own search position follows the restored key too.
  ASSERT_EQ(0, RestoreIsamPosition(4));
  uint8_t key[256];
  ASSERT_NE(0u, IndexNextKey(uid_, key));
  EXPECT_EQ(UidTarget("uid-3"), std::vector<uint8_t>(key, key + 200));
  // One index only: the other index's current key is the record's own.
  Go(0);
  ASSERT_EQ(5, SaveIsamPosition(data_, uid_, 5));
  Go(4);
  ASSERT_EQ(0, RestoreIsamPosition(5));
  EXPECT_EQ("uid-1", NextBy(uid_));
  EXPECT_EQ(-48, SaveIsamPosition(data_, data_ + 7, 6)) << "not an index of the file";
  EXPECT_EQ(-48, SaveIsamPosition(uid_, kSaveAllKeys, 6)) << "not a data file";
}

TEST_F(SavedPositionTest, NumbersGoOnAfterTheLastAssignedAndATakenOneIsRefused) {
  Go(1);
  EXPECT_EQ(1, SaveIsamPosition(data_, kSaveAllKeys, kNextFreeSavedPosition));
  EXPECT_EQ(7, SaveIsamPosition(data_, kSaveAllKeys, 7));
  EXPECT_EQ(8, SaveIsamPosition(data_, kSaveAllKeys, kNextFreeSavedPosition));
  EXPECT_EQ(9 + kSavedPositionBuckets, SaveIsamPosition(data_, kSaveAllKeys, 9 + kSavedPositionBuckets));
  EXPECT_EQ(-592, SaveIsamPosition(data_, kSaveAllKeys, 7));
  EXPECT_EQ(592, CurrentInstance()->isam_error);
  EXPECT_EQ(-116, SaveIsamPosition(data_, kSaveAllKeys, -2));
  EXPECT_EQ(4, SavedIsamPositionCount());
  // Past the highest number it wraps and skips the taken ones.
  EXPECT_EQ(0x7FFF, SaveIsamPosition(data_, kSaveAllKeys, 0x7FFF));
  EXPECT_EQ(0, SaveIsamPosition(data_, kSaveAllKeys, kNextFreeSavedPosition));
  EXPECT_EQ(2, SaveIsamPosition(data_, kSaveAllKeys, kNextFreeSavedPosition));
  // Numbers sharing a bucket stay apart.
  EXPECT_EQ(590, FreeIsamPosition(9));
  ASSERT_EQ(0, FreeIsamPosition(9 + kSavedPositionBuckets));
  EXPECT_EQ(590, FreeIsamPosition(9 + kSavedPositionBuckets));
  EXPECT_EQ(590, RestoreIsamPosition(9 + kSavedPositionBuckets));
  EXPECT_EQ(590, RestoreIsamPosition(99));
  EXPECT_EQ(0, RestoreIsamPosition(7));
}

// A data file's active position keeps the place left when another one is
// restored, so switching between two positions comes back to where each
// was left, not where it was first saved.
TEST_F(SavedPositionTest, SwitchingPositionsKeepsThePlaceLeftInTheActiveOne) {
  const uint32_t at0 = Go(0);
  ASSERT_EQ(1, SaveIsamPosition(data_, kSaveAllKeys, 1));
  Go(1);
  ASSERT_EQ(2, SaveIsamPosition(data_, kSaveAllKeys, 2));
  const uint32_t at3 = Go(3);
  ASSERT_EQ(0, RestoreIsamPosition(1));
  EXPECT_EQ(at0, CurrentRecordPosition(data_));
  ASSERT_EQ(0, RestoreIsamPosition(2));
  EXPECT_EQ(at3, CurrentRecordPosition(data_)) << "2 was refreshed when 1 was restored";
  EXPECT_EQ("uid-4", NextBy(uid_));
  // Freed with the file, the others stay.
  ASSERT_EQ(0, FreeIsamPositionsOfFile(data_));
  EXPECT_EQ(0, SavedIsamPositionCount());
  EXPECT_EQ(590, RestoreIsamPosition(1));
}

// While the file is open, a position saved before its index list changed
// (an index gone, a key length changed: what the maintenance utilities do to
// an open set) no longer fits (591); the file stays where it stood before
// the call. A data file's positions go when it closes, so a file opened
// later under the number never takes them.
TEST_F(SavedPositionTest, PositionsGoWithTheirFileAndNoLongerFitAChangedIndexSet) {
  Go(2);
  ASSERT_EQ(1, SaveIsamPosition(data_, kSaveAllKeys, 1));
  ASSERT_EQ(3, SaveIsamPosition(data_, serial_, 3));
  ASSERT_EQ(5, SaveIsamPosition(data_, uid_, 5));
  const uint32_t at4 = Go(4);
  IsamTables* t = CurrentIsamTables();
  ASSERT_NE(nullptr, t);
  std::vector<int16_t>& keys = t->File(data_).keys;
  const std::vector<int16_t> all = keys;
  keys.erase(std::remove(keys.begin(), keys.end(), static_cast<int16_t>(serial_)), keys.end());
  EXPECT_EQ(591, RestoreIsamPosition(3)) << "the serial index is gone";
  EXPECT_EQ(591, RestoreIsamPosition(1)) << "one of its indexes is gone";
  EXPECT_EQ(at4, CurrentRecordPosition(data_)) << "the place before the call";
  ASSERT_EQ(0, RestoreIsamPosition(5)) << "the UID index is still there";
  keys = all;
  Go(0);
  const uint16_t length = t->Key(uid_).def.key_length;
  t->Key(uid_).def.key_length = static_cast<uint16_t>(length - 10);
  EXPECT_EQ(591, RestoreIsamPosition(1)) << "the UID key's length changed";
  t->Key(uid_).def.key_length = length;
  EXPECT_EQ(0, RestoreIsamPosition(1)) << "fits again";
  // Closed: its positions are gone, reopened or not.
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  EXPECT_EQ(0, SavedIsamPositionCount());
  EXPECT_EQ(590, RestoreIsamPosition(1));
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  EXPECT_EQ(590, RestoreIsamPosition(5));
  ASSERT_EQ(7, SaveIsamPosition(data_, kSaveAllKeys, 7));
  EXPECT_EQ(1, SavedIsamPositionCount());
}

// Saved positions go with the engine: nothing of them outlives its stop
// (the sanitizer build reports any block left), and a new start begins
// with an empty table and the first number again.
TEST_F(SavedPositionTest, PositionsEndWithTheEngine) {
  Go(1);
  for (int i = 0; i < 40; ++i) ASSERT_GE(SaveIsamPosition(data_, kSaveAllKeys, kNextFreeSavedPosition), 0);
  ASSERT_EQ(0, IsamShutdown());
  ASSERT_EQ(0, EngineStart(16, 60, 6, 16, 33, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, SavedIsamPositionCount());
  EXPECT_EQ(590, RestoreIsamPosition(1));
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  data_ = set_->block.assigned;
  uid_ = data_ + 1;
  Go(1);
  EXPECT_EQ(1, SaveIsamPosition(data_, kSaveAllKeys, kNextFreeSavedPosition));
}

}  // namespace
}  // namespace isam
