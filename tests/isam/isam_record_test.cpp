#include "isam/isam_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "isam/btree_update.h"
#include "isam/free_space_index.h"
#include "isam/isam_record_keys.h"
#include "isam/key_search.h"
#include "isam/resource_chain.h"
#include "isam/varlen_record.h"
#include "tests/isam/isam_record_test_set.h"
#include "tests/isam/varlen_test_engine.h"

namespace isam {
namespace {

class IsamRecordTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    Path("cal.dat");
    Path("cal.idx");
    set_ = std::make_unique<EventShapedSet>(Path("cal"), kModeVariable, 0);
    ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
    data_ = set_->block.assigned;
    uid_ = data_ + 1;
    serial_ = data_ + 2;
  }
  int Add(const std::string& uid, uint32_t serial, std::size_t filler = 0) {
    const auto r = EventRecord(uid, serial, filler);
    return IsamRecordAdd(data_, r.data(), static_cast<int32_t>(r.size()));
  }
  int ReadUid(const std::string& uid, std::vector<uint8_t>* out) {
    out->assign(4096, 0);
    int32_t len = 4096;
    const auto t = UidTarget(uid);
    const int rc = IsamRecordReadByKey(uid_, t.data(), kReadEqual, out->data(), &len);
    out->resize(rc == 0 ? static_cast<std::size_t>(len) : 0);
    return rc;
  }
  std::vector<std::string> WalkBy(int file) {
    std::vector<std::string> uids;
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    for (int rc = IsamRecordFirst(file, buf.data(), &len); rc == 0; rc = IsamRecordNext(file, buf.data(), &len)) {
      buf.resize(static_cast<std::size_t>(len));
      uids.push_back(UidOf(buf));
      buf.resize(4096);
      len = 4096;
    }
    return uids;
  }
  std::unique_ptr<EventShapedSet> set_;
  int data_ = -1, uid_ = -1, serial_ = -1;
};

TEST_F(IsamRecordTest, AddedRecordsAreFoundByEveryIndexAndPhysically) {
  ASSERT_EQ(0, Add("b-uid", 20));
  ASSERT_EQ(0, Add("a-uid", 30));
  ASSERT_EQ(0, Add("c-uid", 10, 500));
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("c-uid", &r));
  EXPECT_EQ(EventRecord("c-uid", 10, 500), r);
  EXPECT_EQ(101, ReadUid("d-uid", &r));
  EXPECT_EQ((std::vector<std::string>{"a-uid", "b-uid", "c-uid"}), WalkBy(uid_));
  EXPECT_EQ((std::vector<std::string>{"c-uid", "b-uid", "a-uid"}), WalkBy(serial_));
  EXPECT_EQ((std::vector<std::string>{"b-uid", "a-uid", "c-uid"}), WalkBy(data_))
      << "the physical walk skips the resources (anchor, definition)";
  // At least 25 finds the next serial.
  std::vector<uint8_t> buf(512);
  int32_t len = 512;
  const auto t = SerialTarget(25);
  ASSERT_EQ(0, IsamRecordReadByKey(serial_, t.data(), kReadAtLeast, buf.data(), &len));
  buf.resize(static_cast<std::size_t>(len));
  EXPECT_EQ("a-uid", UidOf(buf));
}

TEST_F(IsamRecordTest, ADuplicateUidLeavesNoRecordAndNoKeyBehind) {
  ASSERT_EQ(0, Add("same", 1));
  EXPECT_EQ(2, Add("same", 2));
  EXPECT_EQ(uid_, CurrentInstance()->isam_error_file);
  EXPECT_EQ(1u, Fcb(serial_)->header.active_count) << "the serial key was taken back";
  EXPECT_EQ((std::vector<std::string>{"same"}), WalkBy(data_));
  std::vector<uint8_t> buf(64);
  int32_t len = 64;
  const auto t = SerialTarget(2);
  EXPECT_EQ(101, IsamRecordReadByKey(serial_, t.data(), kReadEqual, buf.data(), &len));
  // The stretch went back to free space and serves the next add.
  std::vector<SpaceKey> keys;
  auto collect = [](void* c, const SpaceKey& k) {
    static_cast<std::vector<SpaceKey>*>(c)->push_back(k);
    return true;
  };
  SpaceIndexWalk(Fcb(data_), collect, &keys);
  ASSERT_EQ(1u, keys.size());
  ASSERT_EQ(0, Add("emas", 3));
  keys.clear();
  SpaceIndexWalk(Fcb(data_), collect, &keys);
  EXPECT_TRUE(keys.empty());
}

