#include "isam/varlen_record.h"

#include <gtest/gtest.h>

#include <vector>

#include "isam/btree_bytes.h"
#include "isam/file_create.h"
#include "isam/file_set_check.h"
#include "isam/free_space.h"
#include "isam/free_space_index.h"
#include "isam/isam_record.h"
#include "tests/isam/isam_record_test_set.h"
#include "tests/isam/varlen_test_engine.h"

namespace isam {
namespace {

// Damaged content must end in an error code, never in a loop or a crash.
class DamagedVarFileTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    Path("dmg.dat");
    Path("dmg.idx");
    set_ = std::make_unique<EventShapedSet>(Path("dmg"), kModeVariable, 0);
    ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
    data_ = set_->block.assigned;
    for (int i = 0; i < 5; ++i) {
      const auto r = EventRecord("r" + std::to_string(i), static_cast<uint32_t>(i), 30);
      ASSERT_EQ(0, IsamRecordAdd(data_, r.data(), static_cast<int32_t>(r.size())));
      at_.push_back(CurrentRecordPosition(data_));
    }
  }
  void Poke32(uint32_t position, uint32_t value) {
    uint8_t b[4];
    PutLe32(b, value);
    int32_t n = 0;
    ASSERT_EQ(0, FilePositionedIo(1, &Fcb(data_)->os, position, b, 4, &n));
  }
  int Walk() {
    std::vector<uint8_t> buf(512);
    int32_t len = 512;
    int rc = IsamRecordFirst(data_, buf.data(), &len);
    for (int n = 0; rc == 0 && n < 100; ++n) rc = IsamRecordNext(data_, buf.data(), &(len = 512));
    return rc;
  }
  std::unique_ptr<EventShapedSet> set_;
  int data_ = -1;
  std::vector<uint32_t> at_;
};

TEST_F(DamagedVarFileTest, ATotalLengthOfZeroEndsTheWalkWithAnError) {
  Poke32(at_[2] + 2, 0);
  const int rc = Walk();
  EXPECT_NE(0, rc);
  EXPECT_NE(101, rc);
  FileSetReport report;
  EXPECT_EQ(kErrFileDamaged, CheckFileSet(data_, &report));
}

TEST_F(DamagedVarFileTest, ATotalLengthPastTheEndOfTheFileIsAnError) {
  Poke32(at_[4] + 2, 0x00FFFFFF);
  EXPECT_NE(101, Walk());
  std::vector<uint8_t> buf(512);
  int32_t len = 512;
  const auto t = UidTarget("r4");
  EXPECT_NE(0, IsamRecordReadByKey(set_->block.assigned + 1, t.data(), kReadEqual, buf.data(), &len));
}

TEST_F(DamagedVarFileTest, AFreeSpaceTreeWhoseLeavesLinkInACircleIsAnError) {
  // Enough free stretches for a tree of several leaves.
  FileControlBlock* fcb = Fcb(data_);
  std::vector<uint32_t> spaced;
  for (int i = 0; i < 200; ++i) {
    spaced.push_back(NewVarRecordSpace(data_, 10));
    NewVarRecordSpace(data_, 10);
  }
  for (uint32_t p : spaced) ASSERT_EQ(0, ReleaseVarRecordSpace(data_, p));
  // The leftmost leaf's right link points back at itself.
  uint32_t node = fcb->header.root;
  for (int depth = 0; depth < 10; ++depth) {
    uint8_t head[18 + 4];
    int32_t n = 0;
    ASSERT_EQ(0, FilePositionedIo(0, &fcb->os, node, head, sizeof head, &n));
    if (head[17] == 1) break;
    node = GetLe32(head + 18);  // the first child
  }
  Poke32(node, node);
  const int32_t walked = SpaceIndexWalk(fcb, [](void*, const SpaceKey&) { return true; }, nullptr);
  EXPECT_LT(walked, 0);
  uint8_t target[12], out[12];
  BuildSpaceKeyBytes(0, 0xFFFFFFF0u, 0, target);
  EXPECT_LE(SpaceIndexFind(fcb, target, false, out), 0);
}

TEST_F(DamagedVarFileTest, HeaderChecksRefuseBadPositionsAndMarks) {
  VarRecordHeader h;
  FileControlBlock* fcb = Fcb(data_);
  EXPECT_EQ(159, ReadVarRecordHeader(fcb, 0, &h));
  EXPECT_EQ(kErrFileDamaged, ReadVarRecordHeader(fcb, fcb->header.logical_end + 5, &h));
  Poke32(at_[1], 0x12341234);  // the mark and half the length
  ASSERT_EQ(0, ReadVarRecordHeader(fcb, at_[1], &h));
  EXPECT_EQ(123, CheckRecordMark(h));
  EXPECT_EQ(0u, VarRecordLength(data_, at_[1]));
  EXPECT_EQ(158, CurrentInstance()->eng_err);
  const uint8_t rec[4] = {};
  EXPECT_EQ(123, WriteVarRecordAt(fcb, at_[1], rec, 4));
  EXPECT_EQ(158, Walk());
}

}  // namespace
}  // namespace isam
