// The writes of one writer's run, recorded through the fault layer and
// replayed onto copies of the file cut at every point: kept whole and in
// order (a killed writer), with the cut write torn at each page boundary it
// crosses (an OS that stops a write between two pages), and with one page
// written since the last flush lost (a power cut), and with any subset of
// those pages landed, each as of any of its writes (a disk cache that
// writes pages back in its own order). Each copy is then opened
// as a new process would: the open must hand back a set that is whole, with
// every change done before the cut (before the last flush, for a lost page)
// and nothing the run did not write, every record found by its UID both
// ways, never refused: what was flushed is on the disk.
//
// CRASH_SWEEP=<runs> replays that many runs of the long workload (300
// changes over 120 UIDs, bodies of a few bytes to 5,000, so that index and
// free-space nodes split and cross pages), with up to kSweepLostPages lost
// pages per cut (scripts/crash-sweep); CRASH_SWEEP_CHANGES=<n> shortens the
// runs. The default is one short run with one lost page per cut.
// CRASH_SWEEP_SEED=<n> starts at seed n (default 1); REPLAY_TRACE=1 prints
// every case found wrong, REPLAY_WRITES=1 the run's changes and writes, and
// REPLAY_CUT=<n> judges only cut n.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/fileset/file_set_mend_report.h"
#include "isam/fileset/file_set_reindex.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/btree_descent.h"
#include "isam/index/file_close.h"
#include "isam/index/free_space_index.h"
#include "isam/index/node_cache.h"
#include "isam/index/varlen_record.h"
#include "isam/index/writer_mark.h"
#include "isam/runtime/status_log.h"
#include "isam/record/isam_record.h"
#include "isam/record/write_batch.h"
#include "isam/superfile/superfile_member.h"
#include "platform/os_file_faults.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"

