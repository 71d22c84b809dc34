// The engine's OS file layer: open and create answers, positioned I/O,
// and the handle budget with its virtually closed files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/runtime/thread_layer.h"
#include "platform/byte_lock.h"
#include "platform/os_file.h"
#include "platform/os_file_faults.h"
#include "tests/isam/runtime/engine_test_env.h"
#include "tests/support/child_process.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

class OsFileLayerTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(0, StartEngine());
    inst_ = isam::CurrentInstance();
  }
  void TearDown() override {
    for (auto& f : files_) isam::OsCloseFile(f.get());
    EngineTest::TearDown();
  }
  isam::EngineOsFile* NewFile() {
    files_.push_back(std::make_unique<isam::EngineOsFile>());
    return files_.back().get();
  }
  int OpenHandles() const {
    int n = 0;
    for (const auto& f : files_) n += f->handle != nullptr;
    return n;
  }
  isam::EngineInstance* inst_ = nullptr;
  std::vector<std::unique_ptr<isam::EngineOsFile>> files_;
};

TEST_F(OsFileLayerTest, CreateAndOpenAnswerWithEngineCodes) {
  const std::string name = PathIn("a.dat");
  isam::EngineOsFile* f = NewFile();
  EXPECT_EQ(isam::kEngOpenFailed, isam::OsOpenFile(f, name.c_str(), isam::kModeShared));
  EXPECT_EQ(platform::kFileNotFound, inst_->os_error);
  EXPECT_EQ(0, isam::OsCreateFile(f, name.c_str(), isam::kModeShared));
  isam::EngineOsFile* g = NewFile();
  // The name exists, whichever of the platform's codes says so.
  EXPECT_EQ(isam::kEngFileExists, isam::OsCreateFile(g, name.c_str(), isam::kModeShared));
  EXPECT_EQ(platform::kFileExists, inst_->os_error);
  // Shared opens may meet, an exclusive open meets nobody.
  EXPECT_EQ(0, isam::OsOpenFile(g, name.c_str(), isam::kModeShared));
  isam::EngineOsFile* h = NewFile();
  EXPECT_EQ(isam::kEngOpenFailed, isam::OsOpenFile(h, name.c_str(), 0));
  EXPECT_EQ(platform::kFileSharingViolation, inst_->os_error);
  isam::OsCloseFile(f);
  isam::OsCloseFile(g);
  EXPECT_EQ(0, isam::OsOpenFile(h, name.c_str(), 0));
  EXPECT_EQ(isam::kEngOpenFailed, isam::OsOpenFile(f, name.c_str(), isam::kModeReadOnly));
  isam::OsCloseFile(h);
  EXPECT_EQ(0, isam::OsOpenFile(f, name.c_str(), isam::kModeReadOnly));
  isam::OsCloseFile(f);
}

TEST_F(OsFileLayerTest, PositionedIoReadsBackAndReportsShortReads) {
  isam::EngineOsFile* f = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(f, PathIn("io.dat").c_str(), isam::kModeShared));
  int32_t count = 0;
  EXPECT_EQ(0, isam::FilePositionedIo(1, f, 100, const_cast<char*>("hello"), 5, &count));
  EXPECT_EQ(5, count);
  char got[8] = {};
  EXPECT_EQ(0, isam::FilePositionedIo(0, f, 100, got, 5, &count));
  EXPECT_STREQ("hello", got);
  EXPECT_EQ(isam::kEngReadFailed, isam::FilePositionedIo(0, f, 103, got, 5, &count));
  EXPECT_EQ(2, count);
  EXPECT_EQ(isam::kEngNegativeLength, isam::FilePositionedIo(0, f, 0, got, -1, &count));
  EXPECT_EQ(std::string::npos, StatusLog().find("Warning")) << "a refused read is not logged";
  EXPECT_EQ(isam::kEngNegativeLength, isam::FilePositionedIo(1, f, 0, got, INT32_MIN, &count));
  EXPECT_NE(std::string::npos, StatusLog().find("\tWarning: write size request > 2GB " + PathIn("io.dat") + "\n"))
      << StatusLog();
  EXPECT_EQ(105u, isam::GetOsFileSize(f));
  EXPECT_EQ(0, isam::OsFlushFile(f));
  // The range lock of each transfer is gone afterwards.
  EXPECT_EQ(0, platform::HeldOsFileRanges(f->handle));
}

