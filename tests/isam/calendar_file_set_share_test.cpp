// Two real processes sharing one calendar-shaped file set.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/index/btree_update.h"
#include "isam/index/writer_mark.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/thread_layer.h"
#include "platform/os_file.h"
#include "platform/os_file_faults.h"
#include "platform/process.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"
#include "tests/support/child_process.h"

namespace isam {
namespace {

constexpr int kRounds = 150;

// One side's work: add its own events, rewrite random events of either
// side under lock mode 2 (a read takes the record's write lock, without
// waiting), read each change back.
void Work(CalendarFileSet& set, const std::string& side, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> buf(4096);
  ASSERT_EQ(0, IsamSetLockMode(2));
  for (int i = 0; i < kRounds; ++i) {
    const std::string uid = side + "-" + std::to_string(i);
    auto rec = EventRecord(uid, static_cast<uint32_t>(i), rng() % 300);
    int rc = IsamRecordAdd(set.data_file(), rec.data(), static_cast<int32_t>(rec.size()));
    ASSERT_EQ(0, rc) << uid << " eng_err " << CurrentInstance()->eng_err << " locks " << RecordLockCount();
    ASSERT_EQ(0, IsamSetLockMode(1));  // release, keep mode 2
    // Rewrite one event of either side, if it exists yet and is free.
    const std::string other = (rng() % 2 ? "A-" : "B-") + std::to_string(rng() % (i + 1));
    const auto t = UidTarget(other);
    int32_t len = 4096;
    buf.resize(4096);
    rc = IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len);
    if (rc == 0) {
      buf.resize(static_cast<std::size_t>(len));
      const uint32_t serial = GetLe32(buf.data() + 6) + 1000;
      auto changed = EventRecord(other, serial, rng() % 600, side[0]);
      ASSERT_EQ(0, IsamRecordRewrite(set.data_file(), changed.data(), static_cast<int32_t>(changed.size())))
          << side << " " << other << " at " << CurrentRecordPosition(set.data_file());
      buf.assign(4096, 0);
      ASSERT_EQ(0, IsamRecordReread(set.data_file(), buf.data(), 4096, &len))
          << side << " " << other << " at " << CurrentRecordPosition(set.data_file()) << " locks "
          << RecordLockCount();
      buf.resize(static_cast<std::size_t>(len));
      EXPECT_EQ(changed, buf);
    } else {
      ASSERT_TRUE(rc == 101 || rc == 42) << rc;  // not there yet, or the other side holds it
    }
    ASSERT_EQ(0, IsamSetLockMode(1));
  }
  ASSERT_EQ(0, IsamSetLockMode(0));
  EXPECT_EQ(0, RecordLockCount());
}

std::string View(CalendarFileSet& set) {
  std::set<std::string> lines;
  std::vector<uint8_t> buf(4096);
  int32_t len = 4096;
  for (int rc = IsamRecordFirst(set.uid_key(), buf.data(), &len); rc == 0;
       rc = IsamRecordNext(set.uid_key(), buf.data(), &len)) {
    buf.resize(static_cast<std::size_t>(len));
    std::ostringstream line;
    line << UidOf(buf) << " " << GetLe32(buf.data() + 6) << " " << buf.size();
    lines.insert(line.str());
    buf.resize(4096);
    len = 4096;
  }
  std::ostringstream all;
  for (const auto& l : lines) all << l << "\n";
  return all.str();
}

// Two processes really contend for header and node locks: wait for them
// as the engine normally does, only with shorter pauses.
class CalendarShareTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    LockWaitPolicy p;
    p.pause_ms = 2;
    SetLockWaitPolicy(p);
  }
};

TEST_F(CalendarShareTest, ChildSide) {
  if (testsupport::ChildRole() != "B") GTEST_SKIP();
  const std::string base = testsupport::ChildValue("SET");
  CalendarFileSet set(base);
  ASSERT_EQ(0, OpenFileSetFromIfil(set.block()));
  Work(set, "B", 2);
  testsupport::TouchFile(base + ".child-done");
  ASSERT_TRUE(testsupport::WaitForFile(base + ".parent-done", 120000));
  std::ofstream(base + ".child-view") << View(set);
  ASSERT_EQ(0, CloseFileSet(set.block()));
}