namespace isam {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kPage = platform::kFaultPageSize;
constexpr std::size_t kSweepLostPages = 3;

struct Recorded {
  uint64_t position;
  Bytes bytes;
};

// The writes and flushes of one OS file, in order.
class Recorder : public platform::FileWriteRecorder {
 public:
  const platform::OsFile* file = nullptr;
  std::vector<Recorded> writes;
  std::vector<std::size_t> flushes;  // the number of writes before each flush
  void Write(const platform::OsFile* f, uint64_t position, const void* bytes, uint32_t length) override {
    if (f != file) return;
    const auto* b = static_cast<const uint8_t*>(bytes);
    writes.push_back({position, Bytes(b, b + length)});
  }
  void Flush(const platform::OsFile* f) override {
    if (f == file) flushes.push_back(writes.size());
  }
};

// One change of the run: the UID's bytes after it (empty: deleted) and the
// writes it spans.
struct Change {
  std::string uid;
  Bytes after;
  std::size_t first = 0, end = 0;
};

struct Workload {
  int changes = 30;
  unsigned uids = 16;
  bool long_bodies = false;  // one body in twenty of 2,000 to 5,000 bytes
  bool batches = true;       // runs of 2 to 13 changes as one write batch
};

constexpr int32_t kBufferSize = 8192;

// The records a reader walking the UID index backwards meets.
std::size_t WalkBack(CalendarFileSet& set) {
  Bytes buf(kBufferSize);
  std::size_t met = 0;
  for (int32_t len = kBufferSize, r = IsamRecordLast(set.uid_key(), buf.data(), &len); r == 0;
       len = kBufferSize, r = IsamRecordPrevious(set.uid_key(), buf.data(), &len))
    ++met;
  return met;
}

void Apply(Bytes* image, const Recorded& w, std::size_t length) {
  if (image->size() < w.position + length) image->resize(w.position + length, 0);
  std::copy(w.bytes.begin(), w.bytes.begin() + static_cast<std::ptrdiff_t>(length), image->begin() + static_cast<std::ptrdiff_t>(w.position));
}

Bytes ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteWhole(const std::string& path, const Bytes& image) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

enum class Cut { kWhole, kTorn, kLostPage, kAnySubset };
constexpr int kCutKinds = 4;
const char* const kCutNames[] = {"whole", "torn", "lost page", "any subset"};

// Per kind of cut: copies made, opened whole (and of those, with the change
// in flight set aside), refused with the damaged-file error (a power cut
// never leaves a record written before the last flush unreadable, so each
// refusal is wrong), and opened though not whole (silent) or failed with another code.
struct Tally {
  int cases[kCutKinds] = {}, mended[kCutKinds] = {}, aside[kCutKinds] = {}, refused[kCutKinds] = {},
      silent[kCutKinds] = {}, failed[kCutKinds] = {};
};

class CalendarCrashReplayTest : public RecordEngineTest {
 protected:
  // Records one run of `changes` adds, rewrites and deletes from a new calendar.
  void RecordRun(unsigned seed, const Workload& work, Bytes* initial, Recorder* rec, std::vector<Change>* run) {
    const std::string host_path = Path("run.akv");
    std::remove(host_path.c_str());
    ASSERT_GE(CreateCalendarHost(host_path), 0);
    const std::string base = CalendarFileSet::MemberName(host_path);
    {
      CalendarFileSet set(base);
      ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
      CloseSetAndHost(set);
    }
    *initial = ReadWhole(host_path);
    CalendarFileSet set(base);
    ASSERT_EQ(0, OpenFileSetFromIfil(set.block()));
    rec->file = SuperfileHostOf(CheckFileNumber(set.data_file()))->os.handle;
    platform::SetFileWriteRecorder(rec);
    std::mt19937 rng(seed);
    std::set<std::string> live;
    // A batched change is done only once its batch has ended.
    std::size_t batch_first = 0;
    int batch_left = 0;
    for (int i = 0; i < work.changes; ++i) {
      if (work.batches && batch_left == 0 && rng() % 6 == 0) {
        ASSERT_EQ(0, BeginWriteBatch(set.data_file()));
        batch_left = 2 + static_cast<int>(rng() % 12);
        batch_first = run->size();
      }
      Change c{"r" + std::to_string(rng() % work.uids), {}, rec->writes.size(), 0};
      const bool exists = live.count(c.uid) != 0;
      int rc;
      if (exists && rng() % 4 == 0) {
        const auto t = UidTarget(c.uid);
        Bytes buf(kBufferSize);
        int32_t len = kBufferSize;
        ASSERT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len));
        rc = IsamRecordDelete(set.data_file());
        live.erase(c.uid);
      } else {
        const std::size_t body = !work.long_bodies ? rng() % 1400 : rng() % 20 == 0 ? 2000 + rng() % 3000 : rng() % 700;
        // A fill of its own per change, so that stale bytes of another
        // record never pass for this one's.
        c.after = EventRecord(c.uid, seed * 1000 + static_cast<uint32_t>(i), body, static_cast<char>('a' + i % 26));
        const auto t = UidTarget(c.uid);
        Bytes buf(kBufferSize);
        int32_t len = kBufferSize;
        if (exists) {
          ASSERT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len));
        }
        rc = exists ? IsamRecordRewrite(set.data_file(), c.after.data(), static_cast<int32_t>(c.after.size()))
                    : IsamRecordAdd(set.data_file(), c.after.data(), static_cast<int32_t>(c.after.size()));
        live.insert(c.uid);
      }
      ASSERT_EQ(0, rc) << c.uid;
      c.end = rec->writes.size();
      run->push_back(c);
      if (batch_left > 0 && (--batch_left == 0 || i + 1 == work.changes)) {
        ASSERT_EQ(0, EndWriteBatch(set.data_file()));
        for (std::size_t b = batch_first; b < run->size(); ++b) (*run)[b].end = rec->writes.size();
        batch_left = 0;
      }
    }
    CloseSetAndHost(set);
    platform::SetFileWriteRecorder(nullptr);
  }

  // Opens the copy and says what is wrong with it ("" when whole; "refused"
  // when the open said the set is damaged).
  std::string OpenAndJudge(const Bytes& image, const std::map<std::string, std::set<Bytes>>& allowed, bool* set_aside) {
    const std::string host_path = Path("replay.akv");
    WriteWhole(host_path, image);
    CalendarFileSet set(CalendarFileSet::MemberName(host_path));
    const int rc = OpenFileSetFromIfil(set.block());
    const MendReport mended = TakeMendReport();
    *set_aside = !mended.set_aside.empty() || mended.passed_over > 0;
    if (rc == kErrFileDamaged) {
      for (int h = 0; h < 64; ++h) {  // the host the failed open left open
        const FileControlBlock* f = CheckFileNumber(h);
        if (f != nullptr && f->header.file_class == kClassSuperHost) CloseFileEntry(h);
      }
      SetEngineError(0);
      return "refused";
    }
    if (rc != 0) return "open failed with " + std::to_string(rc);
    std::string wrong;
    FileSetReport report;
    if (CheckFileSet(set.data_file(), &report) != 0) wrong = std::string("check: ") + report.problem;
    std::map<std::string, Bytes> found;
    Bytes buf(kBufferSize);
    int32_t len = kBufferSize;
    for (int r = IsamRecordFirst(set.data_file(), buf.data(), &len); r == 0 && wrong.empty();
         r = IsamRecordNext(set.data_file(), buf.data(), &len)) {
      const Bytes got(buf.begin(), buf.begin() + len);
      found[UidOf(got)] = got;
      len = kBufferSize;
    }
    for (const auto& f : found) {  // what a search from the root sees
      const auto t = UidTarget(f.first);
      len = kBufferSize;
      if (wrong.empty() && (IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) != 0 ||
                            Bytes(buf.begin(), buf.begin() + len) != f.second))
        wrong = f.first + " is not found by its UID";
    }
    if (wrong.empty() && WalkBack(set) != found.size()) wrong = "a walk back misses records";
    for (const auto& a : allowed) {
      auto f = found.find(a.first);
      if (wrong.empty() && a.second.count(f == found.end() ? Bytes() : f->second) == 0) {
        wrong = a.first + (f == found.end() ? " is missing" : " holds bytes no change wrote");
        if (f != found.end() && std::getenv("REPLAY_TRACE") != nullptr) {
          for (const Bytes& b : a.second) {
            std::size_t i = 0;
            while (i < b.size() && i < f->second.size() && b[i] == f->second[i]) ++i;
            std::printf("  vs %zu bytes: %zu bytes, first apart at %zu (%02x)\n", b.size(), f->second.size(), i,
                        i < f->second.size() ? f->second[i] : 0);
          }
        }
      }
    }
    for (const auto& f : found)
      if (wrong.empty() && allowed.count(f.first) == 0) wrong = "a record no change wrote: " + f.first;
    CloseSetAndHost(set);
    return wrong;
  }

  void Replay(unsigned seed, const Workload& work, std::size_t lost_pages, Tally* tally, std::string* first_wrong) {
    Bytes initial;
    Recorder rec;
    std::vector<Change> run;
    RecordRun(seed, work, &initial, &rec, &run);
    if (HasFatalFailure()) return;
    if (std::getenv("REPLAY_WRITES") != nullptr) {  // the run's changes, flushes and writes, to look into a cut
      for (const Change& c : run)
        std::printf("%s %s writes %zu..%zu\n", c.uid.c_str(), c.after.empty() ? "deleted" : "written", c.first, c.end);
      for (std::size_t f : rec.flushes) std::printf("flush after %zu writes\n", f);
      for (std::size_t i = 0; i < rec.writes.size(); ++i)
        std::printf("write %zu at %llu, %zu bytes\n", i, static_cast<unsigned long long>(rec.writes[i].position),
                    rec.writes[i].bytes.size());
    }
    std::mt19937 rng(seed);
    const char* only = std::getenv("REPLAY_CUT");  // judge only this cut (a case to look into)
    const long only_cut = only != nullptr ? std::atol(only) : -1;
    const std::size_t total = rec.writes.size();
    Bytes image = initial;
    Bytes flushed = initial;  // the disk as of the last flush
    std::size_t flushed_at = 0, next_flush = 0;
    for (std::size_t cut = 0; cut <= total; ++cut) {
      while (next_flush < rec.flushes.size() && rec.flushes[next_flush] <= cut) {
        flushed_at = rec.flushes[next_flush++];
        flushed = initial;
        for (std::size_t i = 0; i < flushed_at; ++i) Apply(&flushed, rec.writes[i], rec.writes[i].bytes.size());
      }
      // What each UID may hold: its state after the last change done (for
      // a lost page: done before the last flush), or any change begun since.
      std::map<std::string, std::set<Bytes>> strict, loose;
      std::map<std::string, Bytes> at_cut, at_flush;
      for (const Change& c : run) {
        if (c.end <= cut) at_cut[c.uid] = c.after;
        if (c.end <= flushed_at) at_flush[c.uid] = c.after;
      }
      for (const Change& c : run) {
        if (c.first <= cut && c.end > cut) strict[c.uid].insert(c.after);
        if (c.first < cut && c.end > flushed_at) loose[c.uid].insert(c.after);
      }
      for (const auto& s : at_cut) strict[s.first].insert(s.second);
      for (const auto& s : at_flush) loose[s.first].insert(s.second);
      for (const Change& c : run) {  // never written yet: absent
        if (strict.count(c.uid) != 0 && at_cut.count(c.uid) == 0) strict[c.uid].insert(Bytes());
        if (loose.count(c.uid) != 0 && at_flush.count(c.uid) == 0) loose[c.uid].insert(Bytes());
      }
      auto judge = [&](Cut kind, const Bytes& copy, const std::map<std::string, std::set<Bytes>>& allowed) {
        if (only_cut >= 0 && cut != static_cast<std::size_t>(only_cut)) return;
        const int k = static_cast<int>(kind);
        ++tally->cases[k];
        bool aside = false;
        const std::string wrong = OpenAndJudge(copy, allowed, &aside);
        const bool refused = wrong == "refused";
        tally->refused[k] += refused;
        if (wrong.empty()) {
          ++tally->mended[k];
          tally->aside[k] += aside;
        } else {
          ++(refused || wrong.compare(0, 11, "open failed") == 0 ? tally->failed[k] : tally->silent[k]);
          if (std::getenv("REPLAY_TRACE") != nullptr) std::printf("%s at %zu: %s\n", kCutNames[k], cut, wrong.c_str());
          if (first_wrong->empty())
            *first_wrong = std::string(kCutNames[k]) + " at write " + std::to_string(cut) + " of seed " +
                           std::to_string(seed) + ": " + wrong;
        }
      };
      judge(Cut::kWhole, image, strict);
      if (cut == total) break;
      const Recorded& w = rec.writes[cut];
      for (uint64_t boundary = (w.position / kPage + 1) * kPage; boundary < w.position + w.bytes.size();
           boundary += kPage) {
        Bytes torn = image;
        Apply(&torn, w, static_cast<std::size_t>(boundary - w.position));
        judge(Cut::kTorn, torn, strict);
      }
      std::set<uint64_t> pages;  // written since the last flush
      for (std::size_t i = flushed_at; i < cut; ++i)
        for (uint64_t p = rec.writes[i].position / kPage; p * kPage < rec.writes[i].position + rec.writes[i].bytes.size(); ++p)
          pages.insert(p);
      std::vector<uint64_t> lost(pages.begin(), pages.end());
      std::shuffle(lost.begin(), lost.end(), rng);
      if (lost.size() > lost_pages) lost.resize(lost_pages);
      for (uint64_t p : lost) {
        Bytes copy = image;
        for (uint64_t b = p * kPage; b < (p + 1) * kPage && b < copy.size(); ++b)
          copy[b] = b < flushed.size() ? flushed[b] : 0;
        if (copy.size() > flushed.size() && p * kPage >= flushed.size()) copy.resize(std::max<std::size_t>(flushed.size(), p * kPage));
        judge(Cut::kLostPage, copy, loose);
      }
      for (std::size_t n = 0; n < lost_pages && !pages.empty(); ++n) {
        // Each page written since the flush as of any of its writes: none
        // (as flushed), some, or all of them landed.
        Bytes copy = image;
        for (uint64_t p : pages) {
          const std::size_t from = p * kPage, to = std::min<std::size_t>(copy.size(), from + kPage);
          for (std::size_t b = from; b < to; ++b) copy[b] = b < flushed.size() ? flushed[b] : 0;
          std::vector<std::size_t> touching;
          for (std::size_t i = flushed_at; i < cut; ++i)
            if (rec.writes[i].position < to && rec.writes[i].position + rec.writes[i].bytes.size() > from) touching.push_back(i);
          touching.resize(rng() % (touching.size() + 1));
          for (std::size_t i : touching)
            for (std::size_t b = std::max<std::size_t>(from, rec.writes[i].position);
                 b < to && b < rec.writes[i].position + rec.writes[i].bytes.size(); ++b)
              copy[b] = rec.writes[i].bytes[b - rec.writes[i].position];
        }
        judge(Cut::kAnySubset, copy, loose);
      }
      Apply(&image, w, w.bytes.size());
    }
  }
};