TEST_F(IsamRecordTest, NextAfterTheLastRecordIs101) {
  ASSERT_EQ(0, Add("only", 1));
  std::vector<uint8_t> buf(512);
  int32_t len = 512;
  ASSERT_EQ(0, IsamRecordFirst(uid_, buf.data(), &len));
  EXPECT_EQ(101, IsamRecordNext(uid_, buf.data(), &len));
  ASSERT_EQ(0, IsamRecordFirst(data_, buf.data(), &len));
  EXPECT_EQ(101, IsamRecordNext(data_, buf.data(), &len));
  EXPECT_EQ(101, IsamRecordNext(data_, buf.data(), &len));
}

TEST_F(IsamRecordTest, ASmallBufferGetsTheFullLengthAndTheRereadFillsIt) {
  ASSERT_EQ(0, Add("long", 1, 1000));
  std::vector<uint8_t> buf(100);
  int32_t len = 100;
  const auto t = UidTarget("long");
  ASSERT_EQ(0, IsamRecordReadByKey(uid_, t.data(), kReadEqual, buf.data(), &len));
  const int32_t full = static_cast<int32_t>(EventRecord("long", 1, 1000).size());
  EXPECT_EQ(full, len);
  EXPECT_EQ(153, IsamRecordReread(data_, buf.data(), 100));
  buf.resize(static_cast<std::size_t>(len));
  ASSERT_EQ(0, IsamRecordReread(data_, buf.data(), len));
  EXPECT_EQ(EventRecord("long", 1, 1000), buf);
  EXPECT_EQ(633, IsamRecordFirst(data_, buf.data(), nullptr));
  int32_t negative = -1;
  EXPECT_EQ(634, IsamRecordFirst(data_, buf.data(), &negative));
}

TEST_F(IsamRecordTest, RewritesMoveGrowingRecordsAndSwitchTheirKeys) {
  ASSERT_EQ(0, Add("mover", 5, 10));
  ASSERT_EQ(0, Add("blocker", 6, 10));
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("mover", &r));
  const uint32_t before = CurrentRecordPosition(data_);
  const auto grown = EventRecord("mover", 7, 800, 'g');
  ASSERT_EQ(0, IsamRecordRewrite(data_, grown.data(), static_cast<int32_t>(grown.size())));
  EXPECT_NE(before, CurrentRecordPosition(data_));
  VarRecordHeader h;
  ASSERT_EQ(0, ReadVarRecordHeader(Fcb(data_), before, &h));
  EXPECT_EQ(kMarkFree, h.mark) << "the old stretch is free space";
  ASSERT_EQ(0, ReadUid("mover", &r));
  EXPECT_EQ(grown, r);
  EXPECT_EQ((std::vector<std::string>{"blocker", "mover"}), WalkBy(serial_));
  std::vector<uint8_t> buf(64);
  int32_t len = 64;
  const auto old_serial = SerialTarget(5);
  EXPECT_EQ(101, IsamRecordReadByKey(serial_, old_serial.data(), kReadEqual, buf.data(), &len));
  // Shrinking stays in place.
  const uint32_t at = CurrentRecordPosition(data_);
  const auto shrunk = EventRecord("mover", 8);
  ASSERT_EQ(0, IsamRecordRewrite(data_, shrunk.data(), static_cast<int32_t>(shrunk.size())));
  EXPECT_EQ(at, CurrentRecordPosition(data_));
  ASSERT_EQ(0, ReadUid("mover", &r));
  EXPECT_EQ(shrunk, r);
  // A rewrite onto another record's UID is refused and changes nothing.
  const auto clash = EventRecord("blocker", 9);
  EXPECT_EQ(2, IsamRecordRewrite(data_, clash.data(), static_cast<int32_t>(clash.size())));
  ASSERT_EQ(0, ReadUid("mover", &r));
  EXPECT_EQ(shrunk, r);
}

