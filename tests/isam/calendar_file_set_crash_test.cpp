// Writer processes that end abruptly, inside engine calls as often as
// between them, and the file set reopened after each: the open must bring
// the set back whole, with every change the writer was told was done and no
// record its journal does not explain. Writers die at random moments, and
// (deterministically) at every write of a fixed run, or with that write torn
// at a page boundary, through the fault layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/index/file_close.h"
#include "isam/record/isam_record.h"
#include "isam/record/record_lock.h"
#include "isam/superfile/superfile_member.h"
#include "platform/os_file_faults.h"
#include "platform/process.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"
#include "tests/isam/superfile/file_soundness.h"
#include "tests/support/child_process.h"

namespace isam {
namespace {

constexpr int kCrashExitCode = 77;

// A process start costs far more under the Windows layer: the random kills
// there are a sample beside the kill at every write, which covers each point.
#ifdef _WIN32
constexpr int kCrashes = 30;
constexpr int kTwoWriterRounds = 2;
constexpr int kSurvivorChanges = 80;
#else
constexpr int kCrashes = 100;
constexpr int kTwoWriterRounds = 8;
constexpr int kSurvivorChanges = 300;
#endif

#ifdef _WIN32
constexpr int kEveryWriteChanges = 3;
#else
constexpr int kEveryWriteChanges = 6;
#endif

// One change as the writer journals it: "B uid serial filler" (or "X uid"
// for a delete) before the call, "D" after it returned 0, "F" after it
// failed. The bytes follow from the line (EventRecord), so the parent knows
// what each UID must hold.
struct Change {
  std::string uid;
  uint32_t serial = 0;
  uint32_t filler = 0;
  bool deleted = false;
  std::vector<uint8_t> Bytes() const { return EventRecord(uid, serial, filler); }
};

// Adds or rewrites random events of the writer's own UIDs (with `deletes`,
// one existing event in four is deleted instead), journalling each call,
// until it is told to stop after `changes` calls (0: until killed).
void WriteAndJournal(CalendarFileSet& set, const std::string& prefix, unsigned seed, int changes,
                     const std::string& journal_path, bool deletes = false) {
  std::FILE* journal = std::fopen(journal_path.c_str(), "ab");
  ASSERT_NE(nullptr, journal);
  std::mt19937 rng(seed);
  std::vector<uint8_t> buf(4096);
  for (uint32_t i = 0; changes == 0 || static_cast<int>(i) < changes; ++i) {
    Change c{prefix + std::to_string(rng() % 400), seed * 100000 + i, static_cast<uint32_t>(rng() % 900)};
    const auto t = UidTarget(c.uid);
    int32_t len = 4096;
    buf.resize(4096);
    const bool exists = IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) == 0;
    const auto rec = c.Bytes();
    c.deleted = deletes && exists && rng() % 4 == 0;
    if (c.deleted) {
      std::fprintf(journal, "X %s\n", c.uid.c_str());
    } else {
      std::fprintf(journal, "B %s %u %u\n", c.uid.c_str(), c.serial, c.filler);
    }
    std::fflush(journal);
    const int rc = c.deleted ? IsamRecordDelete(set.data_file())
                   : exists  ? IsamRecordRewrite(set.data_file(), rec.data(), static_cast<int32_t>(rec.size()))
                             : IsamRecordAdd(set.data_file(), rec.data(), static_cast<int32_t>(rec.size()));
    std::fprintf(journal, rc == 0 ? "D\n" : "F\n");
    std::fflush(journal);
    if (changes != 0) {
      ASSERT_EQ(0, rc) << c.uid << " " << (exists ? "rewrite" : "add");
    }
  }
  std::fclose(journal);
}

// What a journal says each UID holds: the last change reported done, and
// the change in flight when the writer died (either may be on disk).
struct Expected {
  std::map<std::string, Change> done;
  std::vector<Change> in_flight;
};

void ReadJournal(const std::string& path, Expected* e) {
  std::ifstream in(path);
  std::string line;
  Change pending;
  bool open = false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string tag;
    fields >> tag;
    if (tag == "B" || tag == "X") {
      pending = Change{};
      pending.deleted = tag == "X";
      fields >> pending.uid;
      if (!pending.deleted) fields >> pending.serial >> pending.filler;
      open = !fields.fail();
    } else if (tag == "D" && open) {
      e->done[pending.uid] = pending;
      open = false;
    } else {
      open = false;
    }
  }
  if (open) e->in_flight.push_back(pending);
}

