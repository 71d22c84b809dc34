// Rebuilding a file set from its data: 10,000 fixed records with a unique
// 200-byte key and a conditional member (Amount > 100) after each kind of
// index damage, repeated rebuilds, an empty file, and rejected keys listed
// or purged.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/index/file_control_block.h"
#include "isam/maint/conditions/cond_index_store.h"
#include "isam/maint/maint_layer.h"
#include "isam/maint/rebuild/add_index_members.h"
#include "isam/maint/rebuild/bulk_load.h"
#include "isam/maint/rebuild/compact_file_set.h"
#include "isam/maint/rebuild/rebuild_file_set.h"
#include "isam/record/isam_record.h"
#include "isam/index/varlen_record.h"
#include "isam/record/record_definition.h"
#include "isam/record/resource_chain.h"
#include "tests/isam/maint/rebuild_fixture.h"

namespace isam {
namespace {

class RebuildTest : public RebuildFixture {};

TEST_F(RebuildTest, EveryDamageRebuildsTheSameTree) {
  CurrentInstance()->sort_buffer_limit = 64 * 1024;  // runs go to work files
  Create(10000);
  const long node_area = 4096;
  struct Case {
    const char* what;
    int kind;  // 0 nodes zeroed, 1 file deleted, 2 root overwritten
  } cases[] = {{"nodes zeroed", 0}, {"index deleted", 1}, {"root overwritten", 2}};
  for (const Case& c : cases) {
    if (c.kind == 0) Damage(node_area, 8192);
    if (c.kind == 1) std::remove((name_ + ".idx").c_str());
    if (c.kind == 2) Damage(28, 4);
    const std::string out = Rebuild(0);
    EXPECT_NE(std::string::npos, out.find("\nIndex file rebuild complete (10000 entries added).")) << c.what;
    EXPECT_NE(std::string::npos, out.find("\nAdditional index member rebuild complete (4950 entries added)."))
        << c.what;
    ExpectWhole(10000);
  }
}

TEST_F(RebuildTest, RebuildsLeaveTheIndexSizeAlone) {
  Create(1000);
  Rebuild(0);
  const long size = Size(".idx");
  for (int i = 0; i < 10; ++i) Rebuild(0);
  EXPECT_EQ(size, Size(".idx"));
  ExpectWhole(1000);
}

TEST_F(RebuildTest, EmptyDataFileGivesAnEmptyTree) {
  Create(0);
  Rebuild(0);
  ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
  EXPECT_EQ(0u, CheckFileNumber(block_.assigned + 1)->header.root);
  EXPECT_EQ(0u, CheckFileNumber(block_.assigned + 1)->header.active_count);
}

TEST_F(RebuildTest, RejectedKeysAreListedOrPurgedOnce) {
  // Written with duplicates allowed; rebuilt as unique on the uid, and a
  // second unique index on the last four uid bytes (equal for the pair).
  IndexDefinition loose[2] = {indexes_[0], indexes_[1]};
  loose[0].key_length = kUidLength + 4;
  loose[0].duplicates = 1;
  block_.indexes = loose;
  ASSERT_EQ(0, CreateFileSetFromIfil(&block_));
  const RecordField fields[] = {{"Amount", 0x33, 4}, {"Uid", 0x98, kUidLength}};
  ASSERT_EQ(0, DefineRecordFields(block_.assigned, fields, 2, true));
  for (int i = 0; i < 20; ++i) ASSERT_EQ(0, IsamRecordAdd(block_.assigned, Record(i, i, i + 1000).data(), kRecordLength));
  ASSERT_EQ(0, IsamRecordAdd(block_.assigned, Record(7, 7, 1007).data(), kRecordLength));  // equal in both unique keys
  ASSERT_EQ(0, CloseFileSet(&block_));

  KeySegment tail{4 + kUidLength - 4, 4, 0};
  IndexDefinition strict[2] = {indexes_[0], indexes_[0]};
  strict[1].key_length = 4;
  strict[1].segments = &tail;
  block_.indexes = strict;
  const std::string out = Rebuild(652);
  std::FILE* list = std::fopen(maint::LastRejectFileName(), "r");
  ASSERT_NE(nullptr, list);
  std::string text(4096, '\0');
  text.resize(std::fread(&text[0], 1, text.size(), list));
  std::fclose(list);
  std::remove(maint::LastRejectFileName());
  EXPECT_NE(std::string::npos, text.find("\nDuplicate key(s) found for " + name_ + ".dat, keyno=1:\n")) << text;
  EXPECT_NE(std::string::npos, text.find("key value rejected for recpos=")) << text;
  EXPECT_NE(std::string::npos, text.find("\t75 69 64 2d ")) << "the dump";

  block_.data_file = -101;
  Rebuild(650);
  EXPECT_EQ(-101, block_.data_file);
  block_.data_file = -1;
  ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
  const int data = block_.assigned;
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(data, &report)) << (report.problem ? report.problem : "");
  EXPECT_EQ(20, report.records);
  std::vector<uint32_t> positions;
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(0, IsamRecordAdd(data, Record(1, 100 + i, 100 + i).data(), kRecordLength));
    positions.push_back(CurrentRecordPosition(data));
  }
  std::sort(positions.begin(), positions.end());
  EXPECT_EQ(positions.end(), std::adjacent_find(positions.begin(), positions.end()));
  EXPECT_EQ(0, CheckFileSet(data, &report)) << (report.problem ? report.problem : "");
}

