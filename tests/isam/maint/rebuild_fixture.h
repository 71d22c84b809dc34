// A file set for the rebuild tests: fixed or variable records of an Amount
// (4 bytes) and a 200-byte UID, a unique UID index and an Amount index with
// duplicates whose members are the records with Amount > 100.
#pragma once

#include <gtest/gtest.h>

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
#include "isam/maint/rebuild/rebuild_file_set.h"
#include "isam/record/isam_record.h"
#include "isam/record/record_definition.h"
#include "isam/record/resource_chain.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {

constexpr int kRecordLength = 204;
constexpr int kUidLength = 200;

inline std::vector<uint8_t> Record(int32_t amount, int uid, int32_t extra = 0) {
  std::vector<uint8_t> r(kRecordLength, 0);
  std::memcpy(r.data(), &amount, 4);
  char text[32];
  std::snprintf(text, sizeof text, "uid-%08d", uid);
  std::memset(r.data() + 4, 'x', kUidLength);
  std::memcpy(r.data() + 4, text, std::strlen(text));
  std::memcpy(r.data() + 4 + kUidLength - 4, &extra, 4);
  return r;
}

// Every resource of a data file, whole, in key order.
inline std::vector<std::vector<uint8_t>> Resources(int data) {
  std::vector<std::vector<uint8_t>> out;
  uint32_t key[2] = {0, 0};
  uint8_t describe[12];
  while (ResourceRecordFind(data, key, describe, 12, kFindResourceAfter | kFindResourceDescribe) != 0) {
    uint32_t length;
    std::memcpy(key, describe, 8);
    std::memcpy(&length, describe + 8, 4);
    std::vector<uint8_t> bytes(length);
    ResourceRecordFind(data, key, bytes.data(), static_cast<int32_t>(length), kFindResourceByKey);
    out.push_back(bytes);
  }
  return out;
}

class RebuildFixture : public RecordEngineTest {
 protected:
  void SetUp() override {
    maint::InstallMaintLayer();
    RecordEngineTest::SetUp();
    name_ = Path("rb");
    Path("rb.dat");
    Path("rb.idx");
    indexes_[0].key_length = kUidLength;
    indexes_[0].segment_count = 1;
    indexes_[0].segments = &uid_;
    indexes_[1].key_length = 8;
    indexes_[1].duplicates = 1;
    indexes_[1].segment_count = 1;
    indexes_[1].segments = &amount_;
    block_.name = name_.c_str();
    block_.record_length = kRecordLength;
    block_.data_mode = 0x4;
    block_.data_extension = 8192;
    block_.index_count = 2;
    block_.index_extension = 8192;
    block_.indexes = indexes_;
  }
  void Create(int count) {
    ASSERT_EQ(0, CreateFileSetFromIfil(&block_));
    const RecordField fields[] = {{"Amount", 0x33, 4}, {"Uid", 0x98, kUidLength}};
    ASSERT_EQ(0, DefineRecordFields(block_.assigned, fields, 2, true));
    ASSERT_EQ(0, maint::CondIndexSetText(block_.assigned + 2, "Amount>100"));
    for (int i = 0; i < count; ++i) {
      const int uid = static_cast<int>((static_cast<long>(i) * 7919) % count);  // out of key order
      ASSERT_EQ(0, IsamRecordAdd(block_.assigned, Record(i % 200, uid).data(), kRecordLength)) << i;
    }
    ASSERT_EQ(0, CloseFileSet(&block_));
  }
  std::string Rebuild(int expected) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(expected, maint::RebuildFileSet(&block_));
    return testing::internal::GetCapturedStdout();
  }
  long Size(const char* leaf) {
    std::FILE* f = std::fopen((name_ + leaf).c_str(), "rb");
    if (f == nullptr) return -1;
    std::fseek(f, 0, SEEK_END);
    const long n = std::ftell(f);
    std::fclose(f);
    return n;
  }
  // Every record found by every key, both walks in key order, counts right,
  // and the set still sound after further adds.
  void ExpectWhole(int count) {
    ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
    const int data = block_.assigned;
    std::vector<uint8_t> r(kRecordLength);
    int32_t length = kRecordLength;
    std::vector<std::string> forward, backward;
    for (int rc = IsamRecordFirst(data + 1, r.data(), &(length = kRecordLength)); rc == 0; rc = IsamRecordNext(data + 1, r.data(), &(length = kRecordLength)))
      forward.emplace_back(reinterpret_cast<char*>(r.data() + 4), kUidLength);
    for (int rc = IsamRecordLast(data + 1, r.data(), &(length = kRecordLength)); rc == 0;
         rc = IsamRecordPrevious(data + 1, r.data(), &(length = kRecordLength)))
      backward.emplace_back(reinterpret_cast<char*>(r.data() + 4), kUidLength);
    ASSERT_EQ(static_cast<std::size_t>(count), forward.size());
    EXPECT_TRUE(std::is_sorted(forward.begin(), forward.end()));
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(forward, backward);
    int members = 0;
    for (int rc = IsamRecordFirst(data + 2, r.data(), &(length = kRecordLength)); rc == 0; rc = IsamRecordNext(data + 2, r.data(), &(length = kRecordLength))) {
      int32_t amount;
      std::memcpy(&amount, r.data(), 4);
      EXPECT_GT(amount, 100);
      ++members;
    }
    EXPECT_EQ(count / 200 * 99, members);
    EXPECT_EQ(static_cast<uint32_t>(count), CheckFileNumber(data + 1)->header.active_count);
    EXPECT_EQ(static_cast<uint32_t>(members), CheckFileNumber(data + 2)->header.active_count);
    for (int uid = 0; uid < count; uid += 97) {
      const std::vector<uint8_t> target = Record(0, uid);
      EXPECT_EQ(0, IsamRecordReadByKey(data + 1, target.data() + 4, kReadEqual, r.data(), &(length = kRecordLength))) << uid;
    }
    for (int i = 0; i < 300; ++i) ASSERT_EQ(0, IsamRecordAdd(data, Record(150, count + i).data(), kRecordLength));
    FileSetReport report;
    EXPECT_EQ(0, CheckFileSet(data, &report)) << (report.problem ? report.problem : "");
    for (int i = 0; i < 300; ++i) {
      const std::vector<uint8_t> target = Record(0, count + i);
      ASSERT_EQ(0, IsamRecordReadByKey(data + 1, target.data() + 4, kReadEqual, r.data(), &(length = kRecordLength)));
      ASSERT_EQ(0, IsamRecordDelete(data));
    }
    ASSERT_EQ(0, CloseFileSet(&block_));
  }
  void Damage(long offset, long length) {
    std::FILE* f = std::fopen((name_ + ".idx").c_str(), "r+b");
    ASSERT_NE(nullptr, f);
    std::fseek(f, offset, SEEK_SET);
    const std::vector<uint8_t> zeros(static_cast<std::size_t>(length), 0);
    std::fwrite(zeros.data(), 1, zeros.size(), f);
    std::fclose(f);
  }

  std::string name_;
  KeySegment uid_{4, kUidLength, 0};
  KeySegment amount_{0, 4, 1};
  IndexDefinition indexes_[2];
  IfilBlock block_;
};

}  // namespace isam
