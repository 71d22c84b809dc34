// Byte-range locks with Win32 rules on both sides.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/byte_lock.h"
#include "platform/os_file.h"
#include "platform/sync.h"

namespace {

class ByteLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("bytelock_" + std::to_string(platform::CurrentThreadId()) + ".bin"))
                .string();
    std::filesystem::remove(path_);
    a_ = platform::OpenOsFile(path_.c_str(), platform::FileShare::kShared, platform::FileDisposition::kCreateNew);
    b_ = platform::OpenOsFile(path_.c_str(), platform::FileShare::kShared, platform::FileDisposition::kOpenExisting);
    ASSERT_NE(nullptr, a_);
    ASSERT_NE(nullptr, b_);
  }
  void TearDown() override {
    platform::CloseOsFile(a_);
    platform::CloseOsFile(b_);
    std::filesystem::remove(path_);
  }
  std::string path_;
  platform::OsFile* a_ = nullptr;
  platform::OsFile* b_ = nullptr;
};

TEST_F(ByteLockTest, AnyOverlapFailsEvenThroughTheSameHandle) {
  const uint32_t top = 0xFFFFFF00u;  // far beyond the end of the file
  ASSERT_TRUE(platform::LockOsFileRange(a_, top, 16));
  EXPECT_FALSE(platform::LockOsFileRange(a_, top, 16));
  EXPECT_EQ(platform::kFileLockViolation, platform::LastFileError());
  EXPECT_FALSE(platform::LockOsFileRange(a_, top + 15, 1));
  EXPECT_FALSE(platform::LockOsFileRange(b_, top + 8, 100));
  EXPECT_EQ(platform::kFileLockViolation, platform::LastFileError());
  EXPECT_FALSE(platform::LockOsFileRange(b_, top - 4, 5));
  // Neighbours do not overlap.
  EXPECT_TRUE(platform::LockOsFileRange(a_, top + 16, 1));
  EXPECT_TRUE(platform::LockOsFileRange(b_, top - 1, 1));
  EXPECT_EQ(2, platform::HeldOsFileRanges(a_));
  EXPECT_EQ(1, platform::HeldOsFileRanges(b_));
  EXPECT_FALSE(platform::LockOsFileRange(a_, 0, 0));
}

TEST_F(ByteLockTest, UnlockMustMatchALockedRangeExactly) {
  ASSERT_TRUE(platform::LockOsFileRange(a_, 100, 10));
  EXPECT_FALSE(platform::UnlockOsFileRange(a_, 100, 5));
  EXPECT_EQ(platform::kFileNotLocked, platform::LastFileError());
  EXPECT_FALSE(platform::UnlockOsFileRange(a_, 101, 10));
  EXPECT_FALSE(platform::UnlockOsFileRange(b_, 100, 10));
  EXPECT_FALSE(platform::LockOsFileRange(b_, 105, 1));
  EXPECT_TRUE(platform::UnlockOsFileRange(a_, 100, 10));
  EXPECT_FALSE(platform::UnlockOsFileRange(a_, 100, 10));
  EXPECT_TRUE(platform::LockOsFileRange(b_, 105, 1));
  EXPECT_TRUE(platform::UnlockOsFileRange(b_, 105, 1));
}

TEST_F(ByteLockTest, ClosingAHandleDropsItsLocks) {
  ASSERT_TRUE(platform::LockOsFileRange(a_, 0xFFFBFFFFu, 1));
  ASSERT_TRUE(platform::LockOsFileRange(a_, 7, 3));
  EXPECT_FALSE(platform::LockOsFileRange(b_, 0xFFFBFFFFu, 1));
  platform::CloseOsFile(a_);
  a_ = nullptr;
  EXPECT_TRUE(platform::LockOsFileRange(b_, 0xFFFBFFFFu, 1));
  EXPECT_TRUE(platform::LockOsFileRange(b_, 7, 3));
}

TEST_F(ByteLockTest, ReadOnlyHandlesLockExclusivelyToo) {
  platform::OsFile* r1 =
      platform::OpenOsFile(path_.c_str(), platform::FileShare::kReadOnly, platform::FileDisposition::kOpenExisting);
  platform::OsFile* r2 =
      platform::OpenOsFile(path_.c_str(), platform::FileShare::kReadOnly, platform::FileDisposition::kOpenExisting);
  ASSERT_NE(nullptr, r1);
  ASSERT_NE(nullptr, r2);
  EXPECT_TRUE(platform::LockOsFileRange(r1, 500, 1));
  EXPECT_FALSE(platform::LockOsFileRange(r2, 500, 1));
  EXPECT_FALSE(platform::LockOsFileRange(a_, 500, 1));
  platform::CloseOsFile(r1);
  platform::CloseOsFile(r2);
}

}  // namespace
