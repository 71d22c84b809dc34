// The engine's mutex rules, the critical section and the fatal hook.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/fatal.h"
#include "platform/sync.h"

namespace {

TEST(SyncTest, MutexBelongsToItsOwnerThread) {
  platform::ProcessMutex* m = platform::CreateProcessMutex();
  ASSERT_NE(nullptr, m);
  ASSERT_EQ(platform::kMutexOwned, platform::WaitProcessMutex(m, platform::kWaitForever));
  EXPECT_EQ(platform::kMutexOwned, platform::WaitProcessMutex(m, 0));
  platform::MutexWaitResult other_try = platform::kMutexFailed, other_wait = platform::kMutexFailed;
  bool other_release = true;
  uint32_t other_id = 0;
  std::thread([&] {
    other_try = platform::WaitProcessMutex(m, 0);
    other_wait = platform::WaitProcessMutex(m, 20);
    other_release = platform::ReleaseProcessMutex(m);
    other_id = platform::CurrentThreadId();
  }).join();
  EXPECT_EQ(platform::kMutexTimeout, other_try);
  EXPECT_EQ(platform::kMutexTimeout, other_wait);
  EXPECT_FALSE(other_release);
  EXPECT_NE(0u, other_id);
  EXPECT_NE(platform::CurrentThreadId(), other_id);
  EXPECT_TRUE(platform::ReleaseProcessMutex(m));
  EXPECT_TRUE(platform::ReleaseProcessMutex(m));
  EXPECT_FALSE(platform::ReleaseProcessMutex(m));
  platform::MutexWaitResult later = platform::kMutexFailed;
  std::thread([&] {
    later = platform::WaitProcessMutex(m, 0);
    platform::ReleaseProcessMutex(m);
  }).join();
  EXPECT_EQ(platform::kMutexOwned, later);
  EXPECT_TRUE(platform::CloseProcessMutex(m));
}

TEST(SyncTest, CriticalSectionSerialisesThreads) {
  platform::CriticalSection* cs = platform::CreateCriticalSection();
  ASSERT_NE(nullptr, cs);
  int counter = 0;
  std::thread t[4];
  for (auto& th : t) {
    th = std::thread([&] {
      for (int i = 0; i < 10000; ++i) {
        platform::EnterCriticalSection(cs);
        platform::EnterCriticalSection(cs);  // the owner may enter again
        ++counter;
        platform::LeaveCriticalSection(cs);
        platform::LeaveCriticalSection(cs);
      }
    });
  }
  for (auto& th : t) th.join();
  EXPECT_EQ(40000, counter);
  platform::DeleteCriticalSection(cs);
}

std::atomic<int> g_code{0};
void Catch(const char*, int code) { g_code = code; }

TEST(SyncTest, FatalHookReplacesBoxAndExit) {
  platform::FatalHook old = platform::SetFatalHook(Catch);
  platform::FatalExit("boom", 4242);
  EXPECT_EQ(4242, g_code);
  EXPECT_EQ(Catch, platform::SetFatalHook(old));
}

}  // namespace
