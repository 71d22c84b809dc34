#include "isam/resource_chain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "isam/btree_bytes.h"
#include "isam/file_create.h"
#include "isam/file_open.h"
#include "isam/free_space_index.h"
#include "tests/isam/varlen_test_engine.h"

namespace isam {
namespace {

std::vector<uint8_t> Resource(uint32_t type, uint32_t number, const std::string& name, const std::string& payload) {
  std::vector<uint8_t> d(8 + name.size() + 1 + payload.size());
  PutLe32(d.data(), type);
  PutLe32(d.data() + 4, number);
  std::memcpy(d.data() + 8, name.c_str(), name.size() + 1);
  std::memcpy(d.data() + 8 + name.size() + 1, payload.data(), payload.size());
  return d;
}

std::vector<uint8_t> Key(uint32_t type, uint32_t number) {
  std::vector<uint8_t> k(8);
  PutLe32(k.data(), type);
  PutLe32(k.data() + 4, number);
  return k;
}

class ResourceChainTest : public RecordEngineTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    path_ = Path("res.dat");
    const int mode = GetParam();
    ASSERT_EQ(0, CreateDataFile(1, path_.c_str(), 30, 1000, static_cast<uint16_t>(mode)));
  }
  std::vector<uint8_t> Get(uint32_t type, uint32_t number) {
    std::vector<uint8_t> buf(4096);
    int32_t used = 0;
    if (ResourceRecordFind(1, Key(type, number).data(), buf.data(), 4096, kFindResourceByKey, &used) == 0) return {};
    buf.resize(static_cast<std::size_t>(used));
    return buf;
  }
  std::string path_;
};

TEST_P(ResourceChainTest, NextNumbersCountFromZeroWithinAType) {
  uint32_t n1 = 99, n2 = 99, n3 = 99;
  auto a = Resource(7, kResourceNextNumber, "", "x");
  ASSERT_EQ(0, AddResourceEntry(1, a.data(), static_cast<int32_t>(a.size()), &n1));
  ASSERT_EQ(0, AddResourceEntry(1, a.data(), static_cast<int32_t>(a.size()), &n2));
  auto b = Resource(9, kResourceNextNumber, "", "y");
  ASSERT_EQ(0, AddResourceEntry(1, b.data(), static_cast<int32_t>(b.size()), &n3));
  EXPECT_EQ(0u, n1);
  EXPECT_EQ(1u, n2);
  EXPECT_EQ(0u, n3);
  EXPECT_EQ(Resource(7, 1, "", "x"), Get(7, 1));
  auto dup = Resource(7, 1, "", "z");
  EXPECT_EQ(405, AddResourceEntry(1, dup.data(), static_cast<int32_t>(dup.size())));
}

TEST_P(ResourceChainTest, ExactBufferFitsOneByteLessTruncates) {
  auto r = Resource(0xFFFFFFFF, 128, "VERSION", std::string("\x00\x00\x80\x40", 4));
  ASSERT_EQ(20u, r.size());
  ASSERT_EQ(0, AddResourceEntry(1, r.data(), 20));
  std::vector<uint8_t> buf(20, 0);
  EXPECT_NE(0u, ResourceRecordFind(1, "VERSION", buf.data(), 20, kFindResourceByName));
  EXPECT_EQ(0, CurrentInstance()->eng_err);
  EXPECT_EQ(r, buf);
  std::vector<uint8_t> small(20, 0xAA);
  EXPECT_NE(0u, ResourceRecordFind(1, "VERSION", small.data(), 19, kFindResourceByName));
  EXPECT_EQ(404, CurrentInstance()->eng_err);
  EXPECT_EQ(0, std::memcmp(r.data(), small.data(), 19));
  EXPECT_EQ(0xAA, small[19]);
  EXPECT_EQ(0u, ResourceRecordFind(1, "CALINFO", buf.data(), 20, kFindResourceByName));
  EXPECT_EQ(408, CurrentInstance()->eng_err);
  EXPECT_EQ(0u, ResourceRecordFind(1, "", buf.data(), 20, kFindResourceByName));
  EXPECT_EQ(403, CurrentInstance()->eng_err);
  EXPECT_EQ(0u, ResourceRecordFind(1, "VERSION", buf.data(), 20, 6));
  EXPECT_EQ(406, CurrentInstance()->eng_err);
}