TEST_F(CalendarShareTest, TwoProcessesAddRewriteAndSeeTheSameRecords) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string host_path = Path("shared.akv");
  const std::string base = CalendarFileSet::MemberName(host_path);
  for (const char* ext : {".child-done", ".parent-done", ".child-view"}) std::remove((base + ext).c_str());
  ASSERT_GE(CreateCalendarHost(host_path), 0);
  CalendarFileSet set(base);
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  platform::ChildProcess* child =
      testsupport::StartChildTest("CalendarShareTest.ChildSide", "B", {"SET=" + base});
  ASSERT_NE(nullptr, child);
  Work(set, "A", 1);
  ASSERT_TRUE(testsupport::WaitForFile(base + ".child-done", 120000));
  testsupport::TouchFile(base + ".parent-done");
  EXPECT_EQ(0, testsupport::WaitChildTest(child));
  std::ifstream in(base + ".child-view");
  std::stringstream child_view;
  child_view << in.rdbuf();
  const std::string mine = View(set);
  EXPECT_EQ(mine, child_view.str());
  EXPECT_NE(std::string::npos, mine.find("A-149 "));
  EXPECT_NE(std::string::npos, mine.find("B-149 "));
  FileSetReport report;
  ASSERT_EQ(0, CheckFileSet(set.data_file(), &report)) << (report.problem ? report.problem : "");
  EXPECT_EQ(2 * kRounds, report.records);
  // No lock is left: every record can be write-locked without waiting.
  ASSERT_EQ(0, IsamSetLockMode(2));
  std::vector<uint8_t> buf(4096);
  int32_t len = 4096;
  int locked = 0;
  for (int rc = IsamRecordFirst(set.data_file(), buf.data(), &len); rc == 0;
       rc = IsamRecordNext(set.data_file(), buf.data(), &len), len = 4096)
    ++locked;
  EXPECT_EQ(2 * kRounds, locked);
  ASSERT_EQ(0, IsamSetLockMode(0));
}

// Holds the mend at its flush (its changes made, the writer mark not yet
// cleared: no range lock is held there) until the parent's open has
// returned, or a while: long enough for an open that does not wait to show.
class HoldFirstFlush : public platform::FileWriteRecorder {
 public:
  explicit HoldFirstFlush(std::string base) : base_(std::move(base)) {}
  void Write(const platform::OsFile*, uint64_t, const void*, uint32_t) override {}
  void Flush(const platform::OsFile*) override {
    if (held_) return;
    held_ = true;
    testsupport::TouchFile(base_ + ".holding");
    testsupport::WaitForFile(base_ + ".opened", 1500);
  }

 private:
  std::string base_;
  bool held_ = false;
};

TEST_F(CalendarShareTest, MenderSide) {
  if (testsupport::ChildRole() != "mender") GTEST_SKIP();
  const std::string base = testsupport::ChildValue("SET");
  CalendarFileSet set(base);
  HoldFirstFlush hold(base);
  platform::SetFileWriteRecorder(&hold);
  const int rc = OpenFileSetFromIfil(set.block());
  platform::SetFileWriteRecorder(nullptr);
  ASSERT_EQ(0, rc);
  testsupport::TouchFile(base + ".mended");
  ASSERT_TRUE(testsupport::WaitForFile(base + ".parent-done", 120000));
  ASSERT_EQ(0, CloseFileSet(set.block()));
}

// A writer died leaving a stray key; one process mends the set at its open
// while a second opens it and adds: the second waits for the whole mend,
// and the mend takes none of its adds for stray keys.
TEST_F(CalendarShareTest, ASecondOpenerWaitsForTheMend) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string host_path = Path("mend.akv");
  const std::string base = CalendarFileSet::MemberName(host_path);
  for (const char* ext : {".holding", ".opened", ".mended", ".parent-done"}) std::remove((base + ext).c_str());
  ASSERT_GE(CreateCalendarHost(host_path), 0);
  CalendarFileSet set(base);
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  for (const char* uid : {"a", "b", "c"}) {
    const auto r = EventRecord(uid, 1);
    ASSERT_EQ(0, IsamRecordAdd(set.data_file(), r.data(), static_cast<int32_t>(r.size())));
  }
  const auto ghost = EventRecord("ghost", 2);
  uint8_t key[256];
  ASSERT_GT(BuildRecordKey(set.uid_key(), ghost.data(), ghost.size(), 999999, key), 0);
  ASSERT_EQ(0, addkey(set.uid_key(), key, 999999, 0));
  CheckFileNumber(set.data_file())->writer_marked = false;  // closes as a writer that died
  CloseSetAndHost(set);

  platform::ChildProcess* child = testsupport::StartChildTest("CalendarShareTest.MenderSide", "mender", {"SET=" + base});
  ASSERT_NE(nullptr, child);
  ASSERT_TRUE(testsupport::WaitForFile(base + ".holding", 60000));
  const int rc = OpenFileSetFromIfil(set.block());
  testsupport::TouchFile(base + ".opened");
  EXPECT_TRUE(platform::OsFileExists((base + ".mended").c_str())) << "the open returned during the mend";
  ASSERT_EQ(0, rc);
  for (int i = 0; i < 20; ++i) {
    const auto r = EventRecord("p" + std::to_string(i), 3, 40);
    ASSERT_EQ(0, IsamRecordAdd(set.data_file(), r.data(), static_cast<int32_t>(r.size())));
  }
  testsupport::TouchFile(base + ".parent-done");
  EXPECT_EQ(0, testsupport::WaitChildTest(child));
  std::vector<uint8_t> buf(4096);
  for (int i = 0; i < 20; ++i) {
    const auto t = UidTarget("p" + std::to_string(i));
    int32_t len = 4096;
    EXPECT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len)) << i;
  }
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(set.data_file(), &report)) << (report.problem ? report.problem : "");
  EXPECT_EQ(23, report.records);
  EXPECT_EQ(1, UncleanWriters(CheckFileNumber(set.data_file()))) << "the mend left this writer's mark";
}

}  // namespace
}  // namespace isam
