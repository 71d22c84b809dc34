// The small services beside the sockets: address parsing without a
// look-up, the per-thread last error, the tick and random bytes. The
// sockets themselves are exercised by the mail client's tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/last_error.h"
#include "platform/random_bytes.h"
#include "platform/socket.h"
#include "platform/tick.h"

namespace {

TEST(Socket, DottedAddressesNeedNoLookUp) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"127.0.0.1", 0x7F000001u}, {"10.1.2.3", 0x0A010203u}, {"0.0.0.0", 0u}};
  for (const auto& c : cases) {
    uint32_t a = 1;
    EXPECT_EQ(platform::ResolveIPv4(c.first, &a), 0) << c.first;
    EXPECT_EQ(a, c.second) << c.first;
  }
  uint32_t a = 0;
  EXPECT_EQ(platform::ResolveIPv4("", &a), platform::kSocketInvalid);
}

TEST(LastError, BelongsToItsThread) {
  // Only atomics between a set and its read: any system call (a thread
  // start, a wait) may change the value on Windows.
  std::atomic<int> step{0};
  uint32_t other = 0, mine = 0;
  std::thread t([&] {
    platform::SetLastErrorCode(13);
    step = 1;
    while (step.load() != 2) {
    }
    other = platform::LastErrorCode();
  });
  while (step.load() != 1) {
  }
  platform::SetLastErrorCode(10060);
  mine = platform::LastErrorCode();
  step = 2;
  t.join();
  EXPECT_EQ(other, 13u);
  EXPECT_EQ(mine, 10060u);
}

TEST(TickAndRandom, Basics) {
  uint64_t a = platform::TickMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(platform::TickMs() - a, 15u);
  unsigned char x[32] = {}, y[32] = {};
  ASSERT_TRUE(platform::RandomBytes(x, sizeof x));
  ASSERT_TRUE(platform::RandomBytes(y, sizeof y));
  EXPECT_NE(std::memcmp(x, y, sizeof x), 0);
}

}  // namespace