// The UIDs of one order, walked from one end; the walk must end with 101
// within the bound.
std::vector<std::string> Walk(int file, bool forward, std::size_t limit, std::string* problem) {
  std::vector<std::string> uids;
  std::vector<uint8_t> buf(4096);
  int32_t len = 4096;
  int rc = forward ? IsamRecordFirst(file, buf.data(), &len) : IsamRecordLast(file, buf.data(), &len);
  while (rc == 0) {
    if (uids.size() > limit) {
      *problem = "walk does not end";
      return uids;
    }
    buf.resize(static_cast<std::size_t>(len));
    uids.push_back(UidOf(buf));
    buf.resize(4096);
    len = 4096;
    rc = forward ? IsamRecordNext(file, buf.data(), &len) : IsamRecordPrevious(file, buf.data(), &len);
  }
  if (rc != 101) *problem = "walk of " + std::to_string(file) + " ended with " + std::to_string(rc);
  return uids;
}

// Opens the set alone and requires it whole: consistent, every change
// reported done found by UID with its bytes (or the change in flight
// instead), walks both ways ending and agreeing. The journal's view moves
// on to what the file now holds.
void ReopenAndRequireWhole(const std::string& base, Expected* e, const std::string& when) {
  CalendarFileSet set(base);
  ASSERT_EQ(0, OpenFileSetFromIfil(set.block())) << when;
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(set.data_file(), &report)) << when << ": " << (report.problem ? report.problem : "");
  EXPECT_EQ("", HostWalkProblem(SuperfileHostOf(CheckFileNumber(set.data_file())), FreeSpaceKeys::kNoneDangling))
      << when;
  std::vector<uint8_t> buf(4096);
  for (const Change& c : e->in_flight) {
    const auto t = UidTarget(c.uid);
    int32_t len = 4096;
    buf.resize(4096);
    if (IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) != 0) {
      if (c.deleted) e->done[c.uid] = c;
      continue;
    }
    buf.resize(static_cast<std::size_t>(len));
    if (!c.deleted && buf == c.Bytes()) e->done[c.uid] = c;
  }
  e->in_flight.clear();
  for (const auto& d : e->done) {
    const auto t = UidTarget(d.first);
    int32_t len = 4096;
    buf.resize(4096);
    const int read = IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len);
    if (d.second.deleted) {
      EXPECT_NE(0, read) << when << " " << d.first << " was deleted";
      continue;
    }
    ASSERT_EQ(0, read) << when << " " << d.first;
    buf.resize(static_cast<std::size_t>(len));
    EXPECT_TRUE(buf == d.second.Bytes()) << when << " " << d.first << " holds other bytes: serial "
                                         << GetLe32(buf.data() + 6) << " size " << buf.size() << ", expected "
                                         << d.second.serial << " size " << d.second.Bytes().size();
  }
  for (const int index : {set.uid_key(), set.serial_key()}) {
    std::string problem;
    const auto forward = Walk(index, true, 100000, &problem);
    auto backward = Walk(index, false, 100000, &problem);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ("", problem) << when;
    EXPECT_EQ(forward, backward) << when << " index " << index;
    EXPECT_EQ(static_cast<std::size_t>(report.records), forward.size()) << when;
  }
  std::string problem;
  for (const std::string& uid : Walk(set.data_file(), true, 100000, &problem)) {  // the physical walk
    auto d = e->done.find(uid);
    EXPECT_TRUE(d != e->done.end() && !d->second.deleted) << when << ": " << uid << " is in no journal";
  }
  EXPECT_EQ("", problem) << when;
  CloseSetAndHost(set);
}

