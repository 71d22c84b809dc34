#include "isam/index/free_space.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "isam/index/file_close.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/free_space_index.h"
#include "isam/index/varlen_record.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

class FreeSpaceTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    path_ = Path("free.dat");
    ASSERT_EQ(0, CreateDataFile(1, path_.c_str(), 20, 4096, kModeVariable));
    fcb_ = Fcb(1);
    ASSERT_NE(nullptr, fcb_);
  }
  std::vector<SpaceKey> Keys() {
    std::vector<SpaceKey> keys;
    SpaceIndexWalk(fcb_, [](void* c, const SpaceKey& k) {
      static_cast<std::vector<SpaceKey>*>(c)->push_back(k);
      return true;
    }, &keys);
    return keys;
  }
  uint32_t Record(uint32_t length) {
    const uint32_t at = NewVarRecordSpace(1, length);
    std::vector<uint8_t> data(length, 0x41);
    EXPECT_EQ(0, WriteVarRecordAt(fcb_, at, data.data(), length));
    return at;
  }
  VarRecordHeader Header(uint32_t at) {
    VarRecordHeader h;
    EXPECT_EQ(0, ReadVarRecordHeader(fcb_, at, &h));
    return h;
  }
  std::string path_;
  FileControlBlock* fcb_ = nullptr;
};

TEST_F(FreeSpaceTest, RecordInALargerStretchSplitsOffTheRestOnlyWhenWorthIt) {
  // A 290-byte record leaves a 300-byte stretch once freed.
  const uint32_t a = Record(290);
  Record(50);  // keeps the freed stretch from being the last one
  ASSERT_EQ(0, ReleaseVarRecordSpace(1, a));
  const uint32_t b = NewVarRecordSpace(1, 100);
  EXPECT_EQ(a, b) << "the freed stretch is reused";
  std::vector<uint8_t> data(100, 0x42);
  ASSERT_EQ(0, WriteVarRecordAt(fcb_, b, data.data(), 100));
  EXPECT_EQ(110u, Header(b).total);
  const VarRecordHeader rest = Header(b + 110);
  EXPECT_EQ(kMarkFree, rest.mark);
  EXPECT_EQ(190u, rest.total);
  const auto keys = Keys();
  ASSERT_EQ(1u, keys.size());
  EXPECT_EQ(190u, keys[0].total);
  EXPECT_EQ(b + 110, keys[0].position);

  // 30 bytes left over are not worth a stretch of their own.
  const uint32_t c = NewVarRecordSpace(1, 150);
  EXPECT_EQ(b + 110, c);
  data.resize(150);
  ASSERT_EQ(0, WriteVarRecordAt(fcb_, c, data.data(), 150));
  EXPECT_EQ(190u, Header(c).total);
  EXPECT_TRUE(Keys().empty());
}

TEST_F(FreeSpaceTest, FreedNeighboursJoinIntoOneStretchWithOneKey) {
  const uint32_t a = Record(40);
  const uint32_t b = Record(60);
  Record(10);
  ASSERT_EQ(0, ReleaseVarRecordSpace(1, b));
  ASSERT_EQ(0, ReleaseVarRecordSpace(1, a));
  const auto keys = Keys();
  ASSERT_EQ(1u, keys.size());
  EXPECT_EQ(a, keys[0].position);
  EXPECT_EQ(50u + 70u, keys[0].total);
  EXPECT_EQ(120u, Header(a).total);
  EXPECT_EQ(kMarkFree, Header(a).mark);
}

TEST_F(FreeSpaceTest, SmallestFittingStretchLowestPositionAmongEquals) {
  std::vector<uint32_t> at;
  const uint32_t sizes[] = {300, 100, 200, 100, 150};
  for (uint32_t s : sizes) {
    at.push_back(Record(s - 10));
    Record(5);  // separators keep the freed stretches apart
  }
  for (uint32_t p : at) ASSERT_EQ(0, ReleaseVarRecordSpace(1, p));
  EXPECT_EQ(at[1], NewVarRecordSpace(1, 90));   // 100 at the lower position
  EXPECT_EQ(at[3], NewVarRecordSpace(1, 90));   // the other 100
  EXPECT_EQ(at[4], NewVarRecordSpace(1, 120));  // 150 beats 200 and 300
  const uint32_t end = fcb_->header.logical_end + 1;
  EXPECT_EQ(end, NewVarRecordSpace(1, 400)) << "nothing fits: new space at the end";
}

TEST_F(FreeSpaceTest, FreeingTwiceIsRefusedAndLeavesOneKey) {
  const uint32_t a = Record(40);
  Record(10);
  ASSERT_EQ(0, ReleaseVarRecordSpace(1, a));
  EXPECT_EQ(123, ReleaseVarRecordSpace(1, a));
  EXPECT_EQ(1u, Keys().size());
  EXPECT_EQ(159, ReleaseVarRecordSpace(1, 0));
}

TEST_F(FreeSpaceTest, ManyStretchesSplitTheIndexAndSurviveReopen) {
  std::mt19937 rng(11);
  std::vector<uint32_t> live;
  for (int i = 0; i < 1500; ++i) live.push_back(Record(10 + rng() % 300));
  std::map<uint32_t, uint32_t> freed;  // position -> total
  for (std::size_t i = 0; i < live.size(); i += 2) {
    freed[live[i]] = Header(live[i]).total;
    ASSERT_EQ(0, ReleaseVarRecordSpace(1, live[i]));
  }
  ASSERT_EQ(0, CloseFileEntry(1));
  ASSERT_EQ(0, OpenFileEntry(1, path_.c_str(), kModeVariable));
  fcb_ = Fcb(1);
  const auto keys = Keys();
  ASSERT_EQ(freed.size(), keys.size());
  for (std::size_t i = 1; i < keys.size(); ++i) {
    const bool ordered = keys[i - 1].total < keys[i].total ||
                         (keys[i - 1].total == keys[i].total && keys[i - 1].position < keys[i].position);
    ASSERT_TRUE(ordered) << i;
  }
  for (const SpaceKey& k : keys) EXPECT_EQ(freed[k.position], k.total);
  // Every one of them comes back exactly once.
  std::map<uint32_t, int> taken;
  for (std::size_t i = 0; i < freed.size(); ++i) ++taken[NewVarRecordSpace(1, 1)];
  for (const auto& f : freed) EXPECT_EQ(1, taken[f.first]);
  EXPECT_TRUE(Keys().empty());
}

}  // namespace
}  // namespace isam