TEST_F(RebuildTest, BulkLoadRefusals) {
  Create(0);
  ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
  const int uid = block_.assigned + 1;
  const std::vector<uint8_t> a = Record(0, 1), b = Record(0, 2), c = Record(0, 3);
  struct Step {
    int key;
    const std::vector<uint8_t>* record;
    uint32_t position;
    int mode;
    int expected;
  } steps[] = {
      {uid, &b, 0, maint::kBulkNext, 58},   {block_.assigned, &b, 100, 0, 48}, {uid, &b, 100, maint::kBulkStart, 0},
      {uid + 1, &c, 100, maint::kBulkNext, 58}, {uid, &a, 200, maint::kBulkNext, 59}, {uid, &b, 300, maint::kBulkNext, 59},
      {uid, &c, 400, 7, 116},               {uid, nullptr, 0, maint::kBulkFinish, 0},
      // An index that holds keys takes only greater ones.
      {uid, &a, 500, maint::kBulkStart, 59}, {uid, &c, 600, maint::kBulkNext, 0}, {uid, nullptr, 0, maint::kBulkFinish, 0},
  };
  for (const Step& s : steps)
    EXPECT_EQ(s.expected, maint::IndexBulkAddKey(s.key, s.record ? s.record->data() + 4 : nullptr, s.position, s.mode))
        << s.position << " mode " << s.mode;
  EXPECT_EQ(2u, CheckFileNumber(uid)->header.active_count);
}

TEST_F(RebuildTest, AddedIndexesAreBuiltOrLeaveNothing) {
  Create(400);
  const std::string added = name_ + "2.idx";
  Path("rb2.idx");
  IndexDefinition more[2] = {indexes_[1], indexes_[1]};
  more[0].file_name = added.c_str();
  more[1].key_length = 0;  // no key can have that length
  IfilBlock add = block_;
  add.indexes = more;
  add.index_count = 2;
  testing::internal::CaptureStdout();
  EXPECT_NE(0, maint::AddIndexMembers(&add));
  EXPECT_EQ(-1, Size("2.idx")) << "what the failed call made is gone";
  add.index_count = 1;
  EXPECT_EQ(0, maint::AddIndexMembers(&add));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(540, maint::AddIndexMembers(nullptr));

  IndexDefinition three[3] = {indexes_[0], indexes_[1], more[0]};
  block_.indexes = three;
  block_.index_count = 3;
  ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
  EXPECT_EQ(400u, CheckFileNumber(block_.assigned + 3)->header.active_count);
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(block_.assigned, &report)) << (report.problem ? report.problem : "");
  ASSERT_EQ(0, CloseFileSet(&block_));
}

