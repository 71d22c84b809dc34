// Rebuild and compaction when the file layer fails or the process dies.
//
// Each write, flush and rename of a run fails in turn (N = 1, 2, ... until
// the run makes fewer calls; stepped evenly past kMaxRunsPerKind): the run
// must answer with a code, the data file must stand under its name either
// byte for byte as before or as the whole compacted copy, and a rerun
// without faults must leave every live record found by every key, the
// resources as they were and no backup or temporary file. Then a process
// running compactions and rebuilds is killed at random moments, and the
// same must hold after each.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "isam/maint/rebuild/compact_file_set.h"
#include "platform/os_file_faults.h"
#include "tests/isam/maint/rebuild_fixture.h"
#include "tests/support/child_process.h"

namespace isam {
namespace {

using platform::FileFaultOp;

#ifdef _WIN32
constexpr uint64_t kMaxRunsPerKind = 12;
constexpr int kKills = 16;
#else
constexpr uint64_t kMaxRunsPerKind = 60;
constexpr int kKills = 50;
#endif
constexpr int kRecords = 200;
constexpr int kKilledExitCode = 77;

using Bytes = std::vector<char>;

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A file closed after a change counts its writes and keeps its close time
// in its header (bytes 108 to 115), and a rebuild that failed once it had
// started the indexes leaves the data file flagged (byte 56): the only
// bytes a failed rebuild may change in the data file.
bool SameApartFromCloseStamp(Bytes a, Bytes b) {
  if (a.size() != b.size() || a.size() < 116) return false;
  if (a[56] != 0) b[56] = a[56];
  std::fill(a.begin() + 108, a.begin() + 116, 0);
  std::fill(b.begin() + 108, b.begin() + 116, 0);
  return a == b;
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

class MaintFaultTest : public RebuildFixture {
 protected:
  // 200 variable records, every third deleted, some rewritten longer (so
  // they move), and a resource of the user's: a compaction has work to do.
  void Populate() {
    Create(kRecords);
    ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
    const int data = block_.assigned;
    const std::vector<uint8_t> note = {0x55, 0, 0, 0, 1, 0, 0, 0, 'n', 'o', 't', 'e', 0, 9};
    ASSERT_EQ(0, AddResourceEntry(data, note.data(), static_cast<int32_t>(note.size())));
    std::vector<uint8_t> r(kRecordLength + 64);
    for (int uid = 0; uid < kRecords; ++uid) {
      int32_t length = static_cast<int32_t>(r.size());
      ASSERT_EQ(0, IsamRecordReadByKey(data + 1, Record(0, uid).data() + 4, kReadEqual, r.data(), &length));
      if (uid % 3 == 0) {
        ASSERT_EQ(0, IsamRecordDelete(data));
      } else {
        if (uid % 7 == 0) {
          ASSERT_EQ(0, IsamRecordRewrite(data, r.data(), kRecordLength + 40));
        }
        images_.insert(std::string(reinterpret_cast<char*>(r.data()), uid % 7 == 0 ? kRecordLength + 40 : length));
      }
    }
    resources_ = Resources(data);
    ASSERT_EQ(0, CloseFileSet(&block_));
    data_bytes_ = ReadAll(name_ + ".dat");
    index_bytes_ = ReadAll(name_ + ".idx");
  }
  void PutBack() {
    std::remove(Backup().c_str());
    std::remove(Temp().c_str());
    WriteAll(name_ + ".dat", data_bytes_);
    WriteAll(name_ + ".idx", index_bytes_);
  }
  std::string Backup() const { return name_ + ".dat" + maint::kCompactBackupSuffix; }
  std::string Temp() const { return name_ + ".dat" + maint::kCompactTempSuffix; }

  int RunQuietly(bool compact) {
    testing::internal::CaptureStdout();
    const int rc = compact ? maint::CompactFileSet(&block_) : maint::RebuildFileSet(&block_);
    testing::internal::GetCapturedStdout();
    return rc;
  }

  // Every live record as populated, found by its UID, the Amount index
  // holding exactly the images with Amount > 100, resources unchanged, the
  // set consistent, nothing of a compaction left beside it.
  void ExpectSound(const std::string& when) {
    EXPECT_FALSE(Exists(Backup())) << when;
    EXPECT_FALSE(Exists(Temp())) << when;
    ASSERT_EQ(0, OpenFileSetFromIfil(&block_)) << when;
    ExpectReachable(when);
    const int data = block_.assigned;
    EXPECT_EQ(resources_, Resources(data)) << when;
    FileSetReport report;
    EXPECT_EQ(0, CheckFileSet(data, &report)) << when << ": " << (report.problem ? report.problem : "");
    ASSERT_EQ(0, CloseFileSet(&block_)) << when;
  }

  // On the open set: every live record as populated, found by its UID, and
  // the Amount index holding exactly the images with Amount > 100.
  void ExpectReachable(const std::string& when) {
    const int data = block_.assigned;
    std::vector<uint8_t> r(kRecordLength + 64);
    std::multiset<std::string> physical, members, expected_members;
    int32_t length = static_cast<int32_t>(r.size());
    for (int rc = IsamRecordFirst(data, r.data(), &length); rc == 0; rc = IsamRecordNext(data, r.data(), &length)) {
      physical.insert(std::string(reinterpret_cast<char*>(r.data()), static_cast<std::size_t>(length)));
      length = static_cast<int32_t>(r.size());
    }
    EXPECT_TRUE(physical == images_) << when << ": " << physical.size() << " records";
    for (const std::string& image : images_) {
      length = static_cast<int32_t>(r.size());
      const int rc = IsamRecordReadByKey(data + 1, image.data() + 4, kReadEqual, r.data(), &length);
      EXPECT_TRUE(rc == 0 && std::string(reinterpret_cast<char*>(r.data()), static_cast<std::size_t>(length)) == image)
          << when << ": " << image.substr(4, 12) << " rc " << rc;
      int32_t amount;
      std::memcpy(&amount, image.data(), 4);
      if (amount > 100) expected_members.insert(image);
    }
    length = static_cast<int32_t>(r.size());
    for (int rc = IsamRecordFirst(data + 2, r.data(), &length); rc == 0;
         rc = IsamRecordNext(data + 2, r.data(), &length)) {
      members.insert(std::string(reinterpret_cast<char*>(r.data()), static_cast<std::size_t>(length)));
      length = static_cast<int32_t>(r.size());
    }
    EXPECT_TRUE(members == expected_members) << when;
  }

  // One operation with the Nth call of `op` failing, for every N in turn.
  void FaultEveryCall(bool compact, FileFaultOp op, const char* op_name) {
    PutBack();
    platform::ArmFileFault({op, UINT64_MAX / 2});
    ASSERT_EQ(0, RunQuietly(compact)) << op_name;
    const uint64_t calls = platform::FileFaultCallsSeen();
    platform::DisarmFileFaults();
    const uint64_t step = calls > kMaxRunsPerKind ? (calls + kMaxRunsPerKind - 1) / kMaxRunsPerKind : 1;
    for (uint64_t n = 1; n <= calls; n = n + step > calls && n < calls ? calls : n + step) {
      const std::string when = std::string(compact ? "compaction, " : "rebuild, ") + op_name + " " +
                               std::to_string(n) + " of " + std::to_string(calls);
      PutBack();
      platform::ArmFileFault({op, n});
      const int rc = RunQuietly(compact);
      const bool fired = platform::FileFaultFired();
      platform::DisarmFileFaults();
      ASSERT_TRUE(fired) << when;
      EXPECT_NE(0, rc) << when;
      ASSERT_TRUE(Exists(name_ + ".dat")) << when;
      if (!compact) {
        EXPECT_TRUE(SameApartFromCloseStamp(ReadAll(name_ + ".dat"), data_bytes_)) << when << ": the data file changed";
      }
      if (compact && ReadAll(name_ + ".dat") != data_bytes_) {
        // The compacted copy took the name: it alone must hold the set.
        EXPECT_FALSE(Exists(Backup())) << when;
        ASSERT_EQ(0, RunQuietly(false)) << when;
        ExpectSound(when + ", then rebuilt");
      }
      ASSERT_EQ(0, RunQuietly(compact)) << when << ", run again";
      ExpectSound(when + ", run again");
      if (HasFatalFailure()) return;
    }
  }

  std::multiset<std::string> images_;
  std::vector<std::vector<uint8_t>> resources_;
  Bytes data_bytes_, index_bytes_;
};

TEST_F(MaintFaultTest, EveryFailedCallKeepsTheSetWhole) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  block_.data_mode = 0x4;
  CurrentInstance()->sort_buffer_limit = 8 * 1024;  // sorted runs in work files, merged and renamed
  Populate();
  const struct {
    FileFaultOp op;
    const char* name;
  } kinds[] = {{FileFaultOp::kWrite, "write"}, {FileFaultOp::kFlush, "flush"}, {FileFaultOp::kRename, "rename"}};
  for (const bool compact : {false, true})
    for (const auto& k : kinds) {
      FaultEveryCall(compact, k.op, k.name);
      if (HasFatalFailure()) return;
    }
}

// Compactions (KIND=compact) or rebuilds, one after the other, until the
// process ends itself after the parent's delay: no destructor, no close.
TEST_F(MaintFaultTest, KilledSide) {
  if (testsupport::ChildRole() != "maint") GTEST_SKIP();
  const std::string set = testsupport::ChildValue("SET");
  block_.name = set.c_str();
  block_.data_mode = 0x4;
  // Sorted in memory: work files are the sort's own, and a killed process
  // would leave them behind in the shared working directory.
  CurrentInstance()->sort_buffer_limit = 1 << 20;
  if (std::freopen((set + ".out").c_str(), "w", stdout) == nullptr) std::_Exit(1);
  const int delay_us = std::atoi(testsupport::ChildValue("DELAY_US").c_str());
  std::thread([delay_us] {
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
    std::_Exit(kKilledExitCode);
  }).detach();
  const bool compact = testsupport::ChildValue("KIND") == "compact";
  for (;;) compact ? maint::CompactFileSet(&block_) : maint::RebuildFileSet(&block_);
}

TEST_F(MaintFaultTest, KilledAtRandomTheNextRunRestoresTheSet) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  block_.data_mode = 0x4;
  Populate();
  // How long one compaction with its rebuild takes here: the kills fall
  // anywhere in the first two or three runs.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(0, RunQuietly(true));
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  Path("rb.out");
  int fresh_left = 0, backup_left = 0, refused = 0;
  std::mt19937 rng(33);
  std::uniform_int_distribution<long> delay(0, 3 * static_cast<long>(took.count()) + 1);
  for (const bool compact : {false, true})
    for (int i = 0; i < kKills; ++i) {
      const std::string when = std::string(compact ? "compaction" : "rebuild") + " kill " + std::to_string(i);
      const int code = testsupport::RunChildTest(
          "MaintFaultTest.KilledSide", "maint",
          {"SET=" + name_, "KIND=" + std::string(compact ? "compact" : "rebuild"), "DELAY_US=" + std::to_string(delay(rng))});
      ASSERT_EQ(testsupport::ObservedExitCode(kKilledExitCode), code) << when;
      ASSERT_TRUE(Exists(name_ + ".dat") || Exists(Backup())) << when;
      fresh_left += Exists(Temp());
      backup_left += Exists(Backup());
      // A plain open in between refuses a set the run left unfinished, or
      // finds it whole: never a quiet open with records out of reach.
      const int opened = OpenFileSetFromIfil(&block_);
      if (opened == 0) {
        ExpectReachable(when + ", plain open");
        ASSERT_EQ(0, CloseFileSet(&block_)) << when;
      } else {
        ++refused;
        EXPECT_TRUE(opened == 14 || opened == 15 || !Exists(name_ + ".dat")) << when << ": open gave " << opened;
      }
      ASSERT_EQ(0, RunQuietly(compact)) << when;
      ExpectSound(when);
      if (HasFatalFailure()) return;
    }
  std::printf("%d kills: %d left a fresh file, %d a backup, %d plain opens refused\n", 2 * kKills, fresh_left,
              backup_left, refused);
}

// Files of the user's that merely sit beside the data file under names a
// backup might have had: no rebuild or compaction deletes, renames or
// changes them, not even when the data file is missing.
TEST_F(MaintFaultTest, TheUsersFilesBesideTheDataFileAreLeftAlone) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  block_.data_mode = 0x4;
  Populate();
  const Bytes mine = {'m', 'i', 'n', 'e'};
  const std::string names[] = {Path("rb.dat~"), Path("rb.dat~c"), Path("rb.dat.bak")};
  for (const std::string& name : names) WriteAll(name, mine);
  for (const bool compact : {false, true, false}) {
    ASSERT_EQ(0, RunQuietly(compact));
    for (const std::string& name : names) EXPECT_EQ(mine, ReadAll(name)) << name << (compact ? " compaction" : " rebuild");
  }
  ExpectSound("after the runs");
  std::remove((name_ + ".dat").c_str());
  for (const bool compact : {false, true}) {
    EXPECT_NE(0, RunQuietly(compact));
    EXPECT_FALSE(Exists(name_ + ".dat"));
    for (const std::string& name : names) EXPECT_EQ(mine, ReadAll(name)) << name << " without the data file";
  }
}

