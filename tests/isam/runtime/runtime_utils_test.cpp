// Shared small routines: bounded copies, name comparison, extension sizes,
// directory prefixes, byte order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"

namespace {

TEST(RuntimeUtilsTest, CopyBoundedStringAlwaysTerminates) {
  char out[10];
  std::memset(out, 'x', sizeof out);
  isam::CopyBoundedString(out, "abcdefghijkl", 10);
  EXPECT_STREQ("abcdefghi", out);
  isam::CopyBoundedString(out, "ab", 10);
  EXPECT_STREQ("ab", out);
  std::memset(out, 'x', sizeof out);
  isam::CopyBoundedString(out, nullptr, 10);
  for (char c : out) EXPECT_EQ('\0', c);
  isam::CopyBoundedString(out, "abc", 1);
  EXPECT_EQ('\0', out[0]);
}

TEST(RuntimeUtilsTest, FileNamesIgnoreCaseOnlyUpToTheMemberSeparator) {
  EXPECT_EQ(0, isam::CompareFileNames("C:\\Cal\\Home.AKV", "c:\\cal\\home.akv"));
  EXPECT_EQ(0, isam::CompareFileNames("Home.akv!events", "HOME.AKV!events"));
  EXPECT_NE(0, isam::CompareFileNames("home.akv!Events", "home.akv!events"));
  EXPECT_NE(0, isam::CompareFileNames("home.akv", "home.akv!events"));
  EXPECT_LT(isam::CompareFileNames("a", "b"), 0);
  EXPECT_GT(isam::CompareFileNames("b", "A"), 0);
}

TEST(RuntimeUtilsTest, ExtensionSizeFollowsTheRecordLength) {
  EXPECT_EQ(16384, isam::ChooseExtensionSize(0, 128));
  EXPECT_EQ(16384, isam::ChooseExtensionSize(100, 2048));
  EXPECT_EQ(32768, isam::ChooseExtensionSize(100, 2049));
  EXPECT_EQ(40000, isam::ChooseExtensionSize(100, 40000));
  EXPECT_EQ(20000, isam::ChooseExtensionSize(20000, 128));
  EXPECT_EQ(32768, isam::ChooseExtensionSize(20000, 20000));
}

TEST(RuntimeUtilsTest, BytesReverseAndCursorsAdvance) {
  uint8_t b[5] = {1, 2, 3, 4, 5};
  isam::ReverseBytes(b, 5);
  EXPECT_EQ((std::vector<uint8_t>{5, 4, 3, 2, 1}), std::vector<uint8_t>(b, b + 5));
  isam::ReverseBytes(b, 4);
  EXPECT_EQ((std::vector<uint8_t>{2, 3, 4, 5, 1}), std::vector<uint8_t>(b, b + 5));
  uint8_t buf[8] = {};
  uint8_t* w = buf;
  isam::PutBytesAdvance(&w, "abc", 3);
  isam::PutBytesAdvance(&w, "de", 2);
  EXPECT_EQ(buf + 5, w);
  const uint8_t* r = buf;
  char got[6] = {};
  isam::GetBytesAdvance(got, &r, 5);
  EXPECT_STREQ("abcde", got);
  EXPECT_EQ(buf + 5, r);
  uint8_t le[4];
  isam::PutLe32(le, 0x01020304u);
  EXPECT_EQ(4, le[0]);
  EXPECT_EQ(0x01020304u, isam::GetLe32(le));
  isam::PutBe32(le, 0x01020304u);
  EXPECT_EQ(1, le[0]);
  EXPECT_EQ(0x01020304u, isam::GetBe32(le));
  isam::PutLe16(le, 0xBEEF);
  EXPECT_EQ(0xBEEF, isam::GetLe16(le));
}

TEST(RuntimeUtilsTest, DirectoryPrefixOnlyForRelativeNamesInPathModes2And3) {
  isam::EngineInstance inst;
  isam::SetCurrentInstance(&inst);
  std::strcpy(inst.directory, "D:\\data\\");
  char name[256];
  std::strcpy(name, "cal.akv");
  EXPECT_EQ(0, isam::AddDirectoryPrefix(name));
  EXPECT_STREQ("cal.akv", name);  // path mode 0
  inst.path_mode = 3;
  EXPECT_EQ(0, isam::AddDirectoryPrefix(name));
  EXPECT_STREQ("D:\\data\\cal.akv", name);
  EXPECT_EQ(0, isam::AddDirectoryPrefix(name));  // has a drive now
  EXPECT_STREQ("D:\\data\\cal.akv", name);
  std::strcpy(name, "/abs/cal.akv");
  EXPECT_EQ(0, isam::AddDirectoryPrefix(name));
  EXPECT_STREQ("/abs/cal.akv", name);
  std::string longname(250, 'n');
  std::strcpy(name, longname.c_str());
  EXPECT_EQ(isam::kEngPathTooLong, isam::AddDirectoryPrefix(name));
  EXPECT_EQ(longname, name);
  isam::SetCurrentInstance(nullptr);
  EXPECT_STREQ("v1.00.00a", isam::EngineVersion());
}

}  // namespace