TEST_P(ResourceChainTest, GrownUpdateMovesAndKeepsTheChainInOrder) {
  for (uint32_t n : {5u, 1u, 3u}) {
    auto r = Resource(2, n, "r", "short");
    ASSERT_EQ(0, AddResourceEntry(1, r.data(), static_cast<int32_t>(r.size())));
  }
  const std::string big(700, 'B');
  auto grown = Resource(2, 3, "r", big);
  ASSERT_EQ(0, ResourceRecordUpdate(1, grown.data(), static_cast<int32_t>(grown.size())));
  EXPECT_EQ(grown, Get(2, 3));
  auto shrunk = Resource(2, 3, "r", "s");
  ASSERT_EQ(0, ResourceRecordUpdate(1, shrunk.data(), static_cast<int32_t>(shrunk.size())));
  EXPECT_EQ(shrunk, Get(2, 3));
  int32_t count = 0;
  ASSERT_EQ(0, CheckResourceChain(1, &count));
  EXPECT_EQ(3, count);
  // First after (2, 1) is (2, 3).
  std::vector<uint8_t> buf(64);
  ASSERT_NE(0u, ResourceRecordFind(1, Key(2, 1).data(), buf.data(), 64, kFindResourceAfter));
  EXPECT_EQ(3u, GetLe32(buf.data() + 4));
  auto missing = Resource(2, 4, "r", "x");
  EXPECT_EQ(408, ResourceRecordUpdate(1, missing.data(), static_cast<int32_t>(missing.size())));
}

TEST_P(ResourceChainTest, DeletedResourcesLeaveTheChain) {
  for (uint32_t n : {1u, 2u, 3u}) {
    auto r = Resource(4, n, "d", std::string(100, 'd'));
    ASSERT_EQ(0, AddResourceEntry(1, r.data(), static_cast<int32_t>(r.size())));
  }
  ASSERT_EQ(0, DeleteResource(1, Key(4, 2).data()));
  EXPECT_EQ(408, DeleteResource(1, Key(4, 2).data()));
  EXPECT_TRUE(Get(4, 2).empty());
  EXPECT_FALSE(Get(4, 3).empty());
  int32_t count = 0;
  ASSERT_EQ(0, CheckResourceChain(1, &count));
  EXPECT_EQ(2, count);
  ASSERT_EQ(0, CloseFileEntry(1));
  ASSERT_EQ(0, OpenFileEntry(1, path_.c_str(), static_cast<uint16_t>(GetParam())));
  ASSERT_EQ(0, CheckResourceChain(1, &count));
  EXPECT_EQ(2, count);
}

TEST_P(ResourceChainTest, AChainThatNeverClosesIsAnErrorNotAHang) {
  auto a = Resource(1, 1, "a", "1");
  auto b = Resource(1, 2, "b", "2");
  ASSERT_EQ(0, AddResourceEntry(1, a.data(), static_cast<int32_t>(a.size())));
  ASSERT_EQ(0, AddResourceEntry(1, b.data(), static_cast<int32_t>(b.size())));
  const uint32_t pb = ResourceRecordFind(1, Key(1, 2).data(), nullptr, 0, kFindResourceByKey);
  const uint32_t pa = ResourceRecordFind(1, Key(1, 1).data(), nullptr, 0, kFindResourceByKey);
  ASSERT_NE(0u, pa);
  // b points back at a instead of the anchor: a loop that skips the anchor.
  uint8_t link[4];
  PutLe32(link, pa);
  int32_t n = 0;
  ASSERT_EQ(0, FilePositionedIo(1, &Fcb(1)->os, pb + 14, link, 4, &n));
  EXPECT_EQ(0u, ResourceRecordFind(1, "zzz", nullptr, 0, kFindResourceByName));
  EXPECT_NE(0, CurrentInstance()->eng_err);
  EXPECT_NE(0, CheckResourceChain(1, nullptr));
}

INSTANTIATE_TEST_SUITE_P(FileTypes, ResourceChainTest, ::testing::Values(0, static_cast<int>(kModeVariable)));

TEST_F(RecordEngineTest, ADeletedResourceOfAVariableFileGivesItsSpaceBack) {
  ASSERT_EQ(0, CreateDataFile(1, Path("space.dat").c_str(), 10, 1000, kModeVariable));
  auto r = Resource(3, 3, "", std::string(200, 'x'));
  ASSERT_EQ(0, AddResourceEntry(1, r.data(), static_cast<int32_t>(r.size())));
  auto s = Resource(3, 4, "", "tail");
  ASSERT_EQ(0, AddResourceEntry(1, s.data(), static_cast<int32_t>(s.size())));
  ASSERT_EQ(0, DeleteResource(1, Key(3, 3).data()));
  int keys = SpaceIndexWalk(Fcb(1), [](void*, const SpaceKey& k) { return k.total == 230; }, nullptr);
  EXPECT_EQ(1, keys);
}

}  // namespace
}  // namespace isam
