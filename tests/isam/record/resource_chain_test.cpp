#include "isam/record/resource_chain.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/free_space_index.h"
#include "isam/record/fixed_record.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/thread_layer.h"
#include "platform/process.h"
#include "tests/isam/record/resource_bytes.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"
#include "tests/support/child_process.h"

namespace isam {
namespace {

// Short name: the tests below build many resources.
const auto& Resource = ResourceBytes;

std::vector<uint8_t> Key(uint32_t type, uint32_t number) {
  std::vector<uint8_t> k(8);
  PutLe32(k.data(), type);
  PutLe32(k.data() + 4, number);
  return k;
}

std::vector<uint8_t> Get(int file, uint32_t type, uint32_t number) {
  std::vector<uint8_t> buf(4096);
  int32_t used = 0;
  if (ResourceRecordFind(file, Key(type, number).data(), buf.data(), 4096, kFindResourceByKey, &used) == 0) return {};
  buf.resize(static_cast<std::size_t>(used));
  return buf;
}

class ResourceChainTest : public RecordEngineTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    path_ = Path("res.dat");
    const int mode = GetParam();
    ASSERT_EQ(0, CreateDataFile(1, path_.c_str(), 30, 1000, static_cast<uint16_t>(mode)));
  }
  std::vector<uint8_t> Get(uint32_t type, uint32_t number) { return isam::Get(1, type, number); }
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

TEST_F(RecordEngineTest, ADeletedResourceOfAFixedFileGivesItsRecordsBack) {
  ASSERT_EQ(0, CreateDataFile(1, Path("fixed_res.dat").c_str(), 50, 1000, 0));
  auto r = Resource(3, 3, "", std::string(100, 'x'));  // 22 + 109 bytes: three 50-byte records
  ASSERT_EQ(0, AddResourceEntry(1, r.data(), static_cast<int32_t>(r.size())));
  const uint32_t at = ResourceRecordFind(1, Key(3, 3).data(), nullptr, 0, kFindResourceByKey, nullptr);
  ASSERT_NE(0u, at);
  const uint32_t end = Fcb(1)->header.logical_end;
  ASSERT_EQ(0, DeleteResource(1, Key(3, 3).data()));
  EXPECT_EQ(0, DataRecordCount(1));  // resource records never counted as records
  std::vector<uint32_t> reused;
  for (int i = 0; i < 3; ++i) reused.push_back(NewDataRecord(1));
  EXPECT_EQ((std::vector<uint32_t>{at + 100, at + 50, at}), reused);
  EXPECT_EQ(end, Fcb(1)->header.logical_end);  // taken from the stack, not the end
  EXPECT_EQ(3, DataRecordCount(1));
  EXPECT_GT(NewDataRecord(1), end);
}

// Counts the free-space keys of fcb's index that name position.
int FreeKeysAt(FileControlBlock* fcb, uint32_t position) {
  return SpaceIndexWalk(fcb, [](void* p, const SpaceKey& k) { return k.position == *static_cast<uint32_t*>(p); },
                        &position);
}

TEST_F(RecordEngineTest, DeletedResourcesOfSuperfileMembersGiveTheirSpaceBack) {
  const std::string host_path = Path("members.akv");
  const int host = CreateCalendarHost(host_path);
  ASSERT_GE(host, 0);
  const int data = host + 2, index = host + 3;
  ASSERT_EQ(0, CreateDataFile(data, (host_path + "!res.dat").c_str(), 10, 4096, kModeVariable));
  ASSERT_EQ(0, CreateIndexFile(index, (host_path + "!res.idx").c_str(), 8, 0, 0, 0, 4096, 0));
  for (int file : {data, index}) {
    auto big = Resource(3, 3, "", std::string(300, 'x'));
    auto tail = Resource(3, 4, "", "tail");
    ASSERT_EQ(0, AddResourceEntry(file, big.data(), static_cast<int32_t>(big.size()))) << file;
    ASSERT_EQ(0, AddResourceEntry(file, tail.data(), static_cast<int32_t>(tail.size()))) << file;
    const uint32_t at = ResourceRecordFind(file, Key(3, 3).data(), nullptr, 0, kFindResourceByKey);
    ASSERT_NE(0u, at);
    ASSERT_EQ(0, DeleteResource(file, Key(3, 3).data()));
    if (file == data) {
      EXPECT_EQ(1, FreeKeysAt(Fcb(data), at));  // the member's own free space
    } else {
      EXPECT_EQ(1, FreeKeysAt(Fcb(host), at - 18));  // the host stretch around the node grid slot
    }
    int32_t count = 0;
    ASSERT_EQ(0, CheckResourceChain(file, &count));
    EXPECT_EQ(1, count);
    EXPECT_FALSE(Get(file, 3, 4).empty());
  }
}

TEST_F(RecordEngineTest, ADescriptionGivesIdentityAndWholeLength) {
  ASSERT_EQ(0, CreateDataFile(1, Path("describe.dat").c_str(), 10, 1000, kModeVariable));
  auto r = Resource(0, 5, "", std::string(16, 'p'));  // the utilities' (0, 5) resource
  ASSERT_EQ(0, AddResourceEntry(1, r.data(), static_cast<int32_t>(r.size())));
  uint8_t d[12] = {};
  const uint32_t at = ResourceRecordFind(1, Key(0, 5).data(), d, 12, 0x142);
  ASSERT_NE(0u, at);
  EXPECT_EQ(0, CurrentInstance()->eng_err);
  EXPECT_EQ(0u, GetLe32(d));
  EXPECT_EQ(5u, GetLe32(d + 4));
  EXPECT_EQ(r.size(), GetLe32(d + 8));
  // The length it gives is what a whole read (0x102) needs.
  std::vector<uint8_t> whole(GetLe32(d + 8));
  EXPECT_EQ(at, ResourceRecordFind(1, Key(0, 5).data(), whole.data(), static_cast<int32_t>(whole.size()), 0x102));
  EXPECT_EQ(0, CurrentInstance()->eng_err);
  EXPECT_EQ(r, whole);
  EXPECT_EQ(0u, ResourceRecordFind(1, Key(0, 5).data(), d, 11, 0x142));
  EXPECT_EQ(404, CurrentInstance()->eng_err);
  EXPECT_EQ(0u, ResourceRecordFind(1, Key(0, 6).data(), d, 12, 0x142));
  EXPECT_EQ(408, CurrentInstance()->eng_err);
}

// A second process holds a record lock on a resource of a shared file
// while the first searches with the lock flag.
class ResourceLockTest : public RecordEngineTest {
 protected:
  std::string Marker(const std::string& base, const char* what) { return base + "." + what; }
  void SetTries(int tries) {
    LockWaitPolicy p = GetLockWaitPolicy();
    p.lock_tries = tries;
    SetLockWaitPolicy(p);
  }
};

TEST_F(ResourceLockTest, HolderSide) {
  if (testsupport::ChildRole() != "holder") GTEST_SKIP();
  const std::string path = testsupport::ChildValue("FILE");
  ASSERT_EQ(0, OpenFileEntry(1, path.c_str(), kModeVariable | kModeShared));
  const uint32_t at = ResourceRecordFind(1, Key(6, 1).data(), nullptr, 0, kFindResourceByKey);
  ASSERT_NE(0u, at);
  ASSERT_EQ(0, LockRecord(1, kLockWrite, at));
  testsupport::TouchFile(Marker(path, "held"));
  ASSERT_TRUE(testsupport::WaitForFile(Marker(path, "go"), 60000));
  EngineSleep(200);  // the searcher is retrying by now
  testsupport::TouchFile(Marker(path, "released"));
  ASSERT_EQ(0, LockRecord(1, kLockUnlock, at));
  ASSERT_TRUE(testsupport::WaitForFile(Marker(path, "done"), 60000));
  ASSERT_EQ(0, CloseFileEntry(1));
}

TEST_F(ResourceLockTest, ALockingSearchWaitsForAnotherProcessAndReleasesItsLocks) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string path = Path("locked.dat");
  for (const char* m : {"held", "go", "released", "done"}) std::remove(Marker(path, m).c_str());
  ASSERT_EQ(0, CreateDataFile(1, path.c_str(), 10, 1000, kModeVariable | kModeShared));
  for (uint32_t n : {1u, 2u}) {
    auto r = Resource(6, n, "", "payload");
    ASSERT_EQ(0, AddResourceEntry(1, r.data(), static_cast<int32_t>(r.size())));
  }
  platform::ChildProcess* child = testsupport::StartChildTest("ResourceLockTest.HolderSide", "holder", {"FILE=" + path});
  ASSERT_NE(nullptr, child);
  ASSERT_TRUE(testsupport::WaitForFile(Marker(path, "held"), 60000));
  std::vector<uint8_t> buf(64);
  // Without the flag the search does not care about the lock.
  EXPECT_NE(0u, ResourceRecordFind(1, Key(6, 2).data(), buf.data(), 64, kFindResourceByKey));
  // With it, (6, 1) lies on the way: a short wait ends in 42, no lock kept.
  SetTries(2);
  EXPECT_EQ(0u, ResourceRecordFind(1, Key(6, 2).data(), buf.data(), 64, kFindResourceByKey | kFindResourceLock));
  EXPECT_EQ(42, CurrentInstance()->eng_err);
  EXPECT_EQ(0, RecordLockCount(1));
  // A change that has to pass it waits the same way.
  auto other = Resource(6, 3, "", "x");
  EXPECT_EQ(42, AddResourceEntry(1, other.data(), static_cast<int32_t>(other.size())));
  EXPECT_EQ(0, RecordLockCount(1));
  // A longer wait outlasts the holder.
  SetTries(1000);
  testsupport::TouchFile(Marker(path, "go"));
  const uint32_t at = ResourceRecordFind(1, Key(6, 1).data(), buf.data(), 64, kFindResourceByKey | kFindResourceLock);
  EXPECT_NE(0u, at);
  EXPECT_EQ(0, CurrentInstance()->eng_err);
  EXPECT_TRUE(std::filesystem::exists(Marker(path, "released")));
  EXPECT_EQ(Resource(6, 1, "", "payload"), std::vector<uint8_t>(buf.begin(), buf.begin() + 16));
  EXPECT_EQ(0, RecordLockCount(1));
  EXPECT_EQ(0, AddResourceEntry(1, other.data(), static_cast<int32_t>(other.size())));
  // A lock this instance held before the search is still held after it.
  ASSERT_EQ(0, LockRecord(1, kLockWrite, at));
  EXPECT_NE(0u, ResourceRecordFind(1, Key(6, 3).data(), buf.data(), 64, kFindResourceByKey | kFindResourceLock));
  EXPECT_EQ(0, CheckRecordLocked(1, kLockWrite, at));
  EXPECT_EQ(1, RecordLockCount(1));
  ASSERT_EQ(0, LockRecord(1, kLockUnlock, at));
  testsupport::TouchFile(Marker(path, "done"));
  EXPECT_EQ(0, testsupport::WaitChildTest(child));
}

}  // namespace
}  // namespace isam
