#include "isam/record/isam_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "isam/fileset/file_set_check.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/index/btree_update.h"
#include "isam/index/free_space_index.h"
#include "isam/index/key_search.h"
#include "isam/index/varlen_record.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/record_lock.h"
#include "isam/record/record_schema_store.h"
#include "isam/record/resource_chain.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "platform/os_file_faults.h"
#include "tests/isam/record/isam_set_fixtures.h"

namespace isam {
namespace {

class IsamRecordTest : public EventSetTest {
 protected:
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

TEST_F(IsamRecordTest, AnAddOrRewriteKeepsTheRecordThatWasCurrentInTheSavedSlot) {
  ASSERT_EQ(0, Add("first", 1));
  const uint32_t first = CurrentRecordPosition(data_);
  ASSERT_EQ(0, Add("second", 2));
  const uint32_t second = CurrentRecordPosition(data_);
  ASSERT_NE(first, second);
  ASSERT_EQ(0, SaveRestoreCurrent(data_, 2));
  EXPECT_EQ(first, CurrentRecordPosition(data_)) << "the swap goes back to the record before the add";
  std::vector<uint8_t> buf(512);
  int32_t len = 512;
  ASSERT_EQ(0, IsamRecordNext(uid_, buf.data(), &len)) << "and its keys are current again";
  buf.resize(static_cast<std::size_t>(len));
  EXPECT_EQ("second", UidOf(buf));
  // A rewrite of "second" (now current again) keeps it current and saves it.
  const auto grown = EventRecord("second", 3, 2000);
  ASSERT_EQ(0, IsamRecordRewrite(data_, grown.data(), static_cast<int32_t>(grown.size())));
  const uint32_t moved = CurrentRecordPosition(data_);
  ASSERT_EQ(0, SaveRestoreCurrent(data_, 2));
  EXPECT_EQ(second, CurrentRecordPosition(data_));
  ASSERT_EQ(0, SaveRestoreCurrent(data_, 2));
  EXPECT_EQ(moved, CurrentRecordPosition(data_));
  uint8_t key[256];
  int32_t klen = 0;
  ASSERT_EQ(0, CurrentIsamKey(serial_, key, &klen));
  EXPECT_EQ(8, klen);
  uint8_t want[256];
  ASSERT_EQ(8, BuildRecordKey(serial_, grown.data(), grown.size(), moved, want));
  EXPECT_EQ(0, std::memcmp(want, key, 8));
  EXPECT_EQ(48, CurrentIsamKey(data_, key, &klen));
  EXPECT_EQ(0, klen);
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
  // Shrinking moves too: a record is never written over, so a crash leaves
  // one whole form of it.
  const uint32_t at = CurrentRecordPosition(data_);
  const auto shrunk = EventRecord("mover", 8);
  ASSERT_EQ(0, IsamRecordRewrite(data_, shrunk.data(), static_cast<int32_t>(shrunk.size())));
  EXPECT_NE(at, CurrentRecordPosition(data_));
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
  uint8_t stale[256];
  LeaveStaleSerialKey(r, at, GetLe32(r.data() + 6) ^ 0x55, stale);
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

// The key of a record in two steps: its value (the segments as they lie in
// the record) and the stored form the transforms and the position make.
TEST_F(IsamRecordTest, KeyOfARecordIsItsValueAndTheStoredKeyAddsTransformAndPosition) {
  const auto r = EventRecord("key-uid", 0x01020304);
  uint8_t value[256], stored[256], built[256];
  ASSERT_EQ(4, BuildKeyOfRecord(serial_, r.data(), value, static_cast<int32_t>(r.size())))
      << "the sum of the segment lengths, without the position suffix";
  EXPECT_EQ(0, std::memcmp(value, r.data() + 6, 4)) << "untransformed: little-endian as in the record";
  ASSERT_EQ(8, BuildStoredKey(serial_, r.data(), stored, 0x0A0B0C0D, static_cast<int32_t>(r.size())));
  const uint8_t expected[8] = {1, 2, 3, 4, 0x0A, 0x0B, 0x0C, 0x0D};
  EXPECT_EQ(0, std::memcmp(stored, expected, 8)) << "big-endian value, then the position";
  ASSERT_EQ(8, BuildRecordKey(serial_, r.data(), r.size(), 0x0A0B0C0D, built));
  EXPECT_EQ(0, std::memcmp(stored, built, 8)) << "the record layer and the utilities build the same key";
  // The value through TransformTargetKey is the stored key.
  ASSERT_EQ(0, TransformTargetKey(serial_, value, 0x0A0B0C0D, true));
  EXPECT_EQ(0, std::memcmp(value, expected, 8));
  // The UID segment is delimited field 0 behind the fixed part, padded.
  ASSERT_EQ(200, BuildKeyOfRecord(uid_, r.data(), value, static_cast<int32_t>(r.size())));
  EXPECT_EQ(UidTarget("key-uid"), std::vector<uint8_t>(value, value + 200));
}

TEST_F(IsamRecordTest, KeyOfARecordFailsThroughTheIsamError) {
  const auto r = EventRecord("x", 1);
  uint8_t out[256];
  const int32_t len = static_cast<int32_t>(r.size());
  for (int bad : {-1, data_, serial_ + 1, 4000}) {
    SetIsamError(0, 0);
    EXPECT_EQ(0, BuildKeyOfRecord(bad, r.data(), out, len)) << bad;
    EXPECT_EQ(80, CurrentInstance()->isam_error) << bad;
    EXPECT_EQ(bad, CurrentInstance()->isam_error_file);
    EXPECT_EQ(80, TransformTargetKey(bad, out, 0, true)) << bad;
  }
  EXPECT_EQ(0, BuildKeyOfRecord(serial_, r.data(), out, 8)) << "the serial runs to byte 10";
  EXPECT_EQ(445, CurrentInstance()->isam_error);
  EXPECT_EQ(0, BuildKeyOfRecord(serial_, r.data(), out, -1));
  EXPECT_EQ(634, CurrentInstance()->isam_error);
  EXPECT_EQ(0, BuildStoredKey(serial_, r.data(), out, 1, 8));
  EXPECT_EQ(445, CurrentInstance()->isam_error);
}

// A set whose indexes take schema fields, on a data file that stores no
// schema: the key cannot be built (199), so no record can be added, and a
// schema that has no such field gives 433.
TEST_F(IsamRecordTest, SchemaFieldKeysNeedASchemaWithThatField) {
  Path("schema.dat");
  Path("schema.idx");
  OneIndexSet set(Path("schema"), KeySegment{2, 8, 12});
  IfilBlock& block = set.block;
  ASSERT_EQ(0, CreateFileSetFromIfil(&block));
  const int data = block.assigned, key = data + 1;
  std::vector<uint8_t> r(32, 'r');
  uint8_t out[256];
  EXPECT_EQ(0, BuildKeyOfRecord(key, r.data(), out, 32));
  EXPECT_EQ(199, CurrentInstance()->isam_error);
  EXPECT_EQ(199, IsamRecordAdd(data, r.data(), 32));
  EXPECT_EQ(0u, Fcb(key)->header.active_count);
  // Two fields: field 2 is beyond the schema.
  RecordField fields[2];
  fields[0].type = 0;
  fields[1].type = 0;
  ASSERT_EQ(0, PutRecordSchema(data, fields, 2));
  EXPECT_EQ(0, BuildKeyOfRecord(key, r.data(), out, 32));
  EXPECT_EQ(433, CurrentInstance()->isam_error);
  ASSERT_EQ(0, CloseFileSet(&block));
}

TEST_F(IsamRecordTest, StepFromTheIsamKeyGoesToTheNeighboursOfTheCurrentRecord) {
  ASSERT_EQ(0, Add("a", 1));
  ASSERT_EQ(0, Add("b", 2));
  ASSERT_EQ(0, Add("c", 3));
  uint8_t out[256];
  EXPECT_EQ(0u, StepFromIsamKey(uid_, out, 1));
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("a", &r));
  const uint32_t a = CurrentRecordPosition(data_);
  ASSERT_EQ(0, ReadUid("c", &r));
  const uint32_t c = CurrentRecordPosition(data_);
  ASSERT_EQ(0, ReadUid("b", &r));
  // The index's search position is elsewhere: the step goes by the record.
  ASSERT_NE(0u, frskey(uid_, out));
  EXPECT_EQ(c, StepFromIsamKey(uid_, out, 1));
  EXPECT_EQ(UidTarget("c"), std::vector<uint8_t>(out, out + 200));
  EXPECT_EQ(a, StepFromIsamKey(uid_, out, 0));
  EXPECT_EQ(a, StepFromIsamKey(uid_, out, -1)) << "any direction but 1 goes back";
  ASSERT_EQ(0, ReadUid("c", &r));
  EXPECT_EQ(0u, StepFromIsamKey(uid_, out, 1));
  EXPECT_EQ(0, CurrentInstance()->eng_err) << "the end is no error";
  EXPECT_EQ(0u, StepFromIsamKey(data_, out, 1));
  EXPECT_EQ(48, CurrentInstance()->eng_err);
  ASSERT_EQ(0, IsamRecordDelete(data_));
  EXPECT_EQ(0u, StepFromIsamKey(uid_, out, 1));
  EXPECT_EQ(100, CurrentInstance()->eng_err) << "no current key after the delete";
}

// The read-lock request (option bit 0x04: a write lock of one try) is for
// the record the read returns: a try that meets a record in motion gives its
// lock back, and the request is there again for the next try.
TEST_F(IsamRecordTest, TheReadLockRequestLocksTheRecordReadAfterEveryRetry) {
  ASSERT_EQ(0, Add("a-uid", 10));
  ASSERT_EQ(0, Add("b-uid", 20));
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("a-uid", &r));
  const uint32_t a = CurrentRecordPosition(data_);
  ASSERT_EQ(0, ReadUid("b-uid", &r));
  const uint32_t b = CurrentRecordPosition(data_);
  // b's serial key replaced by one that sorts first and does not match it.
  LeaveStaleSerialKey(r, b, 1);
  ASSERT_GE(EngineOptionWord(0x04, 2), 0);
  std::vector<uint8_t> buf(512);
  int32_t len = 512;
  ASSERT_EQ(0, IsamRecordFirst(serial_, buf.data(), &len));
  EXPECT_EQ(a, CurrentRecordPosition(data_)) << "the walk stepped past the leftover";
  EXPECT_EQ(0, CheckRecordLocked(data_, kLockWrite, a)) << "the request held for the try that read";
  EXPECT_NE(0, CheckRecordLocked(data_, kLockWrite, b)) << "the tries that met b gave their lock back";
  EXPECT_EQ(0u, TakeOptionBits24()) << "consumed";
  ASSERT_EQ(0, LockRecord(data_, kLockUnlock, a));
  // Reads by key and re-reads take it too; a read without a request none.
  ASSERT_EQ(0, ReadUid("a-uid", &r));
  EXPECT_NE(0, CheckRecordLocked(data_, kLockWrite, a));
  ASSERT_GE(EngineOptionWord(0x20, 2), 0);
  ASSERT_EQ(0, ReadUid("a-uid", &r));
  EXPECT_EQ(0, CheckRecordLocked(data_, kLockWrite, a));
  ASSERT_EQ(0, LockRecord(data_, kLockUnlock, a));
  ASSERT_GE(EngineOptionWord(0x04, 2), 0);
  EXPECT_EQ(153, IsamRecordReread(data_, buf.data(), 4)) << "a re-read that reads nothing";
  EXPECT_NE(0, CheckRecordLocked(data_, kLockWrite, a));
  ASSERT_EQ(0, IsamRecordReread(data_, buf.data(), 512));
  EXPECT_EQ(0, CheckRecordLocked(data_, kLockWrite, a)) << "the request waited for the re-read that read";
  EXPECT_EQ(0u, TakeOptionBits24());
  ASSERT_EQ(0, LockRecord(data_, kLockUnlock, a));
  // A read that finds nothing leaves no request behind for a later read.
  ASSERT_GE(EngineOptionWord(0x04, 2), 0);
  EXPECT_EQ(101, ReadUid("none", &r));
  EXPECT_EQ(0u, TakeOptionBits24());
}

// Fixed-length records walk both ways, physically and by index, over the
// holes that deletes leave, and end with 101 at either side.
TEST_F(IsamRecordTest, FixedRecordsWalkBothWaysOverDeletedOnes) {
  Path("fixed.dat");
  Path("fixed.idx");
  OneIndexSet set(Path("fixed"), KeySegment{0, 8, 0});
  set.block.data_mode = 0;
  ASSERT_EQ(0, CreateFileSetFromIfil(&set.block));
  const int data = set.block.assigned, key = data + 1;
  auto record = [](int i) {
    std::vector<uint8_t> r(16, static_cast<uint8_t>('a' + i));
    std::snprintf(reinterpret_cast<char*>(r.data()), 9, "rec-%04d", i);
    return r;
  };
  for (int i = 1; i <= 5; ++i) ASSERT_EQ(0, IsamRecordAdd(data, record(i).data(), 16)) << i;
  std::vector<uint8_t> buf(16);
  for (int gone : {2, 4, 5}) {
    ASSERT_EQ(0, IsamRecordReadByKey(key, record(gone).data(), kReadEqual, buf.data(), nullptr));
    ASSERT_EQ(0, IsamRecordDelete(data));
  }
  ASSERT_EQ(0, IsamRecordAdd(data, record(6).data(), 16)) << "takes the slot of 5";
  auto walk = [&](int file, bool forward) {
    std::vector<int> seen;
    int rc = forward ? IsamRecordFirst(file, buf.data(), nullptr) : IsamRecordLast(file, buf.data(), nullptr);
    for (; rc == 0; rc = forward ? IsamRecordNext(file, buf.data(), nullptr)
                                 : IsamRecordPrevious(file, buf.data(), nullptr))
      seen.push_back(std::atoi(reinterpret_cast<const char*>(buf.data()) + 4));
    EXPECT_EQ(101, rc);
    return seen;
  };
  EXPECT_EQ((std::vector<int>{1, 3, 6}), walk(data, true));
  EXPECT_EQ((std::vector<int>{6, 3, 1}), walk(data, false));
  EXPECT_EQ((std::vector<int>{1, 3, 6}), walk(key, true));
  EXPECT_EQ((std::vector<int>{6, 3, 1}), walk(key, false));
  ASSERT_EQ(0, CloseFileSet(&set.block));
}

// A rewrite that moves its record, with the Nth write (or lock) of the
// rewrite failing, for every N the rewrite makes. After each, a reopened
// set must be sound: the record shows in its old or its new form, through
// every index, exactly once in the physical walk; in particular the old
// stretch of a moved record never stays a live record that no key reaches
// (a free that fails once the keys have moved leaves it claimed but empty).
class RewriteFaultTest : public RecordEngineTest {
 protected:
  void TearDown() override {
    platform::DisarmFileFaults();
    RecordEngineTest::TearDown();
  }
  // The set with a record that must grow and its neighbour, mover current;
  // with free_behind_ the neighbour is deleted, so the record grows into
  // the free stretch behind it instead of moving.
  void Prepare() {
    CloseAllFiles();
    EngineStop();
    ASSERT_EQ(0, EngineStart(16, 60, 6, 16, 33, nullptr, nullptr, nullptr));
    Path("rw.dat");
    Path("rw.idx");
    set_ = std::make_unique<EventShapedSet>(Path("rw"), kModeVariable, 0);
    ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
    const int data = set_->block.assigned;
    for (const auto& r : {EventRecord("mover", 5, 10), EventRecord("blocker", 6, 1000)})
      ASSERT_EQ(0, IsamRecordAdd(data, r.data(), static_cast<int32_t>(r.size())));
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    if (free_behind_) {
      const auto b = UidTarget("blocker");
      ASSERT_EQ(0, IsamRecordReadByKey(data + 1, b.data(), kReadEqual, buf.data(), &len));
      ASSERT_EQ(0, IsamRecordDelete(data));
    }
    len = 4096;
    const auto t = UidTarget("mover");
    ASSERT_EQ(0, IsamRecordReadByKey(data + 1, t.data(), kReadEqual, buf.data(), &len));
    mover_at_ = CurrentRecordPosition(data);
  }
  int Rewrite() {
    const auto grown = EventRecord("mover", 7, 900, 'g');
    return IsamRecordRewrite(set_->block.assigned, grown.data(), static_cast<int32_t>(grown.size()));
  }
  // Reopened from disk: empty when sound, else what is wrong.
  std::string Verify(bool rewrite_done) {
    CloseAllFiles();
    EngineStop();
    if (EngineStart(16, 60, 6, 16, 33, nullptr, nullptr, nullptr) != 0) return "restart failed";
    if (OpenFileSetFromIfil(&set_->block) != 0) return "reopen failed";
    const int data = set_->block.assigned;
    std::string wrong;
    FileSetReport report;
    if (int rc = CheckFileSet(data, &report); rc != 0)
      wrong += std::string(" check ") + std::to_string(rc) + ": " + (report.problem ? report.problem : "");
    const int records = free_behind_ ? 1 : 2;
    if (report.records != records) wrong += " walk has " + std::to_string(report.records) + " records;";
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    const auto t = UidTarget("mover");
    if (IsamRecordReadByKey(data + 1, t.data(), kReadEqual, buf.data(), &len) != 0) return wrong + " mover lost";
    buf.resize(static_cast<std::size_t>(len));
    const bool is_new = buf == EventRecord("mover", 7, 900, 'g');
    if (!is_new && buf != EventRecord("mover", 5, 10)) wrong += " mover is neither form;";
    if (rewrite_done && !is_new) wrong += " a rewrite reported done is not there;";
    const auto serial = SerialTarget(is_new ? 7 : 5);
    len = 4096;
    if (IsamRecordReadByKey(data + 2, serial.data(), kReadEqual, buf.data(), &len) != 0)
      wrong += " its serial key is missing;";
    return wrong;
  }
  void LoopOver(platform::FileFaultOp op, const char* label) {
    for (uint64_t n = 1;; ++n) {
      ASSERT_LE(n, 400u) << label << ": the fault keeps firing";
      Prepare();
      platform::FileFaultPlan plan;
      plan.op = op;
      plan.nth = n;
      platform::ArmFileFault(plan);
      const int rc = Rewrite();
      const bool fired = platform::FileFaultFired();
      platform::DisarmFileFaults();
      if (!fired) {
        EXPECT_EQ(0, rc) << label;
        EXPECT_NE(mover_at_, CurrentRecordPosition(set_->block.assigned)) << "a record is never written over";
        EXPECT_EQ("", Verify(true)) << label << " without a fault";
        break;
      }
      EXPECT_EQ("", Verify(rc == 0)) << label << " N=" << n << " rewrite gave " << rc;
      ASSERT_EQ(0, CloseFileSet(&set_->block));
    }
  }
  std::unique_ptr<EventShapedSet> set_;
  bool free_behind_ = false;
  uint32_t mover_at_ = 0;
};

TEST_F(RewriteFaultTest, EveryFailedWriteOfAMovingRewriteLeavesASoundSet) {
  LoopOver(platform::FileFaultOp::kWrite, "write");
}

TEST_F(RewriteFaultTest, EveryFailedLockOfAMovingRewriteLeavesASoundSet) {
  LoopOver(platform::FileFaultOp::kLock, "lock");
}

TEST_F(RewriteFaultTest, EveryFailedWriteOfARewriteGrowingInPlaceLeavesASoundSet) {
  free_behind_ = true;
  LoopOver(platform::FileFaultOp::kWrite, "write");
}

}  // namespace
}  // namespace isam
