#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_descent.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/key_search.h"
#include "isam/index/node_cache.h"
#include "platform/byte_lock.h"
#include "tests/isam/index/btree_model.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

using Key = std::vector<uint8_t>;
using btreemodel::CheckTree;

using BtreeSplit = indextest::IndexTest;

Key Numbered(int n, int length) {
  Key k(static_cast<std::size_t>(length), 0);
  PutBe32(k.data(), static_cast<uint32_t>(n));
  return k;
}

TEST(SplitRule, KeepLeftByMode) {
  EXPECT_EQ(SplitKeepLeft(7, 0), 4);
  EXPECT_EQ(SplitKeepLeft(7, 1), 6);
  EXPECT_EQ(SplitKeepLeft(7, 2), 2);
  EXPECT_EQ(SplitKeepLeft(7, 9), 2);
}

TEST_F(BtreeSplit, SevenEntriesSplitByModeAndTheRootHoldsTwo) {
  Start(3);  // 384-byte nodes: a 44-byte unique key fits 6 to a leaf
  for (int mode : {0, 1, 2}) {
    const int file = 10 + mode;
    const std::string name = "split" + std::to_string(mode) + ".idx";
    ASSERT_EQ(0, CreateIndexFile(file, name.c_str(), 44, 0, 0, 0, 0, 0));
    FileControlBlock* fcb = CheckFileNumber(file);
    ASSERT_EQ(fcb->header.key_bytes / 48, 6);
    for (int i = 1; i <= 7; ++i) ASSERT_EQ(0, addkey(file, Numbered(i, 44).data(), 100u + i, mode));
    Node root;
    ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &root));
    ASSERT_FALSE(root.IsLeaf());
    ASSERT_EQ(root.Count(), 2);
    EXPECT_EQ(Key(root.Key(1, fcb->layout), root.Key(1, fcb->layout) + 44), Key(44, 0xFF));
    Node left;
    ASSERT_EQ(0, FetchNode(fcb, root.pointers[0], &left));
    EXPECT_EQ(left.Count(), mode == 0 ? 4 : mode == 1 ? 6 : 2) << "mode " << mode;
    EXPECT_EQ(Key(root.Key(0, fcb->layout), root.Key(0, fcb->layout) + 44), left.high_key);
    EXPECT_EQ(fcb->header.active_count, 7u);
    CheckTree(file);
  }
}

TEST_F(BtreeSplit, FirstKeyMakesALeafRoot) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(3, "first.idx", 8, 0, 0, 0, 0, 0));
  FileControlBlock* fcb = CheckFileNumber(3);
  EXPECT_EQ(fcb->header.root, 0u);
  ASSERT_EQ(0, addkey(3, Numbered(1, 8).data(), 77, 0));
  Node root;
  ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &root));
  EXPECT_TRUE(root.IsLeaf());
  EXPECT_EQ(root.Count(), 1);
  EXPECT_EQ(root.high_key, Key(8, 0xFF));
  EXPECT_EQ(fcb->header.active_count, 1u);
}

using BtreeKeys = indextest::IndexTest;

TEST_F(BtreeKeys, UniqueIndexAddAndDeleteCodes) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(3, "u.idx", 8, 0, 0, 0, 0, 0));
  const Key a = Numbered(5, 8);
  EXPECT_EQ(28, addkey(3, a.data(), 0, 0));
  EXPECT_EQ(4, delkey(3, a.data(), 10, 0));  // empty index
  ASSERT_EQ(0, addkey(3, a.data(), 10, 0));
  const std::vector<uint8_t> before = FileBytes("u.idx");
  EXPECT_EQ(2, addkey(3, a.data(), 11, 0));
  EXPECT_EQ(FileBytes("u.idx"), before);  // unchanged, header included
  EXPECT_EQ(10u, FindKeyEqual(3, a.data(), nullptr));
  EXPECT_EQ(0, addkey(3, a.data(), 12, kAddReplacePosition));
  EXPECT_EQ(12u, FindKeyEqual(3, a.data(), nullptr));
  EXPECT_EQ(CheckFileNumber(3)->header.active_count, 1u);
  EXPECT_EQ(3, delkey(3, a.data(), 10, 0));
  EXPECT_EQ(4, delkey(3, Numbered(6, 8).data(), 12, 0));
  EXPECT_EQ(0, delkey(3, a.data(), 12, 0));
  EXPECT_EQ(CheckFileNumber(3)->header.active_count, 0u);
  EXPECT_EQ(0u, frskey(3, nullptr));
  // The emptied leaf stays and takes keys again.
  ASSERT_EQ(0, addkey(3, a.data(), 13, 0));
  EXPECT_EQ(13u, frskey(3, nullptr));
}

