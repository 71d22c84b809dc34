// Full paths and the program folder.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/process.h"

namespace {

TEST(Paths, FullPathsResolveDotsAndKeepTheRest) {
#ifdef _WIN32
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"c:\\cal\\..\\CAL\\a.akv", "c:\\CAL\\a.akv"}, {"C:\\cal\\.\\a.akv", "C:\\cal\\a.akv"}};
#else
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"/cal/../CAL/a.akv", "/CAL/a.akv"}, {"/cal/./x//a.akv", "/cal/x/a.akv"}, {"/..", "/"}};
#endif
  for (const auto& c : cases) EXPECT_EQ(c.out, platform::FullPath(c.in)) << c.in;
  EXPECT_TRUE(platform::HasFolderPart(platform::FullPath("a.akv")));
  EXPECT_FALSE(platform::HasFolderPart("a.akv"));
}

TEST(Paths, TheProgramFolderHoldsTheProgram) {
  const std::string folder = platform::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(folder.back() == '/' || folder.back() == '\\');
  std::string exe = platform::CurrentExecutablePath();
#ifdef _WIN32
  for (char& ch : exe) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
#endif
  EXPECT_EQ(0u, exe.find(folder));
}

}  // namespace