class CalendarCrashTest : public RecordEngineTest {
 protected:
  std::string MakeCalendar(const char* file) {
    const std::string host_path = Path(file);
    const std::string base = CalendarFileSet::MemberName(host_path);
    EXPECT_GE(CreateCalendarHost(host_path), 0);
    CalendarFileSet set(base);
    EXPECT_EQ(0, CreateFileSetFromIfil(set.block()));
    CloseSetAndHost(set);
    return base;
  }
};

// Counts a run's writes to the calendar, and which of them cross a page
// boundary (those the torn variant cuts).
class WriteCounter : public platform::FileWriteRecorder {
 public:
  uint64_t writes = 0;
  std::vector<uint64_t> crossing;
  void Write(const platform::OsFile*, uint64_t position, const void*, uint32_t length) override {
    ++writes;
    if (position / platform::kFaultPageSize != (position + length - 1) / platform::kFaultPageSize && length > 0)
      crossing.push_back(writes);
  }
  void Flush(const platform::OsFile*) override {}
};

// A writer that dies after a random delay (or, with CHANGES set, one that
// makes that many changes and closes cleanly; with KILL_AT=n as well, one
// killed at its nth write, or with TEAR=1 as well, one whose nth write is
// torn at its first page boundary; with COUNT=path, one that writes the
// count of its writes and the crossing ones there).
TEST_F(CalendarCrashTest, WriterSide) {
  if (testsupport::ChildRole() != "writer") GTEST_SKIP();
  const unsigned seed = static_cast<unsigned>(std::atoi(testsupport::ChildValue("SEED").c_str()));
  const int changes = std::atoi(testsupport::ChildValue("CHANGES").c_str());
  // Two writers really contend for header and node locks: they wait as
  // the engine normally does, only with shorter pauses.
  LockWaitPolicy wait;
  wait.pause_ms = 2;
  SetLockWaitPolicy(wait);
  CalendarFileSet set(testsupport::ChildValue("SET"));
  ASSERT_EQ(0, OpenFileSetFromIfil(set.block()));
  const uint64_t kill_at = std::strtoull(testsupport::ChildValue("KILL_AT").c_str(), nullptr, 10);
  const std::string count_path = testsupport::ChildValue("COUNT");
  const bool deletes = !testsupport::ChildValue("DELETES").empty();
  WriteCounter counter;
  if (!count_path.empty()) platform::SetFileWriteRecorder(&counter);
  if (kill_at != 0) {
    platform::FileFaultPlan plan;
    plan.nth = kill_at;
    plan.kind = testsupport::ChildValue("TEAR") == "1" ? platform::FileFaultKind::kTear : platform::FileFaultKind::kKill;
    plan.exit_code = kCrashExitCode;
    platform::ArmFileFault(plan);
  }
  if (changes == 0) {
    const int delay_us = static_cast<int>(std::mt19937(seed)() % 40000);
    std::thread([delay_us] {
      std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
      std::_Exit(kCrashExitCode);  // no destructors, no close: a crash
    }).detach();
  }
  WriteAndJournal(set, testsupport::ChildValue("PREFIX"), seed, changes, testsupport::ChildValue("JOURNAL"), deletes);
  ASSERT_EQ(0, CloseFileSet(set.block()));
  if (!count_path.empty()) {
    platform::SetFileWriteRecorder(nullptr);
    std::ofstream out(count_path);
    out << counter.writes;
    for (uint64_t n : counter.crossing) out << ' ' << n;
  }
}