TEST_F(RebuildTest, CompactionKeepsRecordsAndResources) {
  for (const bool variable : {true, false}) {
    SCOPED_TRACE(variable ? "variable" : "fixed");
    if (!variable) block_.data_mode = 0;
    Create(1000);
    ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
    const int data = block_.assigned;
    std::vector<uint8_t> note = {0x55, 0, 0, 0, 1, 0, 0, 0, 'n', 'o', 't', 'e', 0, 1, 2, 3, 4, 5};
    ASSERT_EQ(0, AddResourceEntry(data, note.data(), static_cast<int32_t>(note.size())));
    std::vector<uint8_t> r(kRecordLength + 64);
    int32_t length = static_cast<int32_t>(r.size());
    for (int uid = 0; uid < 1000; ++uid) {
      const std::vector<uint8_t> target = Record(0, uid);
      length = static_cast<int32_t>(r.size());
      ASSERT_EQ(0, IsamRecordReadByKey(data + 1, target.data() + 4, kReadEqual, r.data(), &length));
      if (uid % 3 == 0) {
        ASSERT_EQ(0, IsamRecordDelete(data));
      } else if (variable && uid % 7 == 0) {
        ASSERT_EQ(0, IsamRecordRewrite(data, r.data(), kRecordLength + 40));  // longer: it moves
      }
    }
    std::vector<std::string> before;
    length = static_cast<int32_t>(r.size());
    for (int rc = IsamRecordFirst(data + 1, r.data(), &length); rc == 0; rc = IsamRecordNext(data + 1, r.data(), &length)) {
      before.emplace_back(reinterpret_cast<char*>(r.data()), static_cast<std::size_t>(length));
      length = static_cast<int32_t>(r.size());
    }
    ASSERT_EQ(666u, before.size());
    long deleted = 334;
    if (variable) {
      deleted = 0;
      FileControlBlock* fcb = CheckFileNumber(data);
      for (uint32_t at = FirstVarPosition(fcb); at <= fcb->header.logical_end;) {
        VarRecordHeader h;
        ASSERT_EQ(0, ReadVarRecordHeader(fcb, at, &h));
        if (h.mark == kMarkFree || h.mark == kMarkSpaceNode) deleted += static_cast<long>(h.total);
        at += h.total;
      }
    }
    const std::vector<std::vector<uint8_t>> resources = Resources(data);
    ASSERT_EQ(3u, resources.size()) << "definition, conditions, note";
    ASSERT_EQ(0, CloseFileSet(&block_));

    testing::internal::CaptureStdout();
    EXPECT_EQ(0, maint::CompactFileSet(&block_));
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string expected = variable ? "\n\n" + std::to_string(deleted) + " deleted bytes were removed\n"
                                          : "\n\n334 deleted records were removed";
    EXPECT_NE(std::string::npos, out.find(expected)) << out;
    EXPECT_EQ(-1, Size(".dat~"));

    ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
    EXPECT_EQ(resources, Resources(block_.assigned));
    std::vector<std::string> after;
    length = static_cast<int32_t>(r.size());
    for (int rc = IsamRecordFirst(block_.assigned + 1, r.data(), &length); rc == 0;
         rc = IsamRecordNext(block_.assigned + 1, r.data(), &length)) {
      after.emplace_back(reinterpret_cast<char*>(r.data()), static_cast<std::size_t>(length));
      length = static_cast<int32_t>(r.size());
    }
    std::vector<std::string> physical;
    length = static_cast<int32_t>(r.size());
    for (int rc = IsamRecordFirst(block_.assigned, r.data(), &length); rc == 0;
         rc = IsamRecordNext(block_.assigned, r.data(), &length)) {
      physical.emplace_back(reinterpret_cast<char*>(r.data()), static_cast<std::size_t>(length));
      length = static_cast<int32_t>(r.size());
    }
    EXPECT_EQ(before, after);
    std::sort(physical.begin(), physical.end());
    std::sort(before.begin(), before.end());
    EXPECT_EQ(before, physical);
    ASSERT_EQ(0, CloseFileSet(&block_));
    std::remove((name_ + ".dat").c_str());
    std::remove((name_ + ".idx").c_str());
  }
}

}  // namespace
}  // namespace isam
