// A writer process that ends abruptly at random moments, inside engine
// calls as often as between them, and the file set reopened after each.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/index/file_close.h"
#include "isam/record/isam_record.h"
#include "isam/record/record_lock.h"
#include "isam/superfile/superfile_member.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"
#include "tests/isam/superfile/file_soundness.h"
#include "tests/support/child_process.h"

namespace isam {
namespace {

constexpr int kCrashes = 100;
constexpr int kCrashExitCode = 77;

class CalendarCrashTest : public RecordEngineTest {};

TEST_F(CalendarCrashTest, WriterSide) {
  if (testsupport::ChildRole() != "writer") GTEST_SKIP();
  const unsigned seed = static_cast<unsigned>(std::atoi(testsupport::ChildValue("SEED").c_str()));
  CalendarFileSet set(testsupport::ChildValue("SET"));
  ASSERT_EQ(0, OpenFileSetFromIfil(set.block()));
  std::mt19937 rng(seed);
  const int delay_us = static_cast<int>(rng() % 40000);
  std::thread([delay_us] {
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
    std::_Exit(kCrashExitCode);  // no destructors, no close: a crash
  }).detach();
  std::vector<uint8_t> buf(4096);
  for (uint32_t i = 0;; ++i) {
    const std::string uid = "u" + std::to_string(rng() % 400);
    const auto t = UidTarget(uid);
    int32_t len = 4096;
    buf.resize(4096);
    const auto rec = EventRecord(uid, seed * 100000 + i, rng() % 900);
    if (IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) == 0)
      IsamRecordRewrite(set.data_file(), rec.data(), static_cast<int32_t>(rec.size()));
    else
      IsamRecordAdd(set.data_file(), rec.data(), static_cast<int32_t>(rec.size()));
  }
}

// Closes the set and the host it opened, so the next open reads the file
// afresh as a new process would.
void CloseSetAndHost(CalendarFileSet& set) {
  const FileControlBlock* host = SuperfileHostOf(CheckFileNumber(set.data_file()));
  ASSERT_NE(nullptr, host);
  const int host_number = host->number;
  ASSERT_EQ(0, CloseFileSet(set.block()));
  ASSERT_EQ(0, CloseFileEntry(host_number));
}

// Walks one order to its end; false when it does not end. A walk may end
// in an error code (a damaged index says so); it must never run on. The
// code it ended with goes to *last.
bool WalkEnds(int file, int limit, int* last = nullptr) {
  std::vector<uint8_t> buf(4096);
  int32_t len = 4096;
  int rc = IsamRecordFirst(file, buf.data(), &len);
  for (int n = 0; rc == 0 || rc == 160; ++n) {
    if (n > limit) return false;
    len = 4096;
    rc = IsamRecordNext(file, buf.data(), &len);
  }
  if (rc != 101) std::printf("walk of %d ended with %d (eng_err %d)\n", file, rc, CurrentInstance()->eng_err);
  if (last != nullptr) *last = rc;
  return true;
}

TEST_F(CalendarCrashTest, ReopensAfterEveryCrashAndEveryWalkEnds) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string host_path = Path("crash.akv");
  const std::string base = CalendarFileSet::MemberName(host_path);
  {
    ASSERT_GE(CreateCalendarHost(host_path), 0);
    CalendarFileSet set(base);
    ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
    CloseSetAndHost(set);
  }
  int consistent = 0;
  for (int i = 0; i < kCrashes; ++i) {
    const int code = testsupport::RunChildTest("CalendarCrashTest.WriterSide", "writer",
                                               {"SET=" + base, "SEED=" + std::to_string(i + 1)});
    ASSERT_EQ(testsupport::ObservedExitCode(kCrashExitCode), code) << "crash " << i;
    CalendarFileSet set(base);
    ASSERT_EQ(0, OpenFileSetFromIfil(set.block())) << "crash " << i;
    // Space is stamped before the end that covers it is written, so a crash
    // leaves no stretch without a header: the whole host and the record
    // walk of the member go to their ends.
    int physical = 0;
    EXPECT_TRUE(WalkEnds(set.data_file(), 100000, &physical)) << "crash " << i;
    EXPECT_EQ(101, physical) << "crash " << i;
    // A crash between freeing a host stretch and keying it leaks that
    // stretch; a key for space in use would hand it out twice.
    EXPECT_EQ("", HostWalkProblem(SuperfileHostOf(CheckFileNumber(set.data_file())), FreeSpaceKeys::kNoneDangling))
        << "crash " << i;
    EXPECT_TRUE(WalkEnds(set.uid_key(), 100000)) << "crash " << i;
    EXPECT_TRUE(WalkEnds(set.serial_key(), 100000)) << "crash " << i;
    // No record stays in motion: every UID the index holds reads back.
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    std::vector<std::string> uids;
    for (int r = IsamRecordFirst(set.uid_key(), buf.data(), &len); r == 0;
         r = IsamRecordNext(set.uid_key(), buf.data(), &len), len = 4096)
      uids.push_back(UidOf(buf));
    for (const std::string& uid : uids) {
      const auto t = UidTarget(uid);
      len = 4096;
      EXPECT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len))
          << "crash " << i << " " << uid;
    }
    FileSetReport report;
    const int rc = CheckFileSet(set.data_file(), &report);
    EXPECT_TRUE(rc == 0 || rc == kErrFileDamaged) << rc;
    if (rc == 0) ++consistent;
    CloseSetAndHost(set);
  }
  RecordProperty("consistent_after_crash", consistent);
}

}  // namespace
}  // namespace isam