TEST_F(CalendarCrashReplayTest, EveryCutTornWriteAndLostPageOpensWholeOrIsRefused) {
  const char* sweep = std::getenv("CRASH_SWEEP");
  const int runs = sweep != nullptr ? std::max(1, std::atoi(sweep)) : 1;
  Workload work;
#ifdef _WIN32
  work.changes = 14;
#endif
  if (sweep != nullptr) {
    const char* changes = std::getenv("CRASH_SWEEP_CHANGES");
    work.changes = changes != nullptr ? std::max(1, std::atoi(changes)) : 300;
    work.uids = 120;
    work.long_bodies = true;
  }
  Tally tally;
  std::string first_wrong;
  const char* first = std::getenv("CRASH_SWEEP_SEED");
  const int seed = first != nullptr ? std::atoi(first) : 1;
  for (int r = 0; r < runs && !HasFatalFailure(); ++r)
    Replay(static_cast<unsigned>(seed + r), work, sweep != nullptr ? kSweepLostPages : 1, &tally, &first_wrong);
  for (int k = 0; k < kCutKinds; ++k)
    std::printf("%-10s %6d cut points, %6d opened whole (%5d with the change in flight set aside), %5d refused, "
                "%4d silent, %4d failed\n", kCutNames[k], tally.cases[k], tally.mended[k], tally.aside[k],
                tally.refused[k], tally.silent[k], tally.failed[k]);
  EXPECT_EQ("", first_wrong);
}

