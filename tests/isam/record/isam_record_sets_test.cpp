#include "isam/record/isam_record_sets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "isam/index/btree_update.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "tests/isam/record/isam_set_fixtures.h"

namespace isam {
namespace {

// Records of the calendar-shaped set: UIDs "aa-1", "aa-2", "ab-1", "b-1",
// serials chosen so the serial index holds a run that shares its leading
// bytes in stored (big-endian) form: 0x0FF, 0x105, 0x1FE, 0x1FE, 0x205.
class IsamSetTest : public EventSetTest {
 protected:
  void SetUp() override {
    EventSetTest::SetUp();
    const std::pair<const char*, uint32_t> records[] = {
        {"b-1", 0x205}, {"aa-2", 0x1FE}, {"ab-1", 0x105}, {"aa-1", 0x0FF}, {"c-1", 0x1FE}};
    for (const auto& r : records) ASSERT_EQ(0, Add(r.first, r.second));
  }
  // The UID of the record a set call read ("" for none), and the code.
  std::string Uid(int rc) { return rc == 0 ? UidOf(std::vector<uint8_t>(buf_.begin(), buf_.begin() + len_)) : ""; }
  int First(int key, const std::vector<uint8_t>& target, int32_t n) {
    len_ = 512;
    return FirstInSet(key, target.data(), buf_.data(), n, &len_);
  }
  int Last(int key, const std::vector<uint8_t>& target, int32_t n) {
    len_ = 512;
    return LastInSet(key, target.data(), buf_.data(), n, &len_);
  }
  int Next(int key) {
    len_ = 512;
    return NextInSet(key, buf_.data(), &len_);
  }
  int Previous(int key) {
    len_ = 512;
    return PreviousInSet(key, buf_.data(), &len_);
  }
  // Every UID of the set from its first record on.
  std::vector<std::string> Forward(int key, const std::vector<uint8_t>& target, int32_t n) {
    std::vector<std::string> out;
    for (int rc = First(key, target, n); rc == 0; rc = Next(key)) out.push_back(Uid(rc));
    EXPECT_EQ(101, CurrentInstance()->isam_error);
    return out;
  }
  std::vector<std::string> Backward(int key, const std::vector<uint8_t>& target, int32_t n) {
    std::vector<std::string> out;
    for (int rc = Last(key, target, n); rc == 0; rc = Previous(key)) out.push_back(Uid(rc));
    EXPECT_EQ(101, CurrentInstance()->isam_error);
    return out;
  }

  std::vector<uint8_t> buf_ = std::vector<uint8_t>(512);
  int32_t len_ = 512;
};

TEST_F(IsamSetTest, ASetEndsWhereTheLeadingBytesChangeBothWays) {
  using V = std::vector<std::string>;
  EXPECT_EQ((V{"aa-1", "aa-2"}), Forward(uid_, UidTarget("aa"), 2));
  EXPECT_EQ((V{"aa-2", "aa-1"}), Backward(uid_, UidTarget("aa"), 2));
  EXPECT_EQ((V{"aa-1", "aa-2", "ab-1"}), Forward(uid_, UidTarget("a"), 1));
  EXPECT_EQ((V{"ab-1", "aa-2", "aa-1"}), Backward(uid_, UidTarget("a"), 1));
  EXPECT_EQ((V{"b-1"}), Forward(uid_, UidTarget("b"), 1));
  EXPECT_EQ((V{}), Forward(uid_, UidTarget("ac"), 2)) << "a set with no records";
  EXPECT_EQ((V{}), Backward(uid_, UidTarget("0"), 1)) << "below every key";
  EXPECT_EQ((V{}), Forward(uid_, UidTarget("d"), 1)) << "above every key";
  EXPECT_EQ((V{"aa-1", "aa-2", "ab-1", "b-1", "c-1"}), Forward(uid_, UidTarget("zz"), 0))
      << "no leading bytes: the whole index";
  EXPECT_EQ((V{"ab-1"}), Forward(uid_, UidTarget("ab-1"), 5000)) << "the whole key";
}

TEST_F(IsamSetTest, LeadingBytesAreTakenFromTheStoredFormOfTheTarget) {
  using V = std::vector<std::string>;
  // The serial is stored big-endian, so its first three stored bytes are
  // the serial / 256: 0x105, 0x1FE and 0x1FE share them, 0xFF and 0x205
  // do not.
  EXPECT_EQ((V{"ab-1", "aa-2", "c-1"}), Forward(serial_, SerialTarget(0x1AB), 3));
  EXPECT_EQ((V{"c-1", "aa-2", "ab-1"}), Backward(serial_, SerialTarget(0x1AB), 3));
  // A whole value of an index with duplicates: its equal keys, whatever
  // position they carry.
  EXPECT_EQ((V{"aa-2", "c-1"}), Forward(serial_, SerialTarget(0x1FE), 4));
  EXPECT_EQ((V{"c-1", "aa-2"}), Backward(serial_, SerialTarget(0x1FE), 100));
}

TEST_F(IsamSetTest, StepsBelongToTheSetsIndexAndChangeSetTakesTheCurrentKey) {
  EXPECT_EQ(118, Next(uid_)) << "no set yet";
  ASSERT_EQ(0, First(uid_, UidTarget("aa"), 2));
  EXPECT_EQ(118, Next(serial_));
  EXPECT_EQ(118, Previous(serial_));
  EXPECT_EQ(serial_, CurrentInstance()->isam_error_file);
  EXPECT_EQ(634, First(uid_, UidTarget("aa"), -1));
  EXPECT_EQ(634, ChangeSet(uid_, -1));
  EXPECT_EQ(48, ChangeSet(data_, 1));
  // From "ab-1", a set of its first byte reaches back to "aa-2" and ends
  // before "b-1".
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("ab-1", &r));
  ASSERT_EQ(0, ChangeSet(uid_, 1));
  EXPECT_EQ(101, Next(uid_));
  EXPECT_EQ("aa-2", Uid(Previous(uid_)));
  // The set steps from the ISAM current key, wherever reads through other
  // indexes have put the record.
  const auto s = SerialTarget(0x0FF);
  int32_t len = 512;
  r.resize(512);
  ASSERT_EQ(0, IsamRecordReadByKey(serial_, s.data(), kReadEqual, r.data(), &len));
  EXPECT_EQ("aa-2", Uid(Next(uid_)));
  ASSERT_EQ(0, IsamRecordDelete(data_));
  EXPECT_EQ(100, Next(uid_)) << "the deleted record left no current key";
}

// A key whose record no longer matches it sits inside the set (what a
// writer that died half-way leaves): the read retries it, drops it and
// answers with the set's next record.
TEST_F(IsamSetTest, ARecordInMotionIsRetriedAndALeftoverKeyPassed) {
  std::vector<uint8_t> r;
  ASSERT_EQ(0, ReadUid("aa-1", &r));
  const uint32_t at = CurrentRecordPosition(data_);
  LeaveStaleSerialKey(r, at, 0x100);
  ASSERT_GE(EngineOptionWord(0x04, 2), 0);
  ASSERT_EQ(0, First(serial_, SerialTarget(0x1AB), 3)) << "the leftover 0x100 is the set's first key";
  EXPECT_EQ("ab-1", Uid(0)) << "the leftover dropped, the set read on past it";
  const uint32_t read = CurrentRecordPosition(data_);
  EXPECT_EQ(0, CheckRecordLocked(data_, kLockWrite, read)) << "the lock request survived the retries";
  EXPECT_NE(0, CheckRecordLocked(data_, kLockWrite, at));
}

}  // namespace
}  // namespace isam