TEST_F(CalendarCrashTest, EveryReopenAfterACrashIsWholeWithEveryChangeReportedDone) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string base = MakeCalendar("crash.akv");
  const std::string journal = Path("crash.journal");
  Expected expected;
  for (int i = 0; i < kCrashes; ++i) {
    std::remove(journal.c_str());
    const int code = testsupport::RunChildTest(
        "CalendarCrashTest.WriterSide", "writer",
        {"SET=" + base, "SEED=" + std::to_string(i + 1), "PREFIX=u", "JOURNAL=" + journal});
    ASSERT_EQ(testsupport::ObservedExitCode(kCrashExitCode), code) << "crash " << i;
    ReadJournal(journal, &expected);
    ReopenAndRequireWhole(base, &expected, "crash " + std::to_string(i));
    if (HasFatalFailure()) return;
  }
}

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void PutFileBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One run of adds, rewrites and deletes from the same file each time, its
// writer killed at each of its writes in turn, then with each write that
// crosses a page boundary torn there: every reopen must be whole.
TEST_F(CalendarCrashTest, AWriterKilledAtEveryWriteOrTornThereLeavesTheSetWhole) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string host = Path("every.akv");
  const std::string base = MakeCalendar("every.akv");
  const std::string journal = Path("every.journal"), counted = Path("every.count");
  const std::vector<std::string> writer = {"SET=" + base, "PREFIX=e", "DELETES=1", "JOURNAL=" + journal};
  auto run = [&](const std::string& seed, int changes, std::vector<std::string> extra) {
    std::remove(journal.c_str());
    extra.insert(extra.end(), writer.begin(), writer.end());
    extra.push_back("SEED=" + seed);
    extra.push_back("CHANGES=" + std::to_string(changes));
    return testsupport::RunChildTest("CalendarCrashTest.WriterSide", "writer", extra);
  };
  // A set with events in it to rewrite and delete, kept as the start of every run.
  ASSERT_EQ(0, run("5", 3 * kEveryWriteChanges, {}));
  Expected start;
  ReadJournal(journal, &start);
  const std::vector<char> image = FileBytes(host);
  ASSERT_EQ(0, run("6", kEveryWriteChanges, {"COUNT=" + counted}));
  std::ifstream count_in(counted);
  uint64_t writes = 0;
  count_in >> writes;
  std::vector<std::pair<uint64_t, bool>> cuts;  // write, torn
  for (uint64_t n = 1; n <= writes; ++n) cuts.emplace_back(n, false);
  for (uint64_t n; count_in >> n;) cuts.emplace_back(n, true);
  ASSERT_GT(writes, static_cast<uint64_t>(kEveryWriteChanges));
  std::printf("%llu writes, %zu torn\n", static_cast<unsigned long long>(writes), cuts.size() - writes);
  for (const auto& cut : cuts) {
    PutFileBytes(host, image);
    const std::string when = std::string(cut.second ? "torn" : "killed") + " at write " + std::to_string(cut.first);
    const int code = run("6", kEveryWriteChanges,
                         {"KILL_AT=" + std::to_string(cut.first), std::string("TEAR=") + (cut.second ? "1" : "0")});
    ASSERT_EQ(testsupport::ObservedExitCode(kCrashExitCode), code) << when;
    Expected expected = start;
    ReadJournal(journal, &expected);
    ReopenAndRequireWhole(base, &expected, when);
    if (HasFatalFailure()) return;
  }
}

TEST_F(CalendarCrashTest, OneOfTwoWritersDiesAndTheOtherGoesOn) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string base = MakeCalendar("two.akv");
  Expected expected;
  for (int round = 0; round < kTwoWriterRounds; ++round) {
    const std::string dying = Path("dying.journal"), surviving = Path("surviving.journal");
    std::remove(dying.c_str());
    std::remove(surviving.c_str());
    const std::string seed = std::to_string(1000 + round);
    platform::ChildProcess* survivor = testsupport::StartChildTest(
        "CalendarCrashTest.WriterSide", "writer",
        {"SET=" + base, "SEED=" + seed, "PREFIX=s", "CHANGES=" + std::to_string(kSurvivorChanges),
         "JOURNAL=" + surviving});
    ASSERT_NE(nullptr, survivor);
    const int code = testsupport::RunChildTest("CalendarCrashTest.WriterSide", "writer",
                                               {"SET=" + base, "SEED=" + seed, "PREFIX=d", "JOURNAL=" + dying});
    EXPECT_EQ(testsupport::ObservedExitCode(kCrashExitCode), code) << "round " << round;
    EXPECT_EQ(0, testsupport::WaitChildTest(survivor)) << "round " << round << ": the survivor stopped";
    ReadJournal(dying, &expected);
    ReadJournal(surviving, &expected);
    ReopenAndRequireWhole(base, &expected, "round " + std::to_string(round));
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace isam
