// OS files: share modes, create-new, positions at 2 GB and beyond, rename
// without replacing, replace-by-rename.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/os_file.h"
#include "platform/os_file_faults.h"
#include "platform/sync.h"
#include "platform/write_combining.h"

namespace {

class OsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int n = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("osfile_" + std::to_string(platform::CurrentThreadId()) + "_" + std::to_string(++n));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

using platform::FileDisposition;
using platform::FileShare;

TEST_F(OsFileTest, CreateNewRefusesAnExistingFileAndOpenAMissingOne) {
  const std::string p = Path("a.bin");
  EXPECT_EQ(nullptr, platform::OpenOsFile(p.c_str(), FileShare::kShared, FileDisposition::kOpenExisting));
  EXPECT_EQ(platform::kFileNotFound, platform::LastFileError());
  platform::OsFile* f = platform::OpenOsFile(p.c_str(), FileShare::kShared, FileDisposition::kCreateNew);
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(nullptr, platform::OpenOsFile(p.c_str(), FileShare::kShared, FileDisposition::kCreateNew));
  EXPECT_EQ(platform::kFileExists, platform::LastFileError());
  EXPECT_NE(0, platform::LastNativeFileError());
  EXPECT_TRUE(platform::CloseOsFile(f));
}

TEST_F(OsFileTest, ShareModesExcludeAsOnWin32) {
  const std::string p = Path("s.bin");
  platform::OsFile* a = platform::OpenOsFile(p.c_str(), FileShare::kShared, FileDisposition::kCreateNew);
  ASSERT_NE(nullptr, a);
  platform::OsFile* b = platform::OpenOsFile(p.c_str(), FileShare::kReadOnly, FileDisposition::kOpenExisting);
  ASSERT_NE(nullptr, b);
  EXPECT_EQ(nullptr, platform::OpenOsFile(p.c_str(), FileShare::kExclusive, FileDisposition::kOpenExisting));
  EXPECT_EQ(platform::kFileSharingViolation, platform::LastFileError());
  platform::CloseOsFile(a);
  platform::CloseOsFile(b);
  platform::OsFile* x = platform::OpenOsFile(p.c_str(), FileShare::kExclusive, FileDisposition::kOpenExisting);
  ASSERT_NE(nullptr, x);
  for (FileShare s : {FileShare::kShared, FileShare::kReadOnly, FileShare::kExclusive}) {
    EXPECT_EQ(nullptr, platform::OpenOsFile(p.c_str(), s, FileDisposition::kOpenExisting));
    EXPECT_EQ(platform::kFileSharingViolation, platform::LastFileError());
  }
  platform::CloseOsFile(x);
}

TEST_F(OsFileTest, PositionsAtAndBeyondTwoGigabytes) {
  const std::string p = Path("big.bin");
  platform::OsFile* f = platform::OpenOsFile(p.c_str(), FileShare::kShared, FileDisposition::kCreateNew);
  ASSERT_NE(nullptr, f);
  const uint32_t far = 0x80000010u;
  ASSERT_TRUE(platform::SeekOsFile(f, far));
  uint32_t done = 0;
  ASSERT_TRUE(platform::WriteOsFile(f, "xyz", 3, &done));
  EXPECT_EQ(3u, done);
  uint64_t size = 0;
  ASSERT_TRUE(platform::OsFileSize(f, &size));
  EXPECT_EQ(static_cast<uint64_t>(far) + 3, size);
  char got[4] = {};
  ASSERT_TRUE(platform::SeekOsFile(f, far + 1));
  ASSERT_TRUE(platform::ReadOsFile(f, got, 3, &done));
  EXPECT_EQ(2u, done);  // end of file is a short read, not a failure
  EXPECT_STREQ("yz", got);
  // A seek to the top of the 32-bit range is fine too.
  EXPECT_TRUE(platform::SeekOsFile(f, 0xFFFFFFF0u));
  ASSERT_TRUE(platform::ReadOsFile(f, got, 1, &done));
  EXPECT_EQ(0u, done);
  EXPECT_TRUE(platform::FlushOsFile(f));
  platform::CloseOsFile(f);
  EXPECT_TRUE(platform::DeleteOsFile(p.c_str()));
}

TEST_F(OsFileTest, ReadOnlyHandlesRefuseWrites) {
  const std::string p = Path("r.bin");
  platform::CloseOsFile(platform::OpenOsFile(p.c_str(), FileShare::kShared, FileDisposition::kCreateNew));
  platform::OsFile* f = platform::OpenOsFile(p.c_str(), FileShare::kReadOnly, FileDisposition::kOpenExisting);
  ASSERT_NE(nullptr, f);
  uint32_t done = 9;
  EXPECT_FALSE(platform::WriteOsFile(f, "x", 1, &done));
  EXPECT_EQ(0u, done);
  platform::CloseOsFile(f);
}

TEST_F(OsFileTest, RenameNeverReplacesAndDeleteReportsMissingFiles) {
  const std::string a = Path("a"), b = Path("b"), c = Path("c");
  platform::CloseOsFile(platform::OpenOsFile(a.c_str(), FileShare::kShared, FileDisposition::kCreateNew));
  platform::CloseOsFile(platform::OpenOsFile(b.c_str(), FileShare::kShared, FileDisposition::kCreateNew));
  EXPECT_FALSE(platform::RenameOsFile(a.c_str(), b.c_str()));
  EXPECT_EQ(platform::kFileExists, platform::LastFileError());
  EXPECT_TRUE(platform::OsFileExists(a.c_str()));
  EXPECT_TRUE(platform::RenameOsFile(a.c_str(), c.c_str()));
  EXPECT_FALSE(platform::OsFileExists(a.c_str()));
  EXPECT_TRUE(platform::OsFileExists(c.c_str()));
  EXPECT_FALSE(platform::RenameOsFile(a.c_str(), Path("d").c_str()));
  EXPECT_EQ(platform::kFileNotFound, platform::LastFileError());
  EXPECT_TRUE(platform::DeleteOsFile(c.c_str()));
  EXPECT_FALSE(platform::DeleteOsFile(c.c_str()));
  EXPECT_EQ(platform::kFileNotFound, platform::LastFileError());
}

TEST_F(OsFileTest, AnOpenFileIsNeitherDeletedNorRenamed) {
  // Another opener would go on writing into a file nobody can find again.
  const std::string a = Path("open"), b = Path("moved");
  for (FileShare share : {FileShare::kShared, FileShare::kReadOnly, FileShare::kExclusive}) {
    platform::CloseOsFile(platform::OpenOsFile(a.c_str(), FileShare::kShared, FileDisposition::kCreateNew));
    platform::OsFile* f = platform::OpenOsFile(a.c_str(), share, FileDisposition::kOpenExisting);
    ASSERT_NE(nullptr, f);
    EXPECT_FALSE(platform::DeleteOsFile(a.c_str()));
    EXPECT_EQ(platform::kFileSharingViolation, platform::LastFileError());
    EXPECT_FALSE(platform::RenameOsFile(a.c_str(), b.c_str()));
    EXPECT_EQ(platform::kFileSharingViolation, platform::LastFileError());
    EXPECT_TRUE(platform::OsFileExists(a.c_str()));
    EXPECT_FALSE(platform::OsFileExists(b.c_str()));
    platform::CloseOsFile(f);
    EXPECT_TRUE(platform::DeleteOsFile(a.c_str()));
  }
}

TEST_F(OsFileTest, ReplaceSwapsInTheWholeFileOrNothing) {
  const std::string from = Path("new"), to = Path("old");
  auto write = [](const std::string& path, const char* text) {
    platform::DeleteOsFile(path.c_str());
    platform::OsFile* f = platform::OpenOsFile(path.c_str(), FileShare::kShared, FileDisposition::kCreateNew);
    uint32_t done = 0;
    platform::WriteOsFile(f, text, static_cast<uint32_t>(std::strlen(text)), &done);
    platform::CloseOsFile(f);
  };
  auto size = [](const std::string& path) {
    platform::OsFile* f = platform::OpenOsFile(path.c_str(), FileShare::kReadOnly, FileDisposition::kOpenExisting);
    uint64_t n = 0;
    platform::OsFileSize(f, &n);
    platform::CloseOsFile(f);
    return n;
  };
  write(from, "twelve bytes");
  write(to, "four");
  // An open target, and a planned fault: both files stay as they were.
  platform::OsFile* held = platform::OpenOsFile(to.c_str(), FileShare::kShared, FileDisposition::kOpenExisting);
  EXPECT_FALSE(platform::ReplaceOsFile(from.c_str(), to.c_str()));
  platform::CloseOsFile(held);
  platform::FileFaultPlan plan;
  plan.op = platform::FileFaultOp::kReplace;
  platform::ArmFileFault(plan);
  EXPECT_FALSE(platform::ReplaceOsFile(from.c_str(), to.c_str()));
  EXPECT_EQ(platform::kFileAccessDenied, platform::LastFileError());
  EXPECT_EQ(12u, size(from));
  EXPECT_EQ(4u, size(to));
  EXPECT_TRUE(platform::ReplaceOsFile(from.c_str(), to.c_str()));
  EXPECT_FALSE(platform::OsFileExists(from.c_str()));
  EXPECT_EQ(12u, size(to));
  EXPECT_FALSE(platform::ReplaceOsFile(from.c_str(), to.c_str()));
  EXPECT_EQ(platform::kFileNotFound, platform::LastFileError());
  platform::DeleteOsFile(to.c_str());
}

// Writes gathered in memory over an existing file leave it byte for byte as
// the same writes made straight to the file: inside the file, across its
// end, past it (the gap reads zero) and far enough past it that the image
// has to move. Reads before the write-out see the gathered bytes. Ordered
// gathering (2) has them on the disk once the handle is flushed.
TEST_F(OsFileTest, GatheredWritesLeaveTheFileAsDirectOnes) {
  struct Write {
    uint32_t at, length;
    uint8_t byte;
  };
  const std::vector<std::vector<Write>> cases = {
      {{10, 100, 1}, {9000, 5000, 2}},
      {{12000, 8000, 3}, {30000, 10, 4}},
      {{5000, 10, 5}, {3u << 20, 4096, 6}, {4000, 200, 7}},
  };
  const std::vector<uint8_t> old(16384, 0xEE);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    std::vector<uint8_t> want[3];
    for (int gather = 0; gather < 3; ++gather) {
      const std::string p = Path(gather ? "gathered.bin" : "direct.bin");
      platform::DeleteOsFile(p.c_str());
      platform::OsFile* f = platform::OpenOsFile(p.c_str(), FileShare::kExclusive, FileDisposition::kCreateNew);
      ASSERT_NE(nullptr, f);
      uint32_t done = 0;
      ASSERT_TRUE(platform::WriteOsFile(f, old.data(), static_cast<uint32_t>(old.size()), &done));
      ASSERT_TRUE(platform::CloseOsFile(f));
      std::unique_ptr<platform::WriteCombiningScope> scope;
      if (gather) scope = std::make_unique<platform::WriteCombiningScope>(p, gather == 2);
      // Shared for the ordered case: Windows keeps a second reader off an
      // exclusive handle, and the flushed bytes are read beside it.
      f = platform::OpenOsFile(p.c_str(), gather == 2 ? FileShare::kShared : FileShare::kExclusive,
                               FileDisposition::kOpenExisting);
      ASSERT_NE(nullptr, f);
      for (const Write& w : cases[i]) {
        const std::vector<uint8_t> bytes(w.length, w.byte);
        ASSERT_TRUE(platform::SeekOsFile(f, w.at));
        ASSERT_TRUE(platform::WriteOsFile(f, bytes.data(), w.length, &done));
      }
      uint64_t size = 0;
      ASSERT_TRUE(platform::OsFileSize(f, &size));
      want[gather].resize(static_cast<size_t>(size));
      ASSERT_TRUE(platform::SeekOsFile(f, 0));
      ASSERT_TRUE(platform::ReadOsFile(f, want[gather].data(), static_cast<uint32_t>(size), &done));
      EXPECT_EQ(size, done);
      if (gather == 2) {
        ASSERT_TRUE(platform::FlushOsFile(f));
        std::ifstream flushed(p, std::ios::binary);
        EXPECT_TRUE(std::vector<uint8_t>((std::istreambuf_iterator<char>(flushed)), {}) == want[2]);
      }
      if (scope) {
        EXPECT_TRUE(scope->Finish());
      }
      ASSERT_TRUE(platform::CloseOsFile(f));
      std::ifstream in(p, std::ios::binary);
      const std::vector<uint8_t> onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_TRUE(onDisk == want[gather]);
    }
    EXPECT_TRUE(want[0] == want[1] && want[0] == want[2]);
  }
}

}  // namespace
