#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/key_search.h"
#include "isam/index/node_cache.h"
#include "isam/runtime/engine_instance.h"
#include "platform/os_file_faults.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

using Key = std::vector<uint8_t>;

Key K(uint32_t n) {
  Key k(8, 0);
  PutBe32(k.data(), n);
  return k;
}

class NodeCacheTest : public indextest::IndexTest {
 protected:
  // An index of 300 keys (several leaves and one inner level).
  void Build(uint16_t mode) {
    ASSERT_EQ(0, CreateIndexFile(2, "n.idx", 8, 0, 0, 0, 4096, mode));
    for (uint32_t v = 1; v <= 300; ++v) ASSERT_EQ(0, addkey(2, K(v).data(), v, 0));
    fcb_ = CheckFileNumber(2);
  }
  FileControlBlock* fcb_ = nullptr;
};

TEST_F(NodeCacheTest, ExclusiveIndexReadsANodeOnceSharedEveryTime) {
  Start(3, 32);
  Build(0);
  EngineInstance* inst = CurrentInstance();
  const uint32_t root = fcb_->header.root;
  ReleaseFileNodes(2, false);
  uint32_t reads = inst->io_reads;
  const uint32_t requests = inst->node_requests, hits = inst->node_hits;
  Node n;
  ASSERT_EQ(0, FetchNode(fcb_, root, &n));
  ASSERT_EQ(0, FetchNode(fcb_, root, &n));
  EXPECT_EQ(inst->io_reads - reads, 1u);
  EXPECT_EQ(inst->node_requests - requests, 2u);
  EXPECT_EQ(inst->node_hits - hits, 1u);
  ASSERT_EQ(0, CloseFileEntry(2));

  ASSERT_EQ(0, OpenFileEntry(2, "n.idx", kModeShared));
  fcb_ = CheckFileNumber(2);
  reads = inst->io_reads;
  ASSERT_EQ(0, FetchNode(fcb_, root, &n));
  ASSERT_EQ(0, FetchNode(fcb_, root, &n));
  EXPECT_EQ(inst->io_reads - reads, 2u);
}

TEST_F(NodeCacheTest, ProbeCountsNothingAndZeroPositionIs527) {
  Start(3, 32);
  Build(0);
  EngineInstance* inst = CurrentInstance();
  const uint32_t requests = inst->node_requests;
  EXPECT_NE(nullptr, getnode(3, fcb_->header.root, fcb_));
  EXPECT_EQ(inst->node_requests, requests);
  ReleaseFileNodes(2, false);
  EXPECT_EQ(nullptr, getnode(3, fcb_->header.root, fcb_));
  EXPECT_EQ(nullptr, getnode(0, 0, fcb_));
  EXPECT_EQ(Err(), 527);
}

TEST_F(NodeCacheTest, EvictionKeepsContentRight) {
  Start(3, 8);  // fewer buffers than leaves
  Build(0);
  Key k(8);
  uint32_t expect = 1;
  for (uint32_t at = frskey(2, k.data()); at != 0; at = IndexNextKey(2, k.data())) EXPECT_EQ(at, expect++);
  EXPECT_EQ(expect, 301u);
}

TEST_F(NodeCacheTest, PositionsOffTheGridOrPastTheEndAreDamage) {
  Start(3, 32);
  Build(0);
  Node n;
  EXPECT_EQ(kErrFileDamaged, FetchNode(fcb_, fcb_->header.root + 7, &n));
  EXPECT_EQ(kErrFileDamaged, FetchNode(fcb_, 384u * 100000u, &n));
  EXPECT_EQ(kErrFileDamaged, FetchNode(fcb_, 128, &n));
}

TEST_F(NodeCacheTest, ForeignMemberNodeIs69AndBadExcwordIs527) {
  Start(3, 32);
  Build(0);
  const uint32_t root = fcb_->header.root;
  Node n;
  ASSERT_EQ(0, FetchNode(fcb_, root, &n));
  ASSERT_FALSE(n.IsLeaf());
  const uint32_t leaf = n.pointers[0];
  ASSERT_EQ(0, CloseFileEntry(2));
  PatchFile("n.idx", leaf + 16, {3});  // another member's byte
  PatchFile("n.idx", root + 12, {1, 0});  // excword of an inner node
  ASSERT_EQ(0, OpenFileEntry(2, "n.idx", 0));
  fcb_ = CheckFileNumber(2);
  EngineInstance* inst = CurrentInstance();
  const uint32_t reads = inst->io_reads;
  EXPECT_EQ(69, FetchNode(fcb_, leaf, &n));
  EXPECT_EQ(inst->io_reads - reads, 3u);  // three tries
  EXPECT_EQ(527, FetchNode(fcb_, root, &n));
  EXPECT_EQ(0u, FindKeyEqual(2, K(5).data(), nullptr));
  EXPECT_EQ(Err(), 527);
}