TEST_F(BtreeKeys, DuplicatesOrderByBigEndianPosition) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(3, "d.idx", 12, 0, 1, 0, 0, 0));
  Key v(12, 'x');
  ASSERT_EQ(0, addkey(3, v.data(), 0x01020304, 0));
  ASSERT_EQ(0, addkey(3, v.data(), 5, 0));
  EXPECT_EQ(2, addkey(3, v.data(), 5, 0));
  Key out(12);
  EXPECT_EQ(5u, frskey(3, out.data()));
  EXPECT_EQ(out[11], 5);
  EXPECT_EQ(0x01020304u, IndexNextKey(3, out.data()));
  EXPECT_EQ(0u, IndexNextKey(3, out.data()));
  EXPECT_EQ(4, delkey(3, v.data(), 6, 0));
  EXPECT_EQ(0, delkey(3, v.data(), 5, 0));
  EXPECT_EQ(0x01020304u, frskey(3, nullptr));
}

TEST_F(BtreeKeys, UpdateChecks) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(3, "ro.idx", 8, 0, 0, 0, 0, 0));
  ASSERT_EQ(0, addkey(3, Numbered(1, 8).data(), 1, 0));
  ASSERT_EQ(0, CloseFileEntry(3));
  ASSERT_EQ(0, OpenFileEntry(3, "ro.idx", kModeReadOnly));
  EXPECT_EQ(54, addkey(3, Numbered(2, 8).data(), 2, 0));
  EXPECT_EQ(54, delkey(3, Numbered(1, 8).data(), 1, 0));
  EXPECT_EQ(1u, FindKeyEqual(3, Numbered(1, 8).data(), nullptr));
  ASSERT_EQ(0, CreateDataFile(4, "data.dat", 20, 0, 0));
  EXPECT_EQ(48, AddKeyEntry(4, Numbered(1, 8).data(), 1, 0));
}

TEST_F(BtreeKeys, SharedFileLocksNestWithinOneInsert) {
  // Root creation holds the header lock while the new node's space is
  // allocated; the allocation takes the same lock again. Under mandatory
  // locks a second OS lock of the same byte would wait its full time.
  LockWaitPolicy quick;
  quick.lock_tries = 2;
  quick.io_tries = 2;
  quick.pause_ms = 1;
  SetLockWaitPolicy(quick);
  Start();
  ASSERT_EQ(0, CreateIndexFile(3, "s.idx", 8, 0, 0, 0, 512, kModeShared));
  for (int i = 0; i < 300; ++i) ASSERT_EQ(0, addkey(3, Numbered(i * 7919 % 1000, 8).data(), 1u + i, 0)) << i;
  EXPECT_EQ(CheckFileNumber(3)->header.active_count, 300u);
  EXPECT_EQ(platform::HeldOsFileRanges(CheckFileNumber(3)->os.handle), 0);
  CheckTree(3);
}

}  // namespace
}  // namespace isam

namespace isam {
namespace {

TEST_F(BtreeSplit, TreeGrowsPastTenLevelsAndStaysCorrect) {
  // 128-byte nodes with 32-byte keys: one key per leaf, at most three
  // entries per inner node, so a few thousand keys need more than ten
  // levels.
  Start(1, 64);
  ASSERT_EQ(0, CreateIndexFile(3, "deep.idx", 32, 0, 0, 0, 8192, 0));
  constexpr int kCount = 3000;
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(0, addkey(3, Numbered(i, 32).data(), 1u + i, 0)) << i;
  FileControlBlock* fcb = CheckFileNumber(3);
  Node node;
  int levels = 0;
  for (uint32_t at = fcb->header.root; levels < 40; ++levels) {
    ASSERT_EQ(0, FetchNode(fcb, at, &node));
    if (node.IsLeaf()) break;
    at = node.pointers[0];
  }
  EXPECT_GT(levels, 10);
  EXPECT_LT(levels, kMaxTreeDepth);
  for (int i = 0; i < kCount; i += 7) EXPECT_EQ(1u + i, FindKeyEqual(3, Numbered(i, 32).data(), nullptr)) << i;
  EXPECT_EQ(static_cast<std::size_t>(kCount), CheckTree(3).size());
  EXPECT_EQ(0, delkey(3, Numbered(2999, 32).data(), 3000, 0));
}

TEST_F(BtreeSplit, RandomKeysInSmallNodesKeepGrowing) {
  // Keys in random order split nodes all along each level, the root's
  // right neighbours too (the calendar's 768-byte nodes with 200-byte UIDs
  // behave alike, three keys a node, at about sixteen thousand keys).
  Start(1, 64);
  ASSERT_EQ(0, CreateIndexFile(3, "random.idx", 32, 0, 0, 0, 8192, 0));
  std::mt19937 rng(200);
  constexpr int kCount = 8000;
  std::vector<Key> keys;
  for (int i = 0; i < kCount; ++i) {
    Key k(32);
    for (auto& b : k) b = static_cast<uint8_t>('a' + rng() % 26);
    ASSERT_EQ(0, addkey(3, k.data(), 1u + i, 0)) << i;
    keys.push_back(k);
  }
  FileControlBlock* fcb = CheckFileNumber(3);
  Node node;
  int levels = 0;
  for (uint32_t at = fcb->header.root; levels < 40; ++levels) {
    ASSERT_EQ(0, FetchNode(fcb, at, &node));
    if (node.IsLeaf()) break;
    at = node.pointers[0];
  }
  EXPECT_GT(levels, 10);
  for (int i = 0; i < kCount; i += 13) EXPECT_EQ(1u + i, FindKeyEqual(3, keys[i].data(), nullptr)) << i;
  EXPECT_EQ(static_cast<std::size_t>(kCount), CheckTree(3).size());
}

}  // namespace
}  // namespace isam