// One engine operation's transfers share one range lock per shared file,
// which holds every other handle off until the step ends or waits.
TEST_F(OsFileLayerTest, AnIoStepLocksEachSharedFileOnceAndLetsGoBeforeAnyWait) {
  isam::EngineOsFile* f = NewFile();
  isam::EngineOsFile* g = NewFile();
  isam::EngineOsFile* x = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(f, PathIn("s.dat").c_str(), isam::kModeShared));
  ASSERT_EQ(0, isam::OsOpenFile(g, PathIn("s.dat").c_str(), isam::kModeShared));
  ASSERT_EQ(0, isam::OsCreateFile(x, PathIn("x.dat").c_str(), 0));
  char text[16] = "0123456789";
  int32_t count = 0;
  ASSERT_EQ(0, isam::FilePositionedIo(1, f, 0, text, 10, &count));
  const auto locks = [] { return platform::FileCallsMade().locks; };
  uint64_t before = locks();
  {
    isam::IoStepScope step;
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(0, isam::FilePositionedIo(0, f, static_cast<uint32_t>(i), text, 4, &count));
      EXPECT_EQ(0, isam::FilePositionedIo(1, x, static_cast<uint32_t>(i), text, 4, &count));
    }
    EXPECT_EQ(1u, locks() - before) << "one lock for the shared file, none for the exclusive one";
    EXPECT_FALSE(platform::LockOsFileRange(g->handle, 5, 1)) << "another handle waits for the step";
    EXPECT_EQ(1, f->lock_count) << "a file holding a step keeps its handle";
    isam::EngineSleep(0);
    EXPECT_TRUE(platform::LockOsFileRange(g->handle, 5, 1)) << "a pause lets the step go";
    EXPECT_TRUE(platform::UnlockOsFileRange(g->handle, 5, 1));
    before = locks();
    EXPECT_EQ(0, isam::FilePositionedIo(0, f, 0, text, 4, &count));
    EXPECT_EQ(1u, locks() - before) << "the next transfer takes it again";
  }
  EXPECT_EQ(0, platform::HeldOsFileRanges(f->handle));
  EXPECT_EQ(0, f->lock_count);
  before = locks();
  EXPECT_EQ(0, isam::FilePositionedIo(0, f, 0, text, 4, &count));
  EXPECT_EQ(2u, locks() - before) << "outside a step each transfer locks its own range";
}

TEST_F(OsFileLayerTest, ReadOnlyFilesRefuseWrites) {
  isam::EngineOsFile* f = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(f, PathIn("ro.dat").c_str(), isam::kModeShared));
  isam::OsCloseFile(f);
  ASSERT_EQ(0, isam::OsOpenFile(f, PathIn("ro.dat").c_str(), isam::kModeReadOnly));
  int32_t count = 0;
  EXPECT_EQ(isam::kEngWriteFailed, isam::FilePositionedIo(1, f, 0, const_cast<char*>("x"), 1, &count));
}

