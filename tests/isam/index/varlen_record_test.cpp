#include "isam/index/varlen_record.h"

#include <gtest/gtest.h>

#include <vector>

#include "isam/fileset/file_set_check.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/file_create.h"
#include "isam/index/free_space.h"
#include "isam/index/free_space_index.h"
#include "isam/record/isam_record.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"

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

TEST_F(DamagedVarFileTest, ReadsWritesAndAllocationsReportTheirCodes) {
  FileControlBlock* fcb = Fcb(data_);
  const uint32_t used = VarRecordLength(data_, at_[0]);
  ASSERT_GT(used, 10u);
  const int32_t whole = static_cast<int32_t>(used);
  EXPECT_EQ(-29, ReadVarRecordLength(fcb, 0, 100, false));
  EXPECT_EQ(-634, ReadVarRecordLength(fcb, at_[0], -1, false));
  EXPECT_EQ(10, ReadVarRecordLength(fcb, at_[0], 10, false)) << "a short buffer takes its size";
  EXPECT_EQ(-153, ReadVarRecordLength(fcb, at_[0], 10, true));
  EXPECT_EQ(whole, ReadVarRecordLength(fcb, at_[0], whole, true));
  std::vector<uint8_t> buf(used);
  EXPECT_EQ(-33, ReadVarRecordAt(fcb, at_[0], nullptr, whole, false));
  EXPECT_EQ(whole, ReadVarRecordAt(fcb, at_[0], buf.data(), whole, true));

  // A stretch just taken holds no record yet: 160 for a reader.
  const uint32_t fresh = NewVarRecordSpace(data_, 40);
  ASSERT_NE(0u, fresh);
  EXPECT_EQ(-160, ReadVarRecordLength(fcb, fresh, 100, false));
  EXPECT_EQ(159, WriteVarRecordAt(fcb, 0, buf.data(), 4));
  EXPECT_EQ(33, WriteVarRecordAt(fcb, fresh, nullptr, 4));
  EXPECT_EQ(148, WriteVarRecordAt(fcb, fresh, std::vector<uint8_t>(41).data(), 41));
  EXPECT_EQ(0, WriteVarRecordAt(fcb, fresh, buf.data(), 40));
  EXPECT_EQ(0u, AllocVarSpace(fcb, 0xFFFFFFF0u, kAllocBestFit, true));
  EXPECT_EQ(140, CurrentInstance()->eng_err);

  // A free-space key that names a stretch without a free mark is reported,
  // not handed out.
  ASSERT_EQ(0, ReleaseVarRecordSpace(data_, fresh));
  const int32_t count = fcb->header.active_count;
  uint8_t mark[2];
  PutLe16(mark, kMarkActive);
  int32_t n = 0;
  ASSERT_EQ(0, FilePositionedIo(1, &fcb->os, fresh, mark, 2, &n));
  EXPECT_EQ(0u, NewVarRecordSpace(data_, 40));
  EXPECT_EQ(147, CurrentInstance()->eng_err);
  EXPECT_EQ(count, static_cast<int32_t>(fcb->header.active_count)) << "nothing was counted";
}

}  // namespace
}  // namespace isam
