// Each leftover a writer that dies can leave, made on purpose in a set whose
// header then counts a writer that never closed: the next open, alone,
// mends it and sets the count back; a clean close leaves no count.
#include <gtest/gtest.h>

#include <functional>

#include "isam/fileset/file_set_check.h"
#include "isam/index/btree_update.h"
#include "isam/index/free_space.h"
#include "isam/index/free_space_index.h"
#include "isam/index/varlen_record.h"
#include "isam/index/writer_mark.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/resource_chain.h"
#include "platform/os_file_faults.h"
#include "tests/isam/fileset/file_set_test_support.h"
#include "tests/isam/superfile/file_soundness.h"

namespace isam {
namespace {

class FileSetRecoveryTest : public FileSetTestBase {
 protected:
  // The record of a UID, read by key and made current: its position.
  uint32_t Current(int data, const std::string& uid) {
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    const auto t = UidTarget(uid);
    if (IsamRecordReadByKey(data + 1, t.data(), kReadEqual, buf.data(), &len) != 0) return 0;
    return CurrentRecordPosition(data);
  }
  // Closes the set as a writer that died would leave it: still counted.
  void CloseAsIfDied(EventShapedSet* set) {
    FileControlBlock* data = CheckFileNumber(set->block.assigned);
    ASSERT_EQ(0, MarkWriter(data));
    data->writer_marked = false;  // the close no longer counts it out
    ASSERT_EQ(0, CloseFileSet(&set->block));
  }
};

TEST_F(FileSetRecoveryTest, TheOpenAloneMendsEachLeftover) {
  using Leftover = std::function<void(int data)>;
  const struct {
    const char* what;
    Leftover make;
  } cases[] = {
      {"a record without its keys",
       [&](int data) {
         const auto r = EventRecord("lost", 90, 30);
         ASSERT_EQ(0, IsamRecordAdd(data, r.data(), static_cast<int32_t>(r.size())));
         uint8_t key[256];
         const uint32_t at = CurrentRecordPosition(data);
         for (int k : {data + 1, data + 2}) {
           ASSERT_GT(BuildRecordKey(k, r.data(), r.size(), at, key), 0);
           ASSERT_EQ(0, delkey(k, key, at, 0));
         }
       }},
      {"a key naming no record",
       [&](int data) {
         const auto ghost = EventRecord("ghost", 91);
         uint8_t key[256];
         ASSERT_GT(BuildRecordKey(data + 1, ghost.data(), ghost.size(), 999999, key), 0);
         ASSERT_EQ(0, addkey(data + 1, key, 999999, 0));
       }},
      {"a free stretch without its key",
       [&](int data) {
         FileControlBlock* fcb = CheckFileNumber(data);
         const uint32_t at = Current(data, "b");
         ASSERT_NE(0u, at);
         ASSERT_EQ(0, IsamRecordDelete(data));
         VarRecordHeader h;
         ASSERT_EQ(0, ReadVarRecordHeader(fcb, at, &h));
         uint8_t key[kSpaceKeyLength];
         BuildSpaceKey(fcb, key, h.total, at);
         ASSERT_EQ(0, SpaceIndexRemove(fcb, key));
       }},
      {"a moved record's two copies",
       [&](int data) {
         FileControlBlock* fcb = CheckFileNumber(data);
         const auto copy = EventRecord("a", 92, 500);
         const uint32_t at = AllocVarSpace(fcb, static_cast<uint32_t>(copy.size()), kAllocBestFit, true);
         ASSERT_NE(0u, at);
         ASSERT_EQ(0, WriteVarRecordAt(fcb, at, copy.data(), static_cast<uint32_t>(copy.size())));
       }},
      {"a stretch claimed and never filled",
       [&](int data) { ASSERT_NE(0u, AllocVarSpace(CheckFileNumber(data), 80, kAllocBestFit, true)); }},
      {"a key count behind its tree",
       [&](int data) {
         FileControlBlock* uid = CheckFileNumber(data + 1);
         uid->header.active_count += 5;
         ASSERT_EQ(0, WriteFileHeader(uid));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto set = FreshSet("mend");
    CreateWithRecords(set.get(), {"a", "b", "c"});
    c.make(set->block.assigned);
    CloseAsIfDied(set.get());
    ASSERT_EQ(0, OpenFileSetFromIfil(&set->block));
    const int data = set->block.assigned;
    FileSetReport report;
    EXPECT_EQ(0, CheckFileSet(data, &report)) << (report.problem ? report.problem : "");
    EXPECT_EQ(0, UncleanWriters(CheckFileNumber(data))) << "the count is back to 0";
    EXPECT_NE(0u, Current(data, "a"));
    EXPECT_EQ("", KeyCountProblem(data + 1));
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    const auto t = UidTarget("a");
    ASSERT_EQ(0, IsamRecordReadByKey(data + 1, t.data(), kReadEqual, buf.data(), &len));
    buf.resize(static_cast<std::size_t>(len));
    EXPECT_EQ(EventRecord("a", 1, 20), buf) << "the copy the index names stays";
    ASSERT_EQ(0, CloseFileSet(&set->block));
  }
}

// A rewrite that moved its record died before letting the old copy go; a
// process that had the set open beside it (so nothing was mended) then
// deleted the record. The next mend must not bring the old copy back.
TEST_F(FileSetRecoveryTest, AnOrphanedCopyDoesNotOutliveADelete) {
  auto set = FreshSet("orphan");
  CreateWithRecords(set.get(), {"a", "b", "c"});
  const int data = set->block.assigned;
  FileControlBlock* fcb = CheckFileNumber(data);
  const auto old_copy = EventRecord("a", 92, 500);
  const uint32_t at = AllocVarSpace(fcb, static_cast<uint32_t>(old_copy.size()), kAllocBestFit, true);
  ASSERT_NE(0u, at);
  ASSERT_EQ(0, WriteVarRecordAt(fcb, at, old_copy.data(), static_cast<uint32_t>(old_copy.size())));
  ASSERT_NE(0u, Current(data, "a"));
  ASSERT_EQ(0, IsamRecordDelete(data));
  CloseAsIfDied(set.get());
  ASSERT_EQ(0, OpenFileSetFromIfil(&set->block));
  EXPECT_EQ(0u, Current(set->block.assigned, "a")) << "the deleted record came back";
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(set->block.assigned, &report)) << (report.problem ? report.problem : "");
  EXPECT_EQ(2, report.records);
  ASSERT_EQ(0, CloseFileSet(&set->block));
}

// A resource change that relinks the chain in two writes (an add, an
// update that moves its data, a delete) cut off at each of its writes, in
// a set that was sound before: the next open must find the chain walkable
// and every resource whole, old or new.
TEST_F(FileSetRecoveryTest, AResourceChangeCutShortLeavesTheChainWhole) {
  constexpr uint32_t kType = 0x4B41;
  const auto one = ResourceBytes(kType, 1, "one", "first");
  const auto three = ResourceBytes(kType, 3, "three", "third");
  const auto grown = ResourceBytes(kType, 1, "one", std::string(900, 'g'));
  const auto two = ResourceBytes(kType, 2, "two", "second");
  using Change = std::function<int(int data)>;
  const struct {
    const char* what;
    Change change;
  } cases[] = {
      {"add", [&](int data) { return AddResourceEntry(data, two.data(), static_cast<int32_t>(two.size())); }},
      {"moving update", [&](int data) { return ResourceRecordUpdate(data, grown.data(), static_cast<int32_t>(grown.size())); }},
      {"delete", [&](int data) { return DeleteResource(data, one.data()); }},
  };
  for (const auto& c : cases) {
    for (uint64_t nth = 1;; ++nth) {
      SCOPED_TRACE(std::string(c.what) + " cut at write " + std::to_string(nth));
      auto set = FreshSet("chain");
      CreateWithRecords(set.get(), {"a"});
      const int data = set->block.assigned;
      ASSERT_EQ(0, AddResourceEntry(data, one.data(), static_cast<int32_t>(one.size())));
      ASSERT_EQ(0, AddResourceEntry(data, three.data(), static_cast<int32_t>(three.size())));
      ASSERT_EQ(0, CloseFileSet(&set->block));
      ASSERT_EQ(0, OpenFileSetFromIfil(&set->block));
      platform::FileFaultPlan plan;
      plan.nth = nth;
      platform::ArmFileFault(plan);
      const int rc = c.change(set->block.assigned);
      const bool cut = platform::FileFaultFired();
      platform::DisarmFileFaults();
      CheckFileNumber(set->block.assigned)->writer_marked = false;  // closes as a writer that died
      ASSERT_EQ(0, CloseFileSet(&set->block));
      ASSERT_EQ(0, OpenFileSetFromIfil(&set->block));
      const int reopened = set->block.assigned;
      int32_t count = 0;
      EXPECT_EQ(0, CheckResourceChain(reopened, &count));
      for (const auto* r : {&one, &three, &two}) {
        std::vector<uint8_t> buf(2048);
        int32_t used = 0;
        const bool found = ResourceRecordFind(reopened, r->data(), buf.data(), 2048, kFindResourceByKey, &used) != 0;
        const int err = CurrentInstance()->eng_err;
        EXPECT_TRUE(found || err == 408) << GetLe32(r->data() + 4) << " gave " << err;
        buf.resize(static_cast<std::size_t>(found ? used : 0));
        if (found && r == &one) {
          EXPECT_TRUE(buf == one || buf == grown);
        }
      }
      ASSERT_EQ(0, CloseFileSet(&set->block));
      if (!cut) {
        EXPECT_EQ(0, rc);
        break;
      }
    }
  }
}

TEST_F(FileSetRecoveryTest, ACleanCloseLeavesNothingToMend) {
  auto set = FreshSet("clean");
  CreateWithRecords(set.get(), {"a", "b"});
  ASSERT_EQ(0, CloseFileSet(&set->block));
  ASSERT_EQ(0, OpenFileSetFromIfil(&set->block));
  FileControlBlock* data = CheckFileNumber(set->block.assigned);
  EXPECT_EQ(0, UncleanWriters(data));
  EXPECT_NE(0u, data->header.close_time) << "the close stored its time";
  ASSERT_EQ(0, CloseFileSet(&set->block));
}

}  // namespace
}  // namespace isam
