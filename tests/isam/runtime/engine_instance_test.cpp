// The instance ring: registration, selection, parking and removal, and the
// per-instance option word.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "isam/engine_api.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/thread_layer.h"
#include "tests/isam/runtime/engine_test_env.h"

namespace {

class InstanceTest : public enginetest::EngineTest {};

TEST_F(InstanceTest, SelectionParksTheCurrentInstanceForAThreadWithout) {
  EXPECT_EQ(isam::kEngNoInstances, isam::EngineSelectInstance(nullptr));
  ASSERT_EQ(0, StartEngine());
  isam::EngineInstance* mine = isam::CurrentInstance();
  int other_select = -1;
  isam::EngineInstance* other_sees = mine;
  std::thread([&] {
    other_select = isam::EngineSelectInstance(nullptr);
    other_sees = isam::CurrentInstance();
  }).join();
  EXPECT_EQ(isam::kEngUnknownInstance, other_select);
  EXPECT_EQ(nullptr, other_sees);
  // The ring is still there and the owner gets its instance back.
  EXPECT_EQ(0, isam::EngineSelectInstance(nullptr));
  EXPECT_EQ(mine, isam::CurrentInstance());
}

TEST_F(InstanceTest, RemovingTheCurrentInstanceMakesItsPredecessorCurrent) {
  isam::EngineInstance* other = nullptr;
  std::thread([&] {
    ASSERT_EQ(0, StartEngine());
    other = isam::CurrentInstance();
  }).join();
  ASSERT_NE(nullptr, other);
  ASSERT_EQ(0, StartEngine());
  isam::EngineInstance* mine = isam::CurrentInstance();
  EXPECT_EQ(other, mine->next);
  EXPECT_EQ(mine, other->next);
  EXPECT_EQ(0, isam::EngineStop());  // stops and unregisters this thread's
  EXPECT_EQ(other, isam::CurrentInstance());
  EXPECT_EQ(other, other->next);
  EXPECT_EQ(isam::kEngUnknownInstance, isam::EngineUnregisterInstance(0));
  // The other thread is gone: stop its instance by hand, then forget it.
  isam::EngineStopInstance();
  isam::EngineForgetAllInstances();
}

std::atomic<int> g_inside{0};
std::atomic<int> g_overlaps{0};
std::atomic<int> g_wrong_instance{0};

int CountInside(isam::EngineCall* call) {
  if (g_inside.fetch_add(1) != 0) g_overlaps += 1;
  // The gate made the caller's own instance current.
  isam::EngineInstance* inst = isam::CurrentInstance();
  if (inst == nullptr || inst->thread_id != platform::CurrentThreadId()) g_wrong_instance += 1;
  platform::SleepMilliseconds(call->file % 2);
  g_inside -= 1;
  return 0;
}

TEST_F(InstanceTest, TheGateLetsOneCallAtATimeAndSelectsTheCallersInstance) {
  ASSERT_EQ(0, isam::InstallEngineFunction(isam::kFnSetLockMode, CountInside));
  std::atomic<int> failures{0};
  std::vector<isam::EngineInstance*> instances(2);
  std::vector<std::thread> threads;
  std::atomic<int> ready{0};
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      if (StartEngine() != 0) failures += 1;
      instances[t] = isam::EngineFindInstance(nullptr);
      ready += 1;
      while (ready < 2) platform::SleepMilliseconds(1);
      for (int i = 0; i < 200; ++i) {
        if (isam::EngineSetLockMode(static_cast<int16_t>(i)) != 0) failures += 1;
      }
      while (ready < 4) {
        if (ready == 2 + t) {
          // Stop one after the other, each on its own thread.
          if (isam::EngineStop() != 0) failures += 1;
          ready += 1;
        }
        platform::SleepMilliseconds(1);
      }
    });
  }
  for (auto& th : threads) th.join();
  isam::InstallEngineFunction(isam::kFnSetLockMode, nullptr);
  EXPECT_EQ(0, failures);
  EXPECT_EQ(0, g_overlaps);
  EXPECT_EQ(0, g_wrong_instance);
  EXPECT_NE(instances[0], instances[1]);
  EXPECT_EQ(nullptr, isam::CurrentInstance());
  EXPECT_EQ(0, isam::ThreadBlocksInUse());
}

TEST_F(InstanceTest, OptionWordFollowsItsBitRules) {
  ASSERT_EQ(0, StartEngine());
  EXPECT_EQ(0x100, isam::EngineOptionWord(0x100, 2));
  EXPECT_EQ(0x4100, isam::EngineOptionWord(0x4000, 2));
  // Action 1 keeps only bits 0x106010 of the old word.
  EXPECT_EQ(0x4001, isam::EngineOptionWord(0x1, 1));
  EXPECT_EQ(0x4000, isam::EngineOptionWord(0x1, 0));
  EXPECT_EQ(0x4000, isam::EngineOptionWord(0x1, 3));
  // Refused bits and actions.
  EXPECT_EQ(-isam::kEngBadArgument, isam::EngineOptionWord(0x10, 2));
  EXPECT_EQ(-isam::kEngBadArgument, isam::EngineOptionWord(0x1, 5));
  EXPECT_EQ(-isam::kEngBadArgument, isam::EngineOptionWord(0x4 | 0x1, 2));
  EXPECT_EQ(0x4004, isam::EngineOptionWord(0x4, 1));  // 1 counts as 2 here
  // Bit 0x8 stores the action value; action 4 reads it back.
  EXPECT_EQ(0x400C, isam::EngineOptionWord(0x8, 3));
  EXPECT_EQ(3, isam::EngineOptionWord(0, 4));
  EXPECT_EQ(0x4004, isam::EngineOptionWord(0x8, 0));
  EXPECT_EQ(0x4u, isam::TakeOptionBits24());
  EXPECT_EQ(0u, isam::TakeOptionBits24());
}

}  // namespace
