#include <gtest/gtest.h>

#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/key_search.h"
#include "isam/index/node_cache.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

using Key = std::vector<uint8_t>;

Key K(uint32_t n) {
  Key k(8, 0);
  PutBe32(k.data() + 4, n);
  return k;
}

uint32_t ValueOf(const Key& k) { return GetBe32(k.data() + 4); }

// Keys 10, 20, ..., 2000 with record position = value; 384-byte nodes hold
// 29 of these keys per leaf, so the index has several leaves.
class KeySearch : public indextest::IndexTest {
 protected:
  void SetUp() override {
    indextest::IndexTest::SetUp();
    Start(3);
    ASSERT_EQ(0, CreateIndexFile(kFile, "s.idx", 8, 0, 0, 0, 4096, 0));
    for (uint32_t v = 10; v <= 2000; v += 10) ASSERT_EQ(0, addkey(kFile, K(v).data(), v, 0));
  }

  // The last key of the leftmost leaf and the first key of its right
  // neighbour.
  void FirstLeafEdge(uint32_t* last, uint32_t* next_first) {
    FileControlBlock* fcb = CheckFileNumber(kFile);
    Node node;
    ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &node));
    while (!node.IsLeaf()) ASSERT_EQ(0, FetchNode(fcb, node.pointers[0], &node));
    ASSERT_NE(node.header.rightlink, 0u);
    *last = node.pointers.back();
    Node right;
    ASSERT_EQ(0, FetchNode(fcb, node.header.rightlink, &right));
    *next_first = right.pointers.front();
  }

  uint32_t Find(uint32_t v, char mode) {
    out_.assign(8, 0);
    return FindKeyByMode(kFile, K(v).data(), mode, out_.data());
  }

  static constexpr int kFile = 4;
  Key out_;
};

TEST_F(KeySearch, EqualAndAtLeast) {
  EXPECT_EQ(500u, Find(500, kFindEqual));
  EXPECT_EQ(ValueOf(out_), 500u);
  EXPECT_EQ(0u, Find(505, kFindEqual));
  EXPECT_EQ(Err(), 0);
  EXPECT_EQ(510u, Find(505, kFindAtLeast));
  EXPECT_EQ(10u, Find(0, kFindAtLeast));
  EXPECT_EQ(0u, Find(2001, kFindAtLeast));
  EXPECT_EQ(Err(), 0);
}

TEST_F(KeySearch, GreaterCrossesLeavesAndEndsQuietly) {
  uint32_t last = 0, next_first = 0;
  FirstLeafEdge(&last, &next_first);
  EXPECT_EQ(next_first, Find(last, kFindGreater));
  EXPECT_EQ(next_first, last + 10);
  EXPECT_EQ(0u, Find(2000, kFindGreater));
  EXPECT_EQ(Err(), 0);
  EXPECT_EQ(20u, Find(15, kFindGreater));
}

TEST_F(KeySearch, AtMostAndLess) {
  EXPECT_EQ(0u, Find(5, kFindAtMost));
  EXPECT_EQ(Err(), 0);
  EXPECT_EQ(500u, Find(505, kFindAtMost));
  EXPECT_EQ(500u, Find(500, kFindAtMost));
  EXPECT_EQ(490u, Find(500, kFindLess));
  EXPECT_EQ(0u, Find(10, kFindLess));
  EXPECT_EQ(2000u, Find(99999, kFindLess));
  uint32_t last = 0, next_first = 0;
  FirstLeafEdge(&last, &next_first);
  EXPECT_EQ(last, Find(next_first, kFindLess));  // back across a leaf boundary
}

TEST_F(KeySearch, FirstLastNextPrevious) {
  Key k(8);
  EXPECT_EQ(10u, frskey(kFile, k.data()));
  EXPECT_EQ(20u, IndexNextKey(kFile, k.data()));
  EXPECT_EQ(10u, IndexPreviousKey(kFile, k.data()));
  EXPECT_EQ(0u, IndexPreviousKey(kFile, k.data()));
  EXPECT_EQ(20u, IndexNextKey(kFile, k.data()));  // the current key stayed on the first
  EXPECT_EQ(2000u, lstkey(kFile, k.data()));
  EXPECT_EQ(0u, IndexNextKey(kFile, k.data()));
  EXPECT_EQ(1990u, IndexPreviousKey(kFile, k.data()));
}