// Where a leftover below is made: noted while the set is open.
struct Noted {
  uint32_t space_root = 0;  // the data member's free-space index root
  uint32_t record = 0;      // the record of "uid-55"
  uint32_t free = 0;        // the stretch "uid-10" held
};

// What a torn write or a lost page leaves that the replay met, made on
// purpose in a calendar whose writer then died: the open mends each (every
// record whole and found by its UID, both ways along the index), and sets
// aside a record whose own bytes are in doubt (named in the mend's report
// and the status log) - never hands back bytes no writer made.
TEST_F(CalendarCrashReplayTest, EachLeftoverOfATornWriteOrALostPageIsMendedOrRefused) {
  const struct {
    const char* what;
    std::function<void(CalendarFileSet& set)> in_engine;    // while open
    std::function<void(const Noted&, Bytes*)> in_bytes;     // on the closed file
    const char* set_aside;                                  // the UID whose record the open sets aside
  } cases[] = {
      {"a UID index root that sends searches past their leaf",
       [](CalendarFileSet& set) {
         FileControlBlock* uid = CheckFileNumber(set.uid_key());
         Node root;
         ASSERT_EQ(0, FetchNode(uid, uid->header.root, &root));
         ASSERT_FALSE(root.IsLeaf());
         ASSERT_GE(root.Count(), 3);
         // The leftmost child stays (a walk of the leaves starts there);
         // searches for keys of the middle ones land too far right.
         for (int i = 1; i + 1 < root.Count(); ++i) root.pointers[static_cast<std::size_t>(i)] = root.pointers.back();
         ASSERT_EQ(0, PutIndexNode(uid, &root, false));
       },
       nullptr, nullptr},
      {"a torn free-space node", nullptr,
       [](const Noted& n, Bytes* file) {
         ASSERT_NE(0u, n.space_root);
         for (uint32_t i = 8; i < 40; ++i) (*file)[n.space_root + i] = 0xEE;  // counts and first keys
       },
       nullptr},
      {"a host free-space key naming a member's record",
       [](CalendarFileSet& set) {
         FileControlBlock* data = CheckFileNumber(set.data_file());
         const uint32_t at = CurrentRecordPosition(set.data_file());
         VarRecordHeader h;
         ASSERT_EQ(0, ReadVarRecordHeader(data, at, &h));
         uint8_t key[kSpaceKeyLength];
         BuildSpaceKeyBytes(0, h.total, at, key);
         ASSERT_EQ(0, SpaceIndexAdd(SuperfileHostOf(data), key));
       },
       nullptr, nullptr},
      {"a record with stale bytes behind new ones", nullptr,
       [](const Noted& n, Bytes* file) {
         for (uint32_t i = 0; i < 200; ++i) (*file)[n.record + kLongVarHeader + 100 + i] = 'q';
       },
       "uid-55"},
      {"a free stretch's header torn inside its mark as a claim began", nullptr,
       [](const Noted& n, Bytes* file) {
         ASSERT_NE(0u, n.free);
         (*file)[n.free] = kMarkActive & 0xFF;
       },
       nullptr},
      {"a let-go record's header torn inside its mark as its release began", nullptr,
       [](const Noted& n, Bytes* file) {
         ASSERT_NE(0u, n.free);
         (*file)[n.free + 1] = kMarkActive >> 8;
         PutLe32(file->data() + n.free + 6, 200);  // the used length it had
       },
       nullptr},
      {"a UID leaf whose left link names a node never written",
       [](CalendarFileSet& set) {
         FileControlBlock* uid = CheckFileNumber(set.uid_key());
         Node node;
         ASSERT_EQ(0, FetchNode(uid, uid->header.root, &node));
         while (!node.IsLeaf()) ASSERT_EQ(0, FetchNode(uid, node.pointers[0], &node));
         const uint32_t second = node.header.rightlink;
         ASSERT_NE(0u, second);
         ASSERT_EQ(0, FetchNode(uid, second, &node));
         node.header.leftlink = CurrentRecordPosition(set.data_file());
         ASSERT_EQ(0, PutIndexNode(uid, &node, false));
       },
       nullptr, nullptr},
      {"two live copies of a record (a rewrite cut before its release) met by the rebuild",
       [](CalendarFileSet& set) {
         FileControlBlock* data = CheckFileNumber(set.data_file());
         const uint32_t old_copy = CurrentRecordPosition(set.data_file());
         VarRecordHeader h;
         ASSERT_EQ(0, ReadVarRecordHeader(data, old_copy, &h));
         const Bytes same = EventRecord("uid-55", 56, 900, 'd');
         ASSERT_EQ(0, IsamRecordRewrite(set.data_file(), same.data(), static_cast<int32_t>(same.size())));
         ASSERT_EQ(0, WriteVarRecordHeader(data, old_copy, h));
         ASSERT_EQ(0, RebuildIndexesFromRecords(set.data_file()));
       },
       nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string host_path = Path("leftover.akv");
    ASSERT_GE(CreateCalendarHost(host_path), 0);
    std::remove(kStatusLogName);
    std::map<std::string, Bytes> records;
    Noted noted;
    CalendarFileSet set(CalendarFileSet::MemberName(host_path));
    ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
    for (uint32_t i = 0; i < 150; ++i) {
      const std::string uid = "uid-" + std::to_string(i);
      records[uid] = EventRecord(uid, i + 1, 300 + i % 7 * 100, static_cast<char>('a' + i % 26));
      ASSERT_EQ(0, IsamRecordAdd(set.data_file(), records[uid].data(), static_cast<int32_t>(records[uid].size())));
    }
    Bytes buf(kBufferSize);
    int32_t len = kBufferSize;
    for (uint32_t i = 0; i < 150; i += 10) {  // free stretches for the free-space index
      const auto t = UidTarget("uid-" + std::to_string(i));
      len = kBufferSize;
      ASSERT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len));
      if (i == 10) noted.free = CurrentRecordPosition(set.data_file());
      ASSERT_EQ(0, IsamRecordDelete(set.data_file()));
      records.erase("uid-" + std::to_string(i));
    }
    const auto target = UidTarget("uid-55");
    len = kBufferSize;
    ASSERT_EQ(0, IsamRecordReadByKey(set.uid_key(), target.data(), kReadEqual, buf.data(), &len));
    if (c.in_engine) c.in_engine(set);
    if (HasFatalFailure()) return;
    noted.space_root = CheckFileNumber(set.data_file())->header.root;
    noted.record = CurrentRecordPosition(set.data_file());
    ASSERT_EQ(0, MarkWriter(CheckFileNumber(set.data_file())));
    CheckFileNumber(set.data_file())->writer_marked = false;  // closes as a writer that died
    CloseSetAndHost(set);
    if (c.in_bytes) {
      Bytes image = ReadWhole(host_path);
      c.in_bytes(noted, &image);
      if (HasFatalFailure()) return;
      WriteWhole(host_path, image);
    }
    const int rc = OpenFileSetFromIfil(set.block());
    EXPECT_EQ(0, rc);
    const MendReport mended = TakeMendReport();
    EXPECT_EQ(c.set_aside ? 1u : 0u, mended.set_aside.size());
    if (c.set_aside != nullptr && mended.set_aside.size() == 1) {  // named, and the status log says so
      EXPECT_EQ(c.set_aside, UidOf(mended.set_aside[0]));
      records.erase(c.set_aside);
      std::ifstream log(kStatusLogName);
      const std::string text((std::istreambuf_iterator<char>(log)), {});
      EXPECT_NE(std::string::npos, text.find("Set aside")) << text;
    }
    if (rc != 0) {
      for (int h = 0; h < 64; ++h) {  // the host the failed open left open
        const FileControlBlock* f = CheckFileNumber(h);
        if (f != nullptr && f->header.file_class == kClassSuperHost) CloseFileEntry(h);
      }
      SetEngineError(0);
      continue;
    }
    FileSetReport report;
    EXPECT_EQ(0, CheckFileSet(set.data_file(), &report)) << (report.problem ? report.problem : "");
    for (const auto& r : records) {
      const auto t = UidTarget(r.first);
      len = kBufferSize;
      EXPECT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len)) << r.first;
      EXPECT_EQ(r.second, Bytes(buf.begin(), buf.begin() + std::max(0, len))) << r.first;
    }
    EXPECT_EQ(records.size(), WalkBack(set)) << "records met walking back";
    FileControlBlock* host = SuperfileHostOf(CheckFileNumber(set.data_file()));
    std::vector<SpaceKey> host_keys;
    ASSERT_LE(0, SpaceIndexWalk(host, [](void* v, const SpaceKey& k) {
                static_cast<std::vector<SpaceKey>*>(v)->push_back(k);
                return true;
              }, &host_keys));
    for (const SpaceKey& k : host_keys) {
      VarRecordHeader h;
      EXPECT_EQ(0, ReadVarRecordHeader(host, k.position, &h));
      EXPECT_EQ(kMarkFree, h.mark) << "a host key names a stretch in use at " << k.position;
    }
    CloseSetAndHost(set);
  }
}

