#include "isam/calendar_file_set.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>

#include "isam/fileset/file_set_check.h"
#include "isam/index/btree_bytes.h"
#include "isam/record/isam_record.h"
#include "isam/record/record_lock.h"
#include "isam/record/resource_chain.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"
#include "tests/support/child_process.h"

namespace isam {
namespace {

class CalendarSetTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    // The set lives as the "!events" member of a calendar host.
    const std::string host = Path("cal.akv");
    ASSERT_GE(CreateCalendarHost(host), 0);
    base_ = CalendarFileSet::MemberName(host);
    set_ = std::make_unique<CalendarFileSet>(base_);
  }
  int Add(const std::string& uid, uint32_t serial, std::size_t filler) {
    const auto r = EventRecord(uid, serial, filler);
    return IsamRecordAdd(set_->data_file(), r.data(), static_cast<int32_t>(r.size()));
  }
  int Find(const std::string& uid, std::vector<uint8_t>* out) {
    out->assign(4096, 0);
    int32_t len = 4096;
    const auto t = UidTarget(uid);
    const int rc = IsamRecordReadByKey(set_->uid_key(), t.data(), kReadEqual, out->data(), &len);
    out->resize(rc == 0 ? static_cast<std::size_t>(len) : 0);
    return rc;
  }
  std::string base_;
  std::unique_ptr<CalendarFileSet> set_;
};

TEST_F(CalendarSetTest, SharedModesCreateCloseAndReopen) {
  // The shared bit is for other openers: it must not stop this instance
  // from storing the definition while it creates the files.
  ASSERT_EQ(0, CreateFileSetFromIfil(set_->block()));
  const int data = set_->data_file();
  EXPECT_TRUE(IsShared(Fcb(data)));
  EXPECT_EQ(kClassSuperMember, Fcb(data)->header.file_class);
  EXPECT_EQ(kClassSuperMember, Fcb(data + 1)->header.file_class);
  EXPECT_EQ(14, Fcb(data)->header.record_length);
  EXPECT_EQ(200, Fcb(data + 1)->header.key_length);
  EXPECT_EQ(8, Fcb(data + 1)->header.key_type);
  EXPECT_EQ(0x20, Fcb(data + 1)->header.padding);
  EXPECT_EQ(1, Fcb(data + 2)->header.duplicates);
  ASSERT_EQ(0, CloseFileSet(set_->block()));
  ASSERT_EQ(0, OpenFileSetFromIfil(set_->block()));
  ASSERT_EQ(0, Add("first", 1, 10));
  ASSERT_EQ(0, CloseFileSet(set_->block()));
  ASSERT_EQ(0, OpenFileSetFromIfil(set_->block()));
  std::vector<uint8_t> r;
  EXPECT_EQ(0, Find("first", &r));
  EXPECT_EQ("calx!events", CalendarFileSet::MemberName("calx"));
  // On disk the host is a superfile host of 768-byte nodes with names up to
  // 128 bytes that has made three members (directory, data file, index).
  CloseAllFiles();
  const std::string host = base_.substr(0, base_.find('!'));
  std::FILE* f = std::fopen(host.c_str(), "rb");
  ASSERT_NE(nullptr, f);
  uint8_t header[128] = {};
  ASSERT_EQ(sizeof header, std::fread(header, 1, sizeof header, f));
  std::fclose(f);
  EXPECT_EQ(1u, GetLe16(header + 92));
  EXPECT_EQ(768u, GetLe16(header + 42));
  EXPECT_EQ(128u, GetLe16(header + 96));
  EXPECT_EQ(3u, GetLe32(header + 16));
}

TEST_F(CalendarSetTest, SoakOfAddsAndRewritesStaysConsistentAndCompact) {
  // Opened exclusive: the same record and space paths, with the node cache
  // at work (shared opens are the subject of the two-process tests).
  set_->block()->data_mode = kCalendarDataMode & ~kModeShared;
  set_->block()->index_mode = kCalendarIndexMode & ~kModeShared;
  ASSERT_EQ(0, CreateFileSetFromIfil(set_->block()));
  std::mt19937 rng(20261209);
  std::map<std::string, std::pair<uint32_t, std::size_t>> live;  // uid -> serial, filler
  uint32_t serial = 0;
  while (live.size() < 5000) {
    std::string uid = "uid-" + std::to_string(rng()) + "@example";
    if (live.count(uid)) continue;
    const std::size_t filler = 20 + rng() % 400;
    ASSERT_EQ(0, Add(uid, ++serial, filler));
    live[uid] = {serial, filler};
  }
  std::vector<std::string> uids;
  for (const auto& e : live) uids.push_back(e.first);
  std::vector<uint8_t> r;
  // The Windows tree runs fewer rewrites (ISAM_SOAK_REWRITES); the host
  // tree keeps the full count.
  const char* rewrites_env = std::getenv("ISAM_SOAK_REWRITES");
  const int rewrites = rewrites_env != nullptr ? std::atoi(rewrites_env) : 20000;
  for (int i = 0; i < rewrites; ++i) {
    const std::string& uid = uids[rng() % uids.size()];
    ASSERT_EQ(0, Find(uid, &r)) << i;
    const std::size_t filler = rng() % 700;
    const auto rec = EventRecord(uid, ++serial, filler, static_cast<char>('a' + i % 26));
    ASSERT_EQ(0, IsamRecordRewrite(set_->data_file(), rec.data(), static_cast<int32_t>(rec.size()))) << i;
    live[uid] = {serial, filler};
  }
  auto verify = [&] {
    FileSetReport report;
    ASSERT_EQ(0, CheckFileSet(set_->data_file(), &report)) << (report.problem ? report.problem : "");
    EXPECT_EQ(5000, report.records);
    EXPECT_EQ(0, report.unfilled);
    // Physical walk: each live record once.
    std::set<std::string> walked;
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    for (int rc = IsamRecordFirst(set_->data_file(), buf.data(), &len); rc == 0;
         rc = IsamRecordNext(set_->data_file(), buf.data(), &len)) {
      buf.resize(static_cast<std::size_t>(len));
      EXPECT_TRUE(walked.insert(UidOf(buf)).second);
      buf.resize(4096);
      len = 4096;
    }
    EXPECT_EQ(5000u, walked.size());
    for (const auto& e : live) {
      ASSERT_EQ(0, Find(e.first, &r)) << e.first;
      EXPECT_EQ(e.second.first, GetLe32(r.data() + 6));
      EXPECT_EQ(14 + e.first.size() + 1 + e.second.second, r.size());
    }
    // Index 2 in serial order.
    uint32_t last = 0;
    int count = 0;
    len = 4096;
    for (int rc = IsamRecordFirst(set_->serial_key(), buf.data(), &len); rc == 0;
         rc = IsamRecordNext(set_->serial_key(), buf.data(), &len), len = 4096) {
      const uint32_t s = GetLe32(buf.data() + 6);
      EXPECT_LT(last, s);
      last = s;
      ++count;
    }
    EXPECT_EQ(5000, count);
    const uint64_t size = static_cast<uint64_t>(Fcb(set_->data_file())->header.logical_end) + 1;
    EXPECT_LT(size, 3 * report.live_bytes) << "free " << report.free_bytes;
  };
  verify();
  ASSERT_EQ(0, CloseFileSet(set_->block()));
  ASSERT_EQ(0, OpenFileSetFromIfil(set_->block()));
  verify();
}

}  // namespace
}  // namespace isam