// What a writer that died between an in-place record write and its serial
// key switch leaves: the old serial key names a record carrying another
// serial, and the record's own serial key is missing.
TEST_F(IsamRecordTest, AKeyLeftByAHalfDoneRewriteIsSteppedPastDroppedAndHealed) {
  ASSERT_EQ(0, Add("a-uid", 10));
  ASSERT_EQ(0, Add("b-uid", 20));
  ASSERT_EQ(0, Add("c-uid", 30));
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("b-uid", &r));
  const uint32_t at = CurrentRecordPosition(data_);
  uint8_t real[256], stale[256];
  ASSERT_GT(BuildRecordKey(serial_, r.data(), r.size(), at, real), 0);
  std::vector<uint8_t> other = r;
  other[6] ^= 0x55;
  ASSERT_GT(BuildRecordKey(serial_, other.data(), other.size(), at, stale), 0);
  ASSERT_EQ(0, delkey(serial_, real, at, 0));
  ASSERT_EQ(0, addkey(serial_, stale, at, 0));
  // The walk ends, passing the leftover, and leaves it behind no more.
  EXPECT_EQ((std::vector<std::string>{"a-uid", "c-uid"}), WalkBy(serial_));
  uint8_t found[256];
  const uint32_t p = FindKeyAtLeast(serial_, stale, found);
  EXPECT_FALSE(p != 0 && std::memcmp(found, stale, 8) == 0) << "the leftover key is gone";
  // The record still rewrites (its missing key counts as removed) and is
  // found through every index again.
  ASSERT_EQ(0, ReadUid("b-uid", &r));
  const auto again = EventRecord("b-uid", 40, 30);
  ASSERT_EQ(0, IsamRecordRewrite(data_, again.data(), static_cast<int32_t>(again.size())));
  auto walked = WalkBy(serial_);
  std::sort(walked.begin(), walked.end());
  EXPECT_EQ((std::vector<std::string>{"a-uid", "b-uid", "c-uid"}), walked);
  ASSERT_EQ(0, ReadUid("b-uid", &r));
  ASSERT_EQ(0, IsamRecordDelete(data_));
  EXPECT_EQ(101, ReadUid("b-uid", &r));
}

TEST_F(IsamRecordTest, DeleteRemovesEveryKeyAndTheSpace) {
  ASSERT_EQ(0, Add("gone", 1, 100));
  ASSERT_EQ(0, Add("kept", 2));
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("gone", &r));
  ASSERT_EQ(0, IsamRecordDelete(data_));
  EXPECT_EQ(100, IsamRecordDelete(data_)) << "no current record any more";
  EXPECT_EQ(101, ReadUid("gone", &r));
  EXPECT_EQ((std::vector<std::string>{"kept"}), WalkBy(serial_));
  EXPECT_EQ((std::vector<std::string>{"kept"}), WalkBy(data_));
}

TEST_F(IsamRecordTest, RecordsShorterThanTheFixedPartAreRefused) {
  uint8_t r[10] = {};
  EXPECT_EQ(149, IsamRecordAdd(data_, r, 10));
  EXPECT_EQ(100, IsamRecordRewrite(data_, r, 14));
  EXPECT_EQ(48, IsamRecordAdd(uid_, r, 14));
}

TEST_F(IsamRecordTest, ReopenedSetFindsItsRecords) {
  for (int i = 0; i < 300; ++i) ASSERT_EQ(0, Add("uid-" + std::to_string(i), static_cast<uint32_t>(i), i % 50));
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  EXPECT_EQ(-1, set_->block.assigned);
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  data_ = set_->block.assigned;
  uid_ = data_ + 1;
  serial_ = data_ + 2;
  std::vector<uint8_t> r;
  for (int i = 0; i < 300; i += 7) {
    ASSERT_EQ(0, ReadUid("uid-" + std::to_string(i), &r)) << i;
    EXPECT_EQ(EventRecord("uid-" + std::to_string(i), static_cast<uint32_t>(i), i % 50), r);
  }
  EXPECT_EQ(300u, WalkBy(serial_).size());
}

}  // namespace
}  // namespace isam