TEST_F(OsFileLayerTest, HandleBudgetKeepsThreeOpenAndNeverDropsALockedFile) {
  inst_->os_file_limit = 3;
  std::vector<isam::EngineOsFile*> f;
  for (int i = 0; i < 5; ++i) {
    f.push_back(NewFile());
    std::string name = PathIn("budget" + std::to_string(i) + ".dat");
    ASSERT_EQ(0, isam::OsCreateFile(f[i], name.c_str(), isam::kModeShared));
    std::string text = "file number " + std::to_string(i);
    int32_t count = 0;
    ASSERT_EQ(0, isam::FilePositionedIo(1, f[i], 0, &text[0], static_cast<int32_t>(text.size()), &count));
    EXPECT_LE(OpenHandles(), 3);
    EXPECT_LE(isam::OsFilesCounted(), 3);
    if (i == 0) {
      // The oldest file holds a record lock: it must keep its handle.
      ASSERT_EQ(0, isam::RecordLock(f[0], 7, 1000, false));
    }
  }
  EXPECT_NE(nullptr, f[0]->handle);
  EXPECT_FALSE(f[0]->virtually_closed);
  EXPECT_TRUE(f[1]->virtually_closed);
  EXPECT_EQ(nullptr, f[1]->handle);
  // Every file reads back what was written, reopened on demand.
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    std::string expected = "file number " + std::to_string(i);
    std::string got(expected.size(), '\0');
    int32_t count = 0;
    ASSERT_EQ(0, isam::FilePositionedIo(0, f[i], 0, &got[0], static_cast<int32_t>(got.size()), &count));
    EXPECT_EQ(expected, got);
    EXPECT_LE(OpenHandles(), 3);
    EXPECT_NE(nullptr, f[0]->handle);
  }
  EXPECT_EQ(0, isam::RecordUnlock(f[0], 7));
}

TEST_F(OsFileLayerTest, KeptOpenFilesStayOutOfTheBudget) {
  inst_->os_file_limit = 1;
  isam::EngineOsFile* host = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(host, PathIn("host.dat").c_str(), isam::kModeShared | isam::kModeKeptOpen));
  isam::EngineOsFile* a = NewFile();
  isam::EngineOsFile* b = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(a, PathIn("a.dat").c_str(), isam::kModeShared));
  ASSERT_EQ(0, isam::OsCreateFile(b, PathIn("b.dat").c_str(), isam::kModeShared));
  EXPECT_NE(nullptr, host->handle);
  EXPECT_TRUE(a->virtually_closed);
  EXPECT_EQ(1, isam::OsFilesCounted());
  // Size of a virtually closed file reopens it.
  EXPECT_EQ(0u, isam::GetOsFileSize(a));
  EXPECT_FALSE(a->virtually_closed);
  EXPECT_TRUE(b->virtually_closed);
}

TEST_F(OsFileLayerTest, AFileThatCannotBeReopenedIsReported) {
  inst_->os_file_limit = 1;
  isam::EngineOsFile* a = NewFile();
  isam::EngineOsFile* b = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(a, PathIn("gone.dat").c_str(), isam::kModeShared));
  ASSERT_EQ(0, isam::OsCreateFile(b, PathIn("b.dat").c_str(), isam::kModeShared));
  ASSERT_TRUE(a->virtually_closed);
  ASSERT_TRUE(platform::DeleteOsFile(PathIn("gone.dat").c_str()));
  char c;
  int32_t count = 0;
  EXPECT_EQ(isam::kEngReopenFailed, isam::FilePositionedIo(0, a, 0, &c, 1, &count));
  uint32_t size = 1;
  EXPECT_EQ(isam::kEngReopenFailed, isam::OsFileSizeChecked(a, &size));
  EXPECT_EQ(0, enginetest::FatalCount());
  EXPECT_EQ(0u, isam::GetOsFileSize(a));
  EXPECT_EQ(isam::kFatalReopenForSize, enginetest::LastFatalCode());
}

TEST_F(OsFileLayerTest, DeleteRenameAndNameTests) {
  isam::EngineOsFile* f = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(f, PathIn("x.dat").c_str(), isam::kModeShared));
  isam::OsCloseFile(f);
  isam::EngineOsFile* g = NewFile();
  ASSERT_EQ(0, isam::OsCreateFile(g, PathIn("y.dat").c_str(), isam::kModeShared));
  isam::OsCloseFile(g);
  EXPECT_EQ(isam::kEngRenameFailed, isam::OsRenameFile(PathIn("x.dat").c_str(), PathIn("y.dat").c_str()));
  EXPECT_EQ(0, isam::OsRenameFile(PathIn("x.dat").c_str(), PathIn("z.dat").c_str()));
  EXPECT_EQ(-2, isam::IsNameFree(PathIn("z.dat").c_str()));
  EXPECT_EQ(0, isam::IsNameFree(PathIn("free.dat").c_str()));
  EXPECT_FALSE(platform::OsFileExists(PathIn("free.dat").c_str()));
  EXPECT_EQ(0, isam::OsDeleteFile(PathIn("z.dat").c_str()));
  EXPECT_EQ(isam::kEngDeleteFailed, isam::OsDeleteFile(PathIn("z.dat").c_str()));
}

