// The pool lists and the engine allocator, including the fatal answers to
// blocks that were freed before or never came from the allocator.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"
#include "tests/isam/runtime/engine_test_env.h"

namespace {

class PoolTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(0, StartEngine());
    inst_ = isam::CurrentInstance();
    ASSERT_NE(nullptr, inst_);
  }
  isam::EngineInstance* inst_ = nullptr;
};

TEST_F(PoolTest, EverySizeClassAllocatesZeroedFreesAndReuses) {
  const int32_t sizes[] = {1, 16, 17, 32, 33, 64, 100, 128, 200, 256, 300, 512, 1000, 1024, 1500, 2048};
  for (int32_t size : sizes) {
    SCOPED_TRACE(size);
    int list = isam::PoolClassForSize(size);
    ASSERT_GE(list, 2);
    ASSERT_LE(list, 9);
    EXPECT_GE(16 << (list - 2), size);
    if (list > 2) {
      EXPECT_LT(8 << (list - 2), size);
    }
    auto* a = static_cast<uint8_t*>(isam::EngineAlloc(size));
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(a) % 16);
    for (int32_t i = 0; i < size; ++i) ASSERT_EQ(0, a[i]);
    EXPECT_EQ(size, isam::EngineBlockSize(a));
    EXPECT_EQ(1, inst_->pools[list].chunk_count);
    // Use up the chunk's never-used elements; then a freed one comes back,
    // zero-filled again.
    std::vector<void*> rest;
    while (inst_->pools[list].free_elements > 0) rest.push_back(isam::EngineAlloc(size));
    std::memset(a, 0xAB, size);
    isam::EngineFree(a);
    auto* b = static_cast<uint8_t*>(isam::EngineAlloc(size));
    EXPECT_EQ(a, b);
    for (int32_t i = 0; i < size; ++i) ASSERT_EQ(0, b[i]);
    EXPECT_EQ(1, inst_->pools[list].chunk_count);
    isam::EngineFree(b);
    for (void* r : rest) isam::EngineFree(r);
  }
  EXPECT_EQ(0, enginetest::FatalCount());
}

TEST_F(PoolTest, ZeroAllocatesNothingAndLargeBlocksUseTheHeap) {
  EXPECT_EQ(nullptr, isam::EngineAlloc(0));
  EXPECT_EQ(-1, isam::PoolClassForSize(2049));
  int32_t chunks_before = 0;
  for (const auto& l : inst_->pools) chunks_before += l.chunk_count;
  void* big = isam::EngineAlloc(2049);
  ASSERT_NE(nullptr, big);
  int32_t chunks_after = 0;
  for (const auto& l : inst_->pools) chunks_after += l.chunk_count;
  EXPECT_EQ(chunks_before, chunks_after);
  isam::EngineFree(big);
  isam::EngineFree(nullptr);
  EXPECT_EQ(0, enginetest::FatalCount());
}

TEST_F(PoolTest, ManyElementsSpreadOverChunksAndEmptyChunksGoBack) {
  const int list = isam::PoolClassForSize(64);
  const int per = inst_->pools[list].per_chunk;
  ASSERT_GE(per, 4);
  std::vector<void*> blocks;
  std::set<void*> distinct;
  for (int i = 0; i < per * 3; ++i) {
    blocks.push_back(isam::EngineAlloc(64));
    ASSERT_NE(nullptr, blocks.back());
    distinct.insert(blocks.back());
  }
  EXPECT_EQ(blocks.size(), distinct.size());
  EXPECT_EQ(3, inst_->pools[list].chunk_count);
  EXPECT_EQ(0, inst_->pools[list].free_elements);
  for (void* b : blocks) isam::EngineFree(b);
  // Chunks go back while another keeps room; the last one stays.
  EXPECT_EQ(1, inst_->pools[list].chunk_count);
  EXPECT_EQ(per, inst_->pools[list].free_elements);
  EXPECT_EQ(0, enginetest::FatalCount());
}

TEST_F(PoolTest, RecordListsHandOutZeroedElements) {
  for (int list : {0, 1, 10, 11, 12, 15, 16, 17, 18, 19, 20, 21}) {
    SCOPED_TRACE(list);
    auto* e = static_cast<uint8_t*>(isam::PoolListAlloc(list));
    ASSERT_NE(nullptr, e);
    for (int32_t i = 0; i < inst_->pools[list].element_size; ++i) ASSERT_EQ(0, e[i]);
    std::vector<void*> rest;
    while (inst_->pools[list].free_elements > 0) rest.push_back(isam::PoolListAlloc(list));
    std::memset(e, 1, inst_->pools[list].element_size);
    isam::PoolListFree(e, list);
    EXPECT_EQ(e, isam::PoolListAlloc(list));
    EXPECT_EQ(0, e[0]);
    isam::PoolListFree(e, list);
    for (void* r : rest) isam::PoolListFree(r, list);
  }
  // Node images follow the node size, and their chunks stay within 64000 bytes.
  EXPECT_EQ(6 * 128 + 260, inst_->pools[20].element_size);
  EXPECT_EQ(3, inst_->pools[20].per_chunk);
  EXPECT_EQ(0, enginetest::FatalCount());
}

