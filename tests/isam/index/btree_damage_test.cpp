#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/key_search.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

// Bytes flipped at random in an index file: every call must come back with a
// code, none may hang or end the process (the fixture fails the test when
// the fatal path was taken).
class DamagedIndex : public indextest::IndexTest, public ::testing::WithParamInterface<int> {};

// Callers size key buffers by the index's key length; a damaged header may
// claim any length up to 255, so these buffers hold the largest key.
std::vector<uint8_t> RandomKey(std::mt19937& rng, std::size_t length = 256) {
  std::vector<uint8_t> k(length, ' ');
  const int used = 1 + static_cast<int>(rng() % 8);
  for (int i = 0; i < used; ++i) k[static_cast<std::size_t>(i)] = static_cast<uint8_t>('a' + rng() % 6);
  return k;
}

// Runs every kind of call against the open file and bounds the walks the
// test itself makes (a damaged chain may legitimately never end).
void Exercise(int file, std::mt19937& rng) {
  std::vector<uint8_t> k(256);
  for (int i = 0; i < 60; ++i) {
    const std::vector<uint8_t> t = RandomKey(rng);
    const char modes[] = {kFindEqual, kFindAtLeast, kFindGreater, kFindAtMost, kFindLess};
    FindKeyByMode(file, t.data(), modes[rng() % 5], k.data());
    addkey(file, t.data(), 1 + rng() % 1000, static_cast<int>(rng() % 3));
    delkey(file, t.data(), 1 + rng() % 1000, 0);
  }
  int steps = 0;
  for (uint32_t at = frskey(file, k.data()); at != 0 && steps < 5000; at = IndexNextKey(file, k.data())) ++steps;
  steps = 0;
  for (uint32_t at = lstkey(file, k.data()); at != 0 && steps < 5000; at = IndexPreviousKey(file, k.data())) ++steps;
  const std::vector<uint8_t> lo(256, 0), hi(256, 0xFF);
  KeyRangeCount(file, lo.data(), hi.data());
  for (int p : {0, 33, 50, 100}) KeyAtPercent(file, k.data(), p);
  KeyAtOffsetFrom(file, lo.data(), 17, k.data());
  EstimateKeysBetween(file, lo.data(), hi.data());
}

TEST_P(DamagedIndex, EveryCallReturnsACode) {
  const int key_type = GetParam() & 0xFF;
  const bool duplicates = (GetParam() & 0x100) != 0;
  Start(3, 16);
  ASSERT_EQ(0, CreateIndexFile(2, "d.idx", duplicates ? 14 : 10, key_type, duplicates, 0, 4096, 0));
  // ISAM_DAMAGE_SEED picks another damage pattern (for longer runs by hand).
  const char* seed = std::getenv("ISAM_DAMAGE_SEED");
  std::mt19937 rng((seed ? static_cast<unsigned>(std::atoi(seed)) : 99u) + static_cast<unsigned>(GetParam()));
  for (int i = 0; i < 1500; ++i) addkey(2, RandomKey(rng).data(), 1 + i, 0);
  ASSERT_EQ(0, CloseFileEntry(2));
  const std::vector<uint8_t> pristine = FileBytes("d.idx");
  int opened = 0;
  for (int round = 0; round < 60; ++round) {
    std::vector<uint8_t> bytes = pristine;
    const int flips = 1 + static_cast<int>(rng() % 24);
    for (int f = 0; f < flips; ++f) {
      // Mostly node bytes; now and then the header.
      const std::size_t at = rng() % 6 == 0 ? rng() % 128 : 128 + rng() % (bytes.size() - 128);
      bytes[at] = static_cast<uint8_t>(rng());
    }
    PatchFile("d.idx", 0, bytes);
    const int rc = OpenFileEntry(2, "d.idx", 0);
    if (rc != 0) {
      EXPECT_EQ(0, FileNumberState(2)) << "round " << round;
      continue;
    }
    ++opened;
    Exercise(2, rng);
    CloseFileEntry(2);
  }
  EXPECT_GT(opened, 10);
}

