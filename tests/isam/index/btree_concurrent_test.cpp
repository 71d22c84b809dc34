#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/key_search.h"
#include "platform/os_file.h"
#include "platform/process.h"
#include "tests/isam/index/btree_model.h"
#include "tests/isam/index/index_test_env.h"
#include "tests/support/child_process.h"

namespace isam {
namespace {

// Two processes insert disjoint sets of keys into one shared index while a
// third scans it again and again.
constexpr int kKeysPerWriter = 10000;
constexpr int kIndex = 1;

using Key = std::vector<uint8_t>;

// Key i of writer w: a scrambled first word spreads the two writers' keys
// over the same leaves; the second word names the key.
Key KeyOf(int w, int i) {
  const uint32_t id = static_cast<uint32_t>(i) * 2u + static_cast<uint32_t>(w);
  Key k(8);
  PutBe32(k.data(), id * 2654435761u);
  PutBe32(k.data() + 4, id);
  return k;
}

std::string SharedPath(const std::string& dir) { return dir + "/shared.idx"; }

class BtreeConcurrent : public indextest::IndexTest {};

// How many keys writer w has stored: its keys go in one after another, so
// the stored ones are a prefix of its sequence.
int StoredPrefix(int w) {
  int lo = 0, hi = kKeysPerWriter;  // keys [0, lo) are present, [hi, ...) unknown
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (FindKeyEqual(kIndex, KeyOf(w, mid).data(), nullptr) != 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// One scan: sorted, no duplicates, every key that was stored before it began.
void Scan(int* scans) {
  const int before[2] = {StoredPrefix(0), StoredPrefix(1)};
  std::set<Key> seen;
  Key k(8), last;
  int steps = 0;
  for (uint32_t at = frskey(kIndex, k.data()); at != 0; at = IndexNextKey(kIndex, k.data())) {
    ASSERT_LT(++steps, 3 * kKeysPerWriter) << "the walk does not end";
    if (!last.empty()) {
      ASSERT_LT(last, k) << "scan out of order or repeated";
    }
    last = k;
    seen.insert(k);
  }
  ASSERT_EQ(CurrentInstance()->eng_err, 0);
  for (int w = 0; w < 2; ++w) {
    for (int i = 0; i < before[w]; ++i) {
      ASSERT_TRUE(seen.count(KeyOf(w, i))) << "writer " << w << " key " << i;
    }
  }
  ++*scans;
}

TEST_F(BtreeConcurrent, ChildRole) {
  const std::string role = testsupport::ChildRole();
  if (role.empty()) GTEST_SKIP() << "runs as a child of TwoWritersAndAScanner";
  const std::string dir = testsupport::ChildValue("SHARED_DIR");
  Start(6, 64);
  ASSERT_EQ(0, OpenFileEntry(kIndex, SharedPath(dir).c_str(), kModeShared));
  if (role == "scanner") {
    int scans = 0;
    while (!(platform::OsFileExists((dir + "/done0").c_str()) && platform::OsFileExists((dir + "/done1").c_str()))) {
      ASSERT_NO_FATAL_FAILURE(Scan(&scans));
    }
    ASSERT_NO_FATAL_FAILURE(Scan(&scans));
    EXPECT_GE(scans, 2);
  } else {
    const int w = role == "writer1" ? 1 : 0;
    // The marker goes down however the writer ends, so that a failing
    // writer fails the test instead of leaving the scanner waiting.
    struct DoneMarker {
      std::string path;
      ~DoneMarker() { testsupport::TouchFile(path); }
    } done{dir + "/done" + std::to_string(w)};
    testsupport::TouchFile(dir + "/ready" + std::to_string(w));
    for (int i = 0; i < kKeysPerWriter; ++i)
      ASSERT_EQ(0, addkey(kIndex, KeyOf(w, i).data(), static_cast<uint32_t>(1 + i + 100000 * w), 0)) << i;
  }
  EXPECT_EQ(0, CloseFileEntry(kIndex));
}

TEST_F(BtreeConcurrent, TwoWritersAndAScanner) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  Start(6, 64);
  ASSERT_EQ(0, CreateIndexFile(kIndex, SharedPath(dir_.string()).c_str(), 8, 0, 0, 0, 16384, kModeShared));
  ASSERT_EQ(0, CloseFileEntry(kIndex));
  const std::vector<std::string> env = {"SHARED_DIR=" + dir_.string()};
  platform::ChildProcess* w0 = testsupport::StartChildTest("BtreeConcurrent.ChildRole", "writer0", env);
  platform::ChildProcess* w1 = testsupport::StartChildTest("BtreeConcurrent.ChildRole", "writer1", env);
  ASSERT_NE(w0, nullptr);
  ASSERT_NE(w1, nullptr);
  testsupport::WaitForFile(dir_.string() + "/ready0", 60000);
  platform::ChildProcess* scanner = testsupport::StartChildTest("BtreeConcurrent.ChildRole", "scanner", env);
  ASSERT_NE(scanner, nullptr);
  EXPECT_EQ(0, testsupport::WaitChildTest(w0));
  EXPECT_EQ(0, testsupport::WaitChildTest(w1));
  EXPECT_EQ(0, testsupport::WaitChildTest(scanner));

  ASSERT_EQ(0, OpenFileEntry(kIndex, SharedPath(dir_.string()).c_str(), 0));
  EXPECT_EQ(CheckFileNumber(kIndex)->header.active_count, 2u * kKeysPerWriter);
  std::set<Key> all;
  Key k(8);
  for (uint32_t at = frskey(kIndex, k.data()); at != 0; at = IndexNextKey(kIndex, k.data())) all.insert(k);
  EXPECT_EQ(all.size(), 2u * kKeysPerWriter);
  for (int w = 0; w < 2; ++w) {
    for (int i = 0; i < kKeysPerWriter; ++i) {
      ASSERT_TRUE(all.count(KeyOf(w, i)));
      // Found by descent too: the parents published every split right.
      ASSERT_EQ(static_cast<uint32_t>(1 + i + 100000 * w), FindKeyEqual(kIndex, KeyOf(w, i).data(), nullptr));
    }
  }
  EXPECT_EQ(btreemodel::CheckTree(kIndex).size(), 2u * kKeysPerWriter);
}

}  // namespace
}  // namespace isam
