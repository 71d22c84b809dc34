// Calendar files damaged on purpose, one kind of damage at a time: every
// call comes back with a code within a fixed number of steps. A watchdog
// ends the process when a case runs past its bound, so a hang is this
// test's own failure, never a time-out of the test runner's.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <thread>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/file_close.h"
#include "isam/index/varlen_record.h"
#include "isam/record/isam_record.h"
#include "isam/superfile/superfile_member.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"

namespace isam {
namespace {

constexpr int kRecords = 120;
#ifdef _WIN32
constexpr int kSeedsPerKind = 3;
#else
constexpr int kSeedsPerKind = 12;
#endif

// Where the engine keeps what a damage kind changes, noted while the
// calendar is sound.
struct Layout {
  std::vector<std::pair<uint32_t, uint32_t>> uid_nodes;  // stretches of the UID index's nodes
  std::vector<uint32_t> records;                         // data record positions
  uint32_t uid_header = 0;                               // header of the UID index member
  uint32_t data_header = 0;
};

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                static_cast<std::streamsize>(bytes.size()));
}

using Damage = std::function<void(const Layout&, std::mt19937&, std::vector<uint8_t>*)>;

// A byte of a key: a digit of a UID inside the UID index's nodes becomes
// another digit ("uid-56" reads as "uid-26"), so every node stays well formed.
void ChangeKeyByte(const Layout& l, std::mt19937& rng, std::vector<uint8_t>* b) {
  std::vector<uint32_t> digits;
  for (const auto& n : l.uid_nodes)
    for (uint32_t at = n.first + kLongVarHeader; at < n.first + n.second && at < b->size(); ++at)
      if ((*b)[at] >= '0' && (*b)[at] <= '9') digits.push_back(at);
  for (int i = 0; i < 2 && !digits.empty(); ++i) {
    uint8_t& d = (*b)[digits[rng() % digits.size()]];
    d = static_cast<uint8_t>('0' + (d - '0' + 1 + rng() % 9) % 10);
  }
}

// Any byte of a node: counts, links, child pointers.
void ChangeNodeByte(const Layout& l, std::mt19937& rng, std::vector<uint8_t>* b) {
  const auto& n = l.uid_nodes[rng() % l.uid_nodes.size()];
  const uint32_t at = n.first + kLongVarHeader + static_cast<uint32_t>(rng() % (n.second - kLongVarHeader));
  (*b)[at] = static_cast<uint8_t>((*b)[at] ^ (1u + rng() % 255));
}

// A count in a header: the UID index's key count or the data file's
// record count, set low, high or wild.
void ChangeHeaderCount(const Layout& l, std::mt19937& rng, std::vector<uint8_t>* b) {
  const uint32_t header = rng() % 2 ? l.uid_header : l.data_header;
  const uint32_t values[] = {0, 1, kRecords / 2, 0x7FFFFFFF, 0xFFFFFFFF};
  PutLe32(b->data() + header + 24, values[rng() % 5]);
}

// A record's header: its mark, total or used length.
void ChangeRecordHeader(const Layout& l, std::mt19937& rng, std::vector<uint8_t>* b) {
  const uint32_t at = l.records[rng() % l.records.size()];
  const uint32_t field[] = {0, 2, 6};
  const uint32_t values[] = {0, 1, 9, 0xFFFF, 0x7FFFFFFF};
  if (field[rng() % 3] == 0) PutLe16(b->data() + at, static_cast<uint16_t>(values[rng() % 5]));
  else PutLe32(b->data() + at + field[1 + rng() % 2], values[rng() % 5]);
}