// A power cut may lose any page written since the last flush: a rewrite's
// new form must be on the disk before a key names it, or the keys' move and
// the old form's release could outlive it and leave neither.
TEST_F(CalendarCrashReplayTest, ARewrittenRecordIsFlushedBeforeAKeyNamesIt) {
  const std::string host_path = Path("rewritten.akv");
  ASSERT_GE(CreateCalendarHost(host_path), 0);
  CalendarFileSet set(CalendarFileSet::MemberName(host_path));
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  for (uint32_t i = 0; i < 40; ++i) {
    const Bytes r = EventRecord("uid-" + std::to_string(i), i, 400, 'a');
    ASSERT_EQ(0, IsamRecordAdd(set.data_file(), r.data(), static_cast<int32_t>(r.size())));
  }
  const auto t = UidTarget("uid-7");
  Bytes buf(kBufferSize);
  int32_t len = kBufferSize;
  ASSERT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len));
  Recorder rec;
  rec.file = SuperfileHostOf(CheckFileNumber(set.data_file()))->os.handle;
  platform::SetFileWriteRecorder(&rec);
  const Bytes renewed = EventRecord("uid-7", 99, 450, 'n');
  ASSERT_EQ(0, IsamRecordRewrite(set.data_file(), renewed.data(), static_cast<int32_t>(renewed.size())));
  platform::SetFileWriteRecorder(nullptr);
  const auto data = std::find_if(rec.writes.begin(), rec.writes.end(), [&](const Recorded& w) { return w.bytes == renewed; });
  ASSERT_NE(rec.writes.end(), data);
  // The data, then its header, then the flush, before anything else.
  const std::size_t header = static_cast<std::size_t>(data - rec.writes.begin()) + 1;
  EXPECT_EQ(1, std::count(rec.flushes.begin(), rec.flushes.end(), header + 1)) << "no flush right after the new form";
  CloseSetAndHost(set);
}