TEST_F(OsFileLayerTest, TempNamesWithTheOptionBitAreFreeNamesInTheFolder) {
  inst_->option_word |= 0x80;
  char buffer[300];
  std::string dir = PathIn("");
  isam::CopyBoundedString(buffer, dir.c_str(), sizeof buffer);
  ASSERT_EQ(0, isam::MakeTempFileName(buffer, sizeof buffer));
  std::string name = buffer;
  ASSERT_EQ(dir.size() + 8, name.size());
  EXPECT_EQ('T', name[dir.size()]);
  for (size_t i = dir.size() + 1; i < name.size(); ++i) {
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(name[i])) || (name[i] >= 'A' && name[i] <= 'F')) << name;
  }
  EXPECT_FALSE(platform::OsFileExists(buffer));
  char small[12] = "abcd";
  EXPECT_EQ(isam::kEngNameTooLong, isam::MakeTempFileName(small, sizeof small));
}

#ifndef _WIN32
// When the system has no handle left, the open gives one idle file's handle
// back and tries again, whatever the budget says. The process's handle
// limit is lowered, so this runs in a child of its own.
TEST(HandleChild, OpensOutlastTheProcessHandleLimit) {
  if (testsupport::ChildRole() != "handles") GTEST_SKIP();
  const std::string dir = testsupport::ChildValue("ENGINE_DIR");
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  ASSERT_EQ(0, isam::EngineStart(10, 2, 6, 10, 0, nullptr, nullptr, nullptr));
  int highest = 0;
  for (int fd = 0; fd < 4096; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) highest = fd;
  }
  rlimit limit{};
  ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &limit));
  limit.rlim_cur = static_cast<rlim_t>(highest + 1 + 3);
  ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &limit));
  // Fill every free descriptor, then leave exactly three.
  std::vector<int> fillers;
  for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) fillers.push_back(fd);
  ASSERT_GE(fillers.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    close(fillers.back());
    fillers.pop_back();
  }
  constexpr int kFiles = 12;
  std::vector<std::unique_ptr<isam::EngineOsFile>> files;
  for (int i = 0; i < kFiles; ++i) {
    files.push_back(std::make_unique<isam::EngineOsFile>());
    std::string name = dir + "/many" + std::to_string(i) + ".dat";
    ASSERT_EQ(0, isam::OsCreateFile(files[i].get(), name.c_str(), isam::kModeShared)) << i;
    std::string text = "file " + std::to_string(i);
    int32_t n = 0;
    ASSERT_EQ(0, isam::FilePositionedIo(1, files[i].get(), 0, &text[0], static_cast<int32_t>(text.size()), &n));
  }
  int given_back = 0;
  for (auto& f : files) given_back += f->virtually_closed;
  EXPECT_GT(given_back, 0);
  for (int i = 0; i < kFiles; ++i) {
    std::string expected = "file " + std::to_string(i);
    std::string got(expected.size(), '\0');
    int32_t n = 0;
    ASSERT_EQ(0, isam::FilePositionedIo(0, files[i].get(), 0, &got[0], static_cast<int32_t>(got.size()), &n)) << i;
    EXPECT_EQ(expected, got);
  }
  for (auto& f : files) isam::OsCloseFile(f.get());
  for (int fd : fillers) close(fd);
  platform::EndProcess(::testing::Test::HasFailure() ? 1 : 0);
}

TEST_F(OsFileLayerTest, OpensGiveBackAHandleWhenTheSystemHasNoneLeft) {
  EXPECT_EQ(0, testsupport::RunChildTest("HandleChild.OpensOutlastTheProcessHandleLimit", "handles",
                                         {"ENGINE_DIR=" + dir_.string()}));
}
#endif

}  // namespace