class CalendarDamageTest : public RecordEngineTest {
 protected:
  // Every call on the damaged calendar: walks of both indexes both ways and
  // the physical walk, bounded by what the file held; reads by key; an add,
  // a rewrite and a delete; the check. Returns what went wrong, or "".
  std::string Exercise(const std::string& base) {
    CalendarFileSet set(base);
    if (OpenFileSetFromIfil(set.block()) != 0) return "";  // refused at the open: a code
    const std::size_t bound = kRecords + 8;
    std::vector<uint8_t> buf(70000);
    std::string wrong;
    auto walk = [&](int file, bool forward) {
      int32_t len = 70000;
      int rc = forward ? IsamRecordFirst(file, buf.data(), &len) : IsamRecordLast(file, buf.data(), &len);
      for (std::size_t steps = 0; rc == 0; ++steps) {
        if (steps > bound) {
          wrong += " walk of " + std::to_string(file) + (forward ? " forward" : " backward") + " does not end;";
          return;
        }
        len = 70000;
        rc = forward ? IsamRecordNext(file, buf.data(), &len) : IsamRecordPrevious(file, buf.data(), &len);
      }
    };
    for (const int index : {set.uid_key(), set.serial_key()}) {
      walk(index, true);
      walk(index, false);
    }
    walk(set.data_file(), true);
    for (int i = 0; i < kRecords; i += 7) {
      const auto t = UidTarget("uid-" + std::to_string(i));
      int32_t len = 70000;
      if (IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) != 0) continue;
      const auto r = EventRecord("uid-" + std::to_string(i), 9000u + static_cast<uint32_t>(i), 50);
      if (i % 2 == 0) IsamRecordRewrite(set.data_file(), r.data(), static_cast<int32_t>(r.size()));
      else IsamRecordDelete(set.data_file());
    }
    const auto added = EventRecord("added", 1, 10);
    IsamRecordAdd(set.data_file(), added.data(), static_cast<int32_t>(added.size()));
    walk(set.uid_key(), true);
    FileSetReport report;
    CheckFileSet(set.data_file(), &report);
    CloseFileSet(set.block());
    return wrong;
  }
};

TEST_F(CalendarDamageTest, EveryCallOnADamagedCalendarReturnsWithinItsBound) {
  const std::string path = Path("damage.akv");
  const std::string base = CalendarFileSet::MemberName(path);
  Layout layout;
  {
    const int host = CreateCalendarHost(path);
    ASSERT_GE(host, 0);
    CalendarFileSet set(base);
    ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
    for (int i = 0; i < kRecords; ++i) {
      const auto r = EventRecord("uid-" + std::to_string(i), static_cast<uint32_t>(i), static_cast<std::size_t>(i % 40));
      ASSERT_EQ(0, IsamRecordAdd(set.data_file(), r.data(), static_cast<int32_t>(r.size())));
      layout.records.push_back(CurrentRecordPosition(set.data_file()));
    }
    FileControlBlock* uid = CheckFileNumber(set.uid_key());
    layout.uid_header = uid->header_position;
    layout.data_header = CheckFileNumber(set.data_file())->header_position;
    FileControlBlock* h = SuperfileHostOf(CheckFileNumber(set.data_file()));
    for (uint64_t at = h->header.node_size; at <= h->header.logical_end;) {
      VarRecordHeader vh;
      ASSERT_EQ(0, ReadVarRecordHeader(h, static_cast<uint32_t>(at), &vh));
      if (vh.mark == kMarkActive && vh.member == uid->header.superfile_member && vh.total > kLongVarHeader)
        layout.uid_nodes.emplace_back(static_cast<uint32_t>(at), vh.total);
      at += vh.total;
    }
    ASSERT_EQ(0, CloseFileSet(set.block()));
    ASSERT_EQ(0, CloseFileEntry(host));
  }
  ASSERT_FALSE(layout.uid_nodes.empty());
  const std::vector<uint8_t> sound = Bytes(path);
  ASSERT_EQ(129, GetLe16(sound.data() + layout.uid_header + 40)) << "the UID index's header";
  ASSERT_EQ(129, GetLe16(sound.data() + layout.data_header + 40)) << "the data file's header";

  const struct {
    const char* kind;
    Damage damage;
  } kinds[] = {
      {"key byte", ChangeKeyByte},
      {"node byte", ChangeNodeByte},
      {"header count", ChangeHeaderCount},
      {"record header", ChangeRecordHeader},
  };
  std::atomic<bool> done{false};
  std::atomic<const char*> current{""};
  std::thread watchdog([&] {
    // A case takes well under a second; the bound is far above any machine.
    for (int waited = 0; !done; ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (waited > 3000) {
        std::fprintf(stderr, "a call on a damaged calendar (%s) did not return\n", current.load());
        std::_Exit(3);
      }
    }
  });
  for (const auto& k : kinds) {
    current = k.kind;
    for (int seed = 0; seed < kSeedsPerKind; ++seed) {
      std::mt19937 rng(static_cast<unsigned>(seed * 31 + 7));
      std::vector<uint8_t> bytes = sound;
      k.damage(layout, rng, &bytes);
      Put(path, bytes);
      EXPECT_EQ("", Exercise(base)) << k.kind << " seed " << seed;
      CloseAllFiles();
    }
  }
  done = true;
  watchdog.join();
}

}  // namespace
}  // namespace isam