// A writer adding records until it dies (DELAY_US after its first add),
// journalling each add that returned 0.
TEST_F(MaintFaultTest, DyingWriterSide) {
  if (testsupport::ChildRole() != "adder") GTEST_SKIP();
  const std::string set = testsupport::ChildValue("SET");
  block_.name = set.c_str();
  ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
  std::FILE* journal = std::fopen(testsupport::ChildValue("JOURNAL").c_str(), "w");
  ASSERT_NE(nullptr, journal);
  const int delay_us = std::atoi(testsupport::ChildValue("DELAY_US").c_str());
  bool clock_started = false;
  for (int uid = kRecords;; ++uid) {
    if (IsamRecordAdd(block_.assigned, Record(150, uid).data(), kRecordLength) != 0) continue;  // an earlier round's
    std::fprintf(journal, "%d\n", uid);
    std::fflush(journal);
    if (!clock_started) {  // the clock starts once the file is written to
      clock_started = true;
      std::thread([delay_us] {
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
        std::_Exit(kKilledExitCode);
      }).detach();
    }
  }
}

// A rebuild straight after a writer died: it succeeds, and every record the
// writer was told was added is found by its key.
TEST_F(MaintFaultTest, RebuildRightAfterAWriterDied) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  block_.data_mode = 0x4;
  Create(kRecords);
  const std::string journal = Path("adder.journal");
  for (const int delay_us : {20000, 60000, 150000}) {
    const std::string when = "writer killed after " + std::to_string(delay_us) + " us";
    const int code = testsupport::RunChildTest("MaintFaultTest.DyingWriterSide", "adder",
                                               {"SET=" + name_, "JOURNAL=" + journal, "DELAY_US=" + std::to_string(delay_us)});
    ASSERT_EQ(testsupport::ObservedExitCode(kKilledExitCode), code) << when;
    ASSERT_EQ(0, RunQuietly(false)) << when;
    ASSERT_EQ(0, OpenFileSetFromIfil(&block_)) << when;
    std::ifstream in(journal);
    std::vector<uint8_t> r(kRecordLength + 64);
    int done = 0;
    for (int uid; in >> uid; ++done) {
      int32_t length = static_cast<int32_t>(r.size());
      EXPECT_EQ(0, IsamRecordReadByKey(block_.assigned + 1, Record(0, uid).data() + 4, kReadEqual, r.data(), &length))
          << when << ": uid " << uid;
    }
    EXPECT_GT(done, 0) << when;
    FileSetReport report;
    EXPECT_EQ(0, CheckFileSet(block_.assigned, &report)) << when << ": " << (report.problem ? report.problem : "");
    ASSERT_EQ(0, CloseFileSet(&block_)) << when;
  }
}

}  // namespace
}  // namespace isam
