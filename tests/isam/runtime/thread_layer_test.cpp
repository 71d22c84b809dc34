// Thread blocks, table growth, the engine mutex and instances of several
// threads.
#include <gtest/gtest.h>

#include <thread>

#include "isam/engine_api.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/thread_layer.h"
#include "tests/isam/runtime/engine_test_env.h"

namespace {

class ThreadLayerTest : public enginetest::EngineTest {
 protected:
  ThreadLayerTest() { start_thread_layer_ = false; }
};

TEST_F(ThreadLayerTest, StartingTwiceKeepsTheFirstTables) {
  EXPECT_EQ(0, isam::EngineThreadLayerStart(2, 1));
  EXPECT_EQ(isam::kEngAlreadyStarted, isam::EngineThreadLayerStart(5, 0));
  // Still the fixed table of 2 + 1 slots.
  isam::EngineInstance* block = nullptr;
  EXPECT_EQ(0, isam::AllocThreadBlock(&block));
  EXPECT_EQ(1, isam::ThreadBlocksInUse());
}

TEST_F(ThreadLayerTest, WithoutTheLayerNoBlockCanBeHad) {
  isam::EngineInstance* block = nullptr;
  EXPECT_EQ(isam::kEngNoThreadMemory, isam::AllocThreadBlock(&block));
  EXPECT_EQ(nullptr, isam::ThreadBlock());
  EXPECT_EQ(isam::kEngNoUserValue, isam::SetThreadUserValue(7));
  EXPECT_EQ(isam::kEngNoThreadMemory, StartEngine());
}

// Runs fn on n threads that all hold their block until every one has run.
template <typename Fn>
std::vector<int> OnThreads(int n, Fn fn) {
  std::vector<int> results(n);
  std::vector<std::thread> threads;
  for (int i = 0; i < n; ++i) {
    // One after another: the thread layer is the engine's, called under its rules.
    threads.emplace_back([&, i] {
      results[i] = fn(i);
    });
    threads.back().join();
  }
  return results;
}

TEST_F(ThreadLayerTest, ATableGrowsBySlotsWhenNotFixed) {
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  std::vector<isam::EngineInstance*> blocks(3);
  auto results = OnThreads(3, [&](int i) { return isam::AllocThreadBlock(&blocks[i]); });
  EXPECT_EQ((std::vector<int>{0, 0, 0}), results);
  EXPECT_EQ(3, isam::ThreadBlocksInUse());
  EXPECT_NE(blocks[0], blocks[2]);
}

TEST_F(ThreadLayerTest, AFixedTableThatIsFullRefuses600) {
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 1));  // 3 slots, fixed
  std::vector<isam::EngineInstance*> blocks(4);
  auto results = OnThreads(4, [&](int i) { return isam::AllocThreadBlock(&blocks[i]); });
  EXPECT_EQ((std::vector<int>{0, 0, 0, isam::kEngThreadTableFull}), results);
}

TEST_F(ThreadLayerTest, ThirdThreadStartsAnEngineAfterTheTablesGrow) {
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  std::vector<isam::EngineInstance*> mine(3);
  auto results = OnThreads(3, [&](int i) {
    int rc = StartEngine();
    mine[i] = isam::EngineFindInstance(nullptr);
    // Every thread sees its own instance.
    if (rc == 0 && (mine[i] == nullptr || mine[i]->thread_id != platform::CurrentThreadId())) rc = -1;
    return rc;
  });
  EXPECT_EQ((std::vector<int>{0, 0, 0}), results);
  EXPECT_EQ(3, isam::ThreadBlocksInUse());
  // The threads are gone; their instances are stopped here, and the layer's
  // shutdown frees the blocks.
  for (isam::EngineInstance* inst : mine) {
    if (inst == nullptr) continue;
    isam::SetCurrentInstance(inst);
    isam::EngineStopInstance();
  }
  isam::SetCurrentInstance(nullptr);
}

TEST_F(ThreadLayerTest, UserValueSurvivesRegistration) {
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  isam::EngineInstance* block = nullptr;
  ASSERT_EQ(0, isam::AllocThreadBlock(&block));
  EXPECT_EQ(0, isam::SetThreadUserValue(0xC0FFEE));
  ASSERT_EQ(0, StartEngine());
  EXPECT_EQ(0xC0FFEEu, isam::ThreadUserValue());
  EXPECT_EQ(block, isam::EngineFindInstance(nullptr));
}

TEST_F(ThreadLayerTest, EngineMutexBelongsToItsThread) {
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  isam::EngineMutex mutex;
  ASSERT_EQ(0, isam::MutexLock(&mutex, true));
  EXPECT_EQ(0, isam::MutexLock(&mutex, false));  // the owner passes again
  int other_try = -1;
  int other_release = -1;
  std::thread([&] {
    other_try = isam::MutexLock(&mutex, false);
    other_release = isam::MutexUnlock(&mutex);
  }).join();
  EXPECT_EQ(isam::kEngMutexTimeout, other_try);
  EXPECT_EQ(isam::kEngMutexRelease, other_release);
  EXPECT_EQ(0, isam::MutexUnlock(&mutex));
  EXPECT_EQ(0, isam::MutexUnlock(&mutex));
  int later = -1;
  std::thread([&] {
    later = isam::MutexLock(&mutex, false);
    isam::MutexUnlock(&mutex);
  }).join();
  EXPECT_EQ(0, later);
  EXPECT_EQ(0, isam::MutexClose(&mutex));
}

}  // namespace