TEST_F(DamagedIndex, CycleInTheLeafChainEndsWithAnError) {
  Start(3, 16);
  ASSERT_EQ(0, CreateIndexFile(2, "c.idx", 10, 0, 0, 0, 4096, 0));
  std::mt19937 rng(5);
  for (int i = 0; i < 400; ++i) addkey(2, RandomKey(rng).data(), 1 + i, 0);
  FileControlBlock* fcb = CheckFileNumber(2);
  const uint32_t node_size = fcb->header.node_size;
  const uint32_t high_key_at = 18u + fcb->header.key_bytes;
  ASSERT_EQ(0, CloseFileEntry(2));
  // Point the rightmost leaf's right link back at the leftmost leaf and its
  // high key below everything: a search for a large key would go round.
  std::vector<uint8_t> bytes = FileBytes("c.idx");
  std::vector<uint32_t> leaves;
  for (uint32_t at = 2 * node_size; at + node_size <= bytes.size(); at += node_size)
    if (bytes[at + 17] == 1 && GetLe16(bytes.data() + at + 8) < 0x100) leaves.push_back(at);
  ASSERT_GE(leaves.size(), 3u);
  for (uint32_t at : leaves) {
    PutLe32(bytes.data() + at, leaves.front());                  // rightlink
    std::fill(bytes.begin() + at + high_key_at, bytes.begin() + at + high_key_at + 10, 0x00);
  }
  PatchFile("c.idx", 0, bytes);
  ASSERT_EQ(0, OpenFileEntry(2, "c.idx", 0));
  const std::vector<uint8_t> big(10, 'z');
  std::vector<uint8_t> k(10);
  EXPECT_EQ(0u, FindKeyAtLeast(2, big.data(), k.data()));
  EXPECT_EQ(Err(), kErrFileDamaged);
  EXPECT_EQ(kErrFileDamaged, addkey(2, big.data(), 9, 0));
  EXPECT_EQ(0, KeyRangeCount(2, std::vector<uint8_t>(10, 0).data(), big.data()));
}

TEST_F(DamagedIndex, ChildPointerCycleIsTooDeepNotAnOverflow) {
  Start(3, 16);
  ASSERT_EQ(0, CreateIndexFile(2, "p.idx", 10, 0, 0, 0, 4096, 0));
  std::mt19937 rng(6);
  for (int i = 0; i < 400; ++i) addkey(2, RandomKey(rng).data(), 1 + i, 0);
  const uint32_t root = CheckFileNumber(2)->header.root;
  ASSERT_EQ(0, CloseFileEntry(2));
  // Every child pointer of the root leads back to the root.
  std::vector<uint8_t> bytes = FileBytes("p.idx");
  ASSERT_EQ(bytes[root + 17], 0);
  const int n = GetLe16(bytes.data() + root + 8);
  for (int i = 0; i < n; ++i) PutLe32(bytes.data() + root + 18 + 14 * i, root);
  PatchFile("p.idx", 0, bytes);
  ASSERT_EQ(0, OpenFileEntry(2, "p.idx", 0));
  std::vector<uint8_t> k(10);
  EXPECT_EQ(0u, FindKeyAtLeast(2, RandomKey(rng).data(), k.data()));
  EXPECT_EQ(Err(), 240);
  EXPECT_EQ(240, addkey(2, RandomKey(rng).data(), 5, 0));
  EXPECT_EQ(0u, frskey(2, k.data()));
  EXPECT_EQ(Err(), 240);
}

// Key type in the low byte; 0x100 = an index with duplicates.
INSTANTIATE_TEST_SUITE_P(KeyTypes, DamagedIndex, ::testing::Values(0, 4, 8, 12, 0x100, 0x104, 0x108, 0x10C));

}  // namespace
}  // namespace isam

#include "isam/index/node_cache.h"

namespace isam {
namespace {

// A root marked for restart that never clears: insert, delete and search
// give up with the damage code after their restarts, and the log says why.
TEST_F(DamagedIndex, RestartMarksThatNeverClearEndInAnError) {
  Start(3, 16);
  ASSERT_EQ(0, CreateIndexFile(2, "r.idx", 10, 0, 0, 0, 4096, 0));
  std::mt19937 rng(8);
  ASSERT_EQ(0, addkey(2, RandomKey(rng).data(), 1, 0));
  FileControlBlock* fcb = CheckFileNumber(2);
  Node root;
  ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &root));
  root.header.leftlink = 0xFFFFFFFFu;
  ASSERT_EQ(0, StoreNode(fcb, &root));
  const std::vector<uint8_t> key = RandomKey(rng);
  EXPECT_EQ(kErrFileDamaged, addkey(2, key.data(), 2, 0));
  EXPECT_EQ(kErrFileDamaged, delkey(2, key.data(), 2, 0));
  std::vector<uint8_t> out(256);
  EXPECT_EQ(0u, FindKeyAtLeast(2, key.data(), out.data()));
  EXPECT_EQ(Err(), kErrFileDamaged);
  EXPECT_EQ(fcb->header.active_count, 1u);
  const std::string logged = StatusLogText();
  EXPECT_NE(logged.find("Restarts do not end during addkey...: 57"), std::string::npos);
}

}  // namespace
}  // namespace isam