TEST_F(NodeCacheTest, FlushCodes) {
  Start(3, 32);
  ASSERT_EQ(0, CreateIndexFile(2, "m.idx", 8, 0, 0, 1, 0, 0));
  ASSERT_EQ(0, AddIndexMember(2, 8, 0, 0, 1));
  EXPECT_EQ(0, FlushEngineFile(2));
  EXPECT_EQ(23, FlushEngineFile(3));
  EXPECT_EQ(0, FlushEngineFile(-1));
  EXPECT_EQ(26, FlushEngineFile(9));
}

// A node write cut short would leave half new entries behind the old count:
// the store fails with its code and the old node is back on disk, whether
// the cache held it (exclusive) or not (shared, read again first).
TEST_F(NodeCacheTest, AWriteCutShortPutsTheOldNodeBack) {
  Start(3, 32);
  for (uint16_t mode : {uint16_t{0}, kModeShared}) {
    std::remove("n.idx");
    Build(mode);
    Node leaf;
    const uint32_t first = frskey(2, K(0).data());
    ASSERT_NE(0u, first);
    ASSERT_EQ(0, FetchNode(fcb_, fcb_->current_node, &leaf));
    const Node before = leaf;
    for (int i = 0; i < leaf.Count(); ++i) leaf.pointers[static_cast<std::size_t>(i)] += 7;
    leaf.Erase(0, fcb_->layout);
    platform::FileFaultPlan plan;
    plan.op = platform::FileFaultOp::kWrite;
    plan.kind = platform::FileFaultKind::kShort;
    platform::ArmFileFault(plan);
    EXPECT_NE(0, StoreNode(fcb_, &leaf));
    EXPECT_TRUE(platform::FileFaultFired());
    platform::DisarmFileFaults();
    ASSERT_EQ(0, CloseFileEntry(2));
    ASSERT_EQ(0, OpenFileEntry(2, "n.idx", mode));
    fcb_ = CheckFileNumber(2);
    Node after;
    ASSERT_EQ(0, FetchNode(fcb_, before.position, &after));
    EXPECT_EQ(before.keys, after.keys) << mode;
    EXPECT_EQ(before.pointers, after.pointers) << mode;
    uint8_t out[8];
    uint32_t n = 0;
    for (uint32_t p = frskey(2, out); p != 0; p = IndexNextKey(2, out)) ++n;
    EXPECT_EQ(300u, n);
    ASSERT_EQ(0, CloseFileEntry(2));
  }
}

}  // namespace
}  // namespace isam

namespace isam {
namespace {

// Entry access on cached nodes: child pointers of the inner root lead to
// leaves, a leaf's record positions come from its entries (the big-endian
// suffix in an index with duplicates), and a buffer written back and read
// again holds the same node.
TEST_F(NodeCacheTest, EntryAccessAndBufferReadWrite) {
  Start(3, 32);
  Build(0);
  NodeBuffer* root = getnode(0, fcb_->header.root, fcb_);
  ASSERT_NE(nullptr, root);
  ASSERT_FALSE(root->node.IsLeaf());
  const uint32_t child = NodeChildPointer(root, 1);
  NodeBuffer* leaf = getnode(0, child, fcb_);
  ASSERT_NE(nullptr, leaf);
  ASSERT_TRUE(leaf->node.IsLeaf());
  EXPECT_EQ(NodeRecordPosition(leaf, 1), 1u);
  EXPECT_EQ(GetBe32(NodeKeyAddress(leaf, 2)), 2u);
  EXPECT_EQ(NodeKeyAddress(leaf, 1), NodeKeyArea(leaf));

  leaf->node.pointers[0] = 4242;  // a changed entry, written through the buffer
  ASSERT_EQ(0, WriteIndexNode(leaf));
  ReleaseFileNodes(2, false);
  NodeBuffer* again = getnode(0, child, fcb_);
  ASSERT_NE(nullptr, again);
  EXPECT_EQ(NodeRecordPosition(again, 1), 4242u);
  ASSERT_EQ(0, ReadIndexNode(again, fcb_->header.root, fcb_));
  EXPECT_FALSE(again->node.IsLeaf());
  EXPECT_EQ(again, getnode(3, fcb_->header.root, fcb_)) << "one buffer per node";
  EXPECT_EQ(527, ReadIndexNode(again, 0, fcb_));
  EXPECT_EQ(kErrFileDamaged, ReadIndexNode(again, fcb_->header.root + 1, fcb_));
  EXPECT_EQ(4242u, FindKeyEqual(2, K(1).data(), nullptr));

  ASSERT_EQ(0, CreateIndexFile(3, "dup.idx", 12, 0, 1, 0, 4096, 0));
  Key v(12, 'v');
  ASSERT_EQ(0, addkey(3, v.data(), 0x01020304, 0));
  FileControlBlock* dup = CheckFileNumber(3);
  NodeBuffer* dleaf = getnode(0, dup->header.root, dup);
  ASSERT_NE(nullptr, dleaf);
  EXPECT_EQ(NodeRecordPosition(dleaf, 1), 0x01020304u);
}

}  // namespace
}  // namespace isam