namespace isam {
namespace {

TEST_F(BtreeSplit, SplitOfAnUnpublishedRightHalfKeepsEveryKeyReachable) {
  // Another process split leaf X into X and C and has not yet put C into the
  // parent when C splits here: the parent's entry for the range still leads
  // to X. Every key must stay reachable by a descent.
  Start(3);
  ASSERT_EQ(0, CreateIndexFile(3, "race.idx", 8, 0, 0, 0, 4096, 0));
  std::map<uint32_t, uint32_t> stored;
  for (uint32_t v = 1000; v <= 3000; v += 20) {
    ASSERT_EQ(0, addkey(3, Numbered(static_cast<int>(v), 8).data(), v, 0));
    stored[v] = v;
  }
  FileControlBlock* fcb = CheckFileNumber(3);
  const NodeLayout& l = fcb->layout;
  Node root;
  ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &root));
  ASSERT_FALSE(root.IsLeaf());
  Node x;
  ASSERT_EQ(0, FetchNode(fcb, root.pointers[0], &x));
  ASSERT_GE(x.Count(), 4);
  // The half-done split: C holds X's upper half, linked, unpublished.
  Node c;
  const uint32_t c_pos = NewIndexNode(fcb, true, &c);
  ASSERT_NE(c_pos, 0u);
  const int k = x.Count() / 2;
  c.keys.assign(x.keys.begin() + k * l.key_length, x.keys.end());
  c.pointers.assign(x.pointers.begin() + k, x.pointers.end());
  c.high_key = x.high_key;
  c.header.leftlink = x.position;
  c.header.rightlink = x.header.rightlink;
  x.high_key.assign(x.Key(k - 1, l), x.Key(k - 1, l) + l.key_length);
  x.keys.resize(static_cast<std::size_t>(k) * l.key_length);
  x.pointers.resize(static_cast<std::size_t>(k));
  x.header.rightlink = c_pos;
  ASSERT_EQ(0, StoreNode(fcb, &c));
  ASSERT_EQ(0, StoreNode(fcb, &x));
  if (c.header.rightlink != 0) {
    Node n;
    ASSERT_EQ(0, FetchNode(fcb, c.header.rightlink, &n));
    n.header.leftlink = c_pos;
    ASSERT_EQ(0, StoreNode(fcb, &n));
  }
  UnlockIndexNode(fcb, c_pos);
  // Fill C until it splits.
  const uint32_t from = GetBe32(c.Key(0, l));
  for (uint32_t v = from + 1; v < from + 80; ++v) {
    if (stored.count(v)) continue;
    ASSERT_EQ(0, addkey(3, Numbered(static_cast<int>(v), 8).data(), v, 0)) << v;
    stored[v] = v;
  }
  for (const auto& [v, pos] : stored) EXPECT_EQ(pos, FindKeyEqual(3, Numbered(static_cast<int>(v), 8).data(), nullptr)) << v;
  EXPECT_EQ(CheckTree(3).size(), stored.size());
  const std::string logged = StatusLogText();
  EXPECT_NE(logged.find("Parent-Child branch error"), std::string::npos);
}

}  // namespace
}  // namespace isam