TEST_F(KeySearch, StepsSkipEmptiedLeavesAndSurviveSplits) {
  uint32_t last = 0, next_first = 0;
  FirstLeafEdge(&last, &next_first);
  // Empty the second leaf completely: walks and searches pass over it.
  FileControlBlock* fcb = CheckFileNumber(kFile);
  Node first;
  ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &first));
  while (!first.IsLeaf()) ASSERT_EQ(0, FetchNode(fcb, first.pointers[0], &first));
  Node second;
  ASSERT_EQ(0, FetchNode(fcb, first.header.rightlink, &second));
  for (uint32_t pos : second.pointers) ASSERT_EQ(0, delkey(kFile, K(pos).data(), pos, 0));
  const uint32_t after = second.pointers.back() + 10;
  Key k(8);
  EXPECT_EQ(last, FindKeyEqual(kFile, K(last).data(), k.data()));
  EXPECT_EQ(after, IndexNextKey(kFile, k.data()));
  EXPECT_EQ(last, IndexPreviousKey(kFile, k.data()));
  EXPECT_EQ(after, Find(last, kFindGreater));
  EXPECT_EQ(last, Find(after, kFindLess));
  // The current key's node splits under it: the step falls back to a search.
  EXPECT_EQ(20u, FindKeyEqual(kFile, K(20).data(), k.data()));
  for (uint32_t v = 21; v < 30; ++v) ASSERT_EQ(0, addkey(kFile, K(v).data(), v, 0));
  for (uint32_t v = 11; v < 20; ++v) ASSERT_EQ(0, addkey(kFile, K(v).data(), v, 0));
  EXPECT_EQ(21u, IndexNextKey(kFile, k.data()));
  EXPECT_EQ(20u, IndexPreviousKey(kFile, k.data()));
  EXPECT_EQ(19u, IndexPreviousKey(kFile, k.data()));
}

// A search position set from a key alone (as a restored ISAM position
// does): the steps go on from that key, present or gone, across leaves.
TEST_F(KeySearch, StepsFromAKeyAloneFindItsNeighbours) {
  uint32_t last = 0, next_first = 0;
  FirstLeafEdge(&last, &next_first);
  Key k(8);
  SetSearchKey(kFile, K(last).data());
  EXPECT_EQ(next_first, IndexNextKey(kFile, k.data()));
  EXPECT_EQ(last, IndexPreviousKey(kFile, k.data())) << "and from there on by the node";
  SetSearchKey(kFile, K(next_first).data());
  EXPECT_EQ(last, IndexPreviousKey(kFile, k.data()));
  SetSearchKey(kFile, K(495).data());
  EXPECT_EQ(490u, IndexPreviousKey(kFile, k.data()));
  SetSearchKey(kFile, K(505).data());
  EXPECT_EQ(510u, IndexNextKey(kFile, k.data())) << "a key that is not there";
  SetSearchKey(kFile, K(2000).data());
  EXPECT_EQ(0u, IndexNextKey(kFile, k.data()));
  EXPECT_EQ(Err(), 0);
  SetSearchKey(kFile, K(5).data());
  EXPECT_EQ(0u, IndexPreviousKey(kFile, k.data()));
  EXPECT_EQ(Err(), 0);
}

TEST_F(KeySearch, CountsAndOffsets) {
  EXPECT_EQ(200, KeyRangeCount(kFile, K(0).data(), K(99999).data()));
  EXPECT_EQ(11, KeyRangeCount(kFile, K(100).data(), K(200).data()));
  EXPECT_EQ(10, KeyRangeCount(kFile, K(101).data(), K(205).data()));
  EXPECT_EQ(0, KeyRangeCount(kFile, K(101).data(), K(105).data()));
  Key k(8);
  EXPECT_EQ(150u, KeyAtOffsetFrom(kFile, K(101).data(), 4, k.data()));
  EXPECT_EQ(160u, IndexNextKey(kFile, k.data()));
  EXPECT_EQ(2000u, KeyAtOffsetFrom(kFile, K(10).data(), 199, k.data()));
  EXPECT_EQ(0u, KeyAtOffsetFrom(kFile, K(10).data(), 200, k.data()));
}