TEST_F(PoolTest, FreeingABlockTwiceIsFatal7497) {
  void* a = isam::EngineAlloc(40);
  void* keep = isam::EngineAlloc(40);  // the chunk stays alive
  isam::EngineFree(a);
  EXPECT_EQ(0, enginetest::FatalCount());
  isam::EngineFree(a);
  EXPECT_EQ(1, enginetest::FatalCount());
  EXPECT_EQ(isam::kFatalFreeZeroPrefix, enginetest::LastFatalCode());
  EXPECT_NE(std::string::npos, enginetest::LastFatalMessage().find("Unexpected internal engine error #7497"));
  EXPECT_NE(std::string::npos, StatusLog().find("\tUnexpected internal engine error #7497 (eng_err=0)\n"));
  // The pool is still sound: the freed element is handed out once.
  void* b = isam::EngineAlloc(40);
  void* c = isam::EngineAlloc(40);
  EXPECT_NE(b, c);
  isam::EngineFree(b);
  isam::EngineFree(c);
  isam::EngineFree(keep);
}

TEST_F(PoolTest, ForeignBlocksAreFatal) {
  // Memory the allocator never handed out is not even read.
  alignas(16) uint8_t fake[64] = {};
  int32_t size = 20;
  std::memcpy(fake + 16, &size, 4);
  isam::EngineFree(fake + 32);
  EXPECT_EQ(isam::kFatalForeignElement, enginetest::LastFatalCode());
  // A block of ours whose size prefix was overwritten.
  void* keep = isam::EngineAlloc(40);
  auto* block = static_cast<uint8_t*>(isam::EngineAlloc(40));
  int32_t saved;
  std::memcpy(&saved, block - 16, 4);
  int32_t huge = 0x2000000;
  std::memcpy(block - 16, &huge, 4);
  isam::EngineFree(block);
  EXPECT_EQ(isam::kFatalFreePrefix, enginetest::LastFatalCode());
  std::memcpy(block - 16, &saved, 4);
  // Inside a chunk of ours but not at the start of an element.
  isam::EngineFree(block + 16);
  EXPECT_EQ(isam::kFatalForeignElement, enginetest::LastFatalCode());
  EXPECT_EQ(3, enginetest::FatalCount());
  isam::EngineFree(block);
  isam::EngineFree(keep);
  EXPECT_EQ(3, enginetest::FatalCount());
  // Allocation sizes out of range.
  EXPECT_EQ(nullptr, isam::EngineAlloc(-1));
  EXPECT_EQ(isam::kFatalAllocSize, enginetest::LastFatalCode());
  EXPECT_EQ(nullptr, isam::EngineAlloc(0x1000001));
  EXPECT_EQ(isam::kFatalAllocSize, enginetest::LastFatalCode());
}

TEST_F(PoolTest, BlocksFreedTwiceAfterTheirMemoryWentBackAreFatalNotReadAgain) {
  // A heap block's memory is gone after its first free.
  void* big = isam::EngineAlloc(5000);
  isam::EngineFree(big);
  EXPECT_EQ(0, enginetest::FatalCount());
  isam::EngineFree(big);
  EXPECT_EQ(isam::kFatalForeignElement, enginetest::LastFatalCode());
  // A pool block whose chunk went back to the heap once it was wholly free.
  const int list = isam::PoolClassForSize(64);
  const int per = inst_->pools[list].per_chunk;
  std::vector<void*> blocks;
  for (int i = 0; i < per * 2; ++i) blocks.push_back(isam::EngineAlloc(64));
  ASSERT_EQ(2, inst_->pools[list].chunk_count);
  for (void* b : blocks) isam::EngineFree(b);
  ASSERT_EQ(1, inst_->pools[list].chunk_count);
  // One of these lies in the chunk that stayed (its prefix says freed),
  // the other in the one that went back (not ours any more).
  isam::EngineFree(blocks[0]);
  isam::EngineFree(blocks[per]);
  EXPECT_EQ(3, enginetest::FatalCount());
  EXPECT_TRUE(enginetest::LastFatalCode() == isam::kFatalForeignElement ||
              enginetest::LastFatalCode() == isam::kFatalFreeZeroPrefix);
  // The pool still works.
  void* again = isam::EngineAlloc(64);
  ASSERT_NE(nullptr, again);
  isam::EngineFree(again);
  EXPECT_EQ(3, enginetest::FatalCount());
}

TEST_F(PoolTest, PoolElementFreedTwiceOrToTheWrongListIsFatal) {
  void* keep = isam::PoolListAlloc(11);
  void* e = isam::PoolListAlloc(11);
  isam::PoolListFree(e, 11);
  isam::PoolListFree(e, 11);
  EXPECT_EQ(isam::kFatalElementFreedTwice, enginetest::LastFatalCode());
  void* f = isam::PoolListAlloc(12);
  isam::PoolListFree(f, 11);
  EXPECT_EQ(isam::kFatalForeignElement, enginetest::LastFatalCode());
  isam::PoolListFree(f, 12);
  isam::PoolListFree(keep, 11);
  EXPECT_EQ(2, enginetest::FatalCount());
}

TEST_F(PoolTest, WithoutInstanceBlocksComeFromTheHeapAndFreeSafely) {
  isam::EngineInstance* saved = isam::CurrentInstance();
  isam::SetCurrentInstance(nullptr);
  void* a = isam::EngineAlloc(100);
  ASSERT_NE(nullptr, a);
  isam::SetCurrentInstance(saved);
  isam::EngineFree(a);
  EXPECT_EQ(0, enginetest::FatalCount());
}

}  // namespace