// A record whose bytes no longer match its check value (a page of it lost,
// damage) is never handed back by a read: the read fails as for a record
// not written, and the status log says so.
TEST_F(CalendarCrashReplayTest, AReadNeverHandsBackARecordItsCheckValueDenies) {
  const std::string host_path = Path("checked.akv");
  ASSERT_GE(CreateCalendarHost(host_path), 0);
  std::remove(kStatusLogName);
  CalendarFileSet set(CalendarFileSet::MemberName(host_path));
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  const Bytes record = EventRecord("checked", 7, 900, 'c');
  ASSERT_EQ(0, IsamRecordAdd(set.data_file(), record.data(), static_cast<int32_t>(record.size())));
  const uint32_t at = CurrentRecordPosition(set.data_file());
  CloseSetAndHost(set);
  Bytes image = ReadWhole(host_path);
  image[at + kLongVarHeader + 500] = 'z';
  WriteWhole(host_path, image);
  ASSERT_EQ(0, OpenFileSetFromIfil(set.block()));  // a clean close: nothing to mend
  const auto t = UidTarget("checked");
  Bytes buf(kBufferSize);
  int32_t len = kBufferSize;
  EXPECT_NE(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len));
  EXPECT_EQ(std::string::npos, std::string(buf.begin(), buf.end()).find("checked")) << "no bytes handed back";
  std::ifstream log(kStatusLogName);
  const std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(std::string::npos, text.find("check value")) << text;
  SetEngineError(0);
  CloseSetAndHost(set);
}

}  // namespace
}  // namespace isam