TEST_F(KeySearch, Percentages) {
  Key k(8);
  EXPECT_EQ(10u, KeyAtPercent(kFile, k.data(), 0));
  EXPECT_EQ(2000u, KeyAtPercent(kFile, k.data(), 100));
  const uint32_t mid = KeyAtPercent(kFile, k.data(), 50);
  EXPECT_GT(mid, 600u);
  EXPECT_LT(mid, 1400u);
  EXPECT_EQ(0u, KeyAtPercent(kFile, k.data(), 101));
  EXPECT_EQ(Err(), 60);
  EXPECT_EQ(0u, KeyAtPercent(kFile, k.data(), -1));
  EXPECT_EQ(Err(), 60);
  const int p = KeyPercentOf(kFile, K(1500).data());
  EXPECT_GT(p, 55);
  EXPECT_LT(p, 95);
  EXPECT_EQ(p, KeyPercentOf(kFile, 50, 50, K(1500).data()));
  // From another start the search narrows around that start instead.
  const int high = KeyPercentOf(kFile, 12, 94, K(1990).data());
  EXPECT_GE(high, 94);
  EXPECT_LE(high, 100);
  EXPECT_LE(KeyPercentOf(kFile, 12, 4, K(10).data()), 4);
  const int32_t between = EstimateKeysBetween(kFile, K(500).data(), K(1500).data());
  EXPECT_GT(between, 60);
  EXPECT_LT(between, 140);
}

TEST_F(KeySearch, EmptyIndexAnswersNothing) {
  ASSERT_EQ(0, CreateIndexFile(9, "empty.idx", 8, 0, 0, 0, 0, 0));
  Key k(8);
  EXPECT_EQ(0u, frskey(9, k.data()));
  EXPECT_EQ(0u, lstkey(9, k.data()));
  EXPECT_EQ(0u, IndexNextKey(9, k.data()));
  EXPECT_EQ(0u, FindKeyAtLeast(9, K(1).data(), k.data()));
  EXPECT_EQ(0, KeyRangeCount(9, K(0).data(), K(9).data()));
  EXPECT_EQ(0u, KeyAtPercent(9, k.data(), 50));
  EXPECT_EQ(Err(), 0);
}

TEST_F(KeySearch, WrongFileKinds) {
  ASSERT_EQ(0, CreateDataFile(9, "d.dat", 20, 0, 0));
  EXPECT_EQ(0u, frskey(9, nullptr));
  EXPECT_EQ(Err(), 48);
  EXPECT_EQ(0u, frskey(30, nullptr));
  EXPECT_EQ(Err(), 26);
}

}  // namespace
}  // namespace isam

namespace isam {
namespace {

// The rightmost leaves, emptied: a percentage that lands behind the last key
// answers with the last key and leaves the current key where it was.
TEST_F(KeySearch, PercentPastTheLastKeyKeepsTheCurrentKey) {
  FileControlBlock* fcb = CheckFileNumber(kFile);
  Node leaf;
  ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &leaf));
  while (!leaf.IsLeaf()) ASSERT_EQ(0, FetchNode(fcb, leaf.pointers.back(), &leaf));
  ASSERT_EQ(leaf.header.rightlink, 0u);
  for (uint32_t pos : leaf.pointers) ASSERT_EQ(0, delkey(kFile, K(pos).data(), pos, 0));
  const uint32_t last = leaf.pointers.front() - 10;
  Key k(8);
  ASSERT_EQ(500u, FindKeyEqual(kFile, K(500).data(), k.data()));
  EXPECT_EQ(last, KeyAtPercent(kFile, k.data(), 100));
  EXPECT_EQ(ValueOf(k), last);
  EXPECT_EQ(510u, IndexNextKey(kFile, k.data())) << "the current key stayed on 500";
}

// A back link that never leads to a node naming this one as its right
// neighbour: the step backwards gives up with 34 instead of guessing.
TEST_F(KeySearch, InconsistentBackLinksGive34) {
  FileControlBlock* fcb = CheckFileNumber(kFile);
  Node first;
  ASSERT_EQ(0, FetchNode(fcb, fcb->header.root, &first));
  while (!first.IsLeaf()) ASSERT_EQ(0, FetchNode(fcb, first.pointers[0], &first));
  Node second, third;
  ASSERT_EQ(0, FetchNode(fcb, first.header.rightlink, &second));
  ASSERT_NE(second.header.rightlink, 0u);
  ASSERT_EQ(0, FetchNode(fcb, second.header.rightlink, &third));
  second.header.leftlink = third.position;  // points past itself
  ASSERT_EQ(0, StoreNode(fcb, &second));
  Key k(8);
  const uint32_t at = second.pointers.front();
  ASSERT_EQ(at, FindKeyEqual(kFile, K(at).data(), k.data()));
  EXPECT_EQ(0u, IndexPreviousKey(kFile, k.data()));
  EXPECT_EQ(Err(), 34);
}

}  // namespace
}  // namespace isam
