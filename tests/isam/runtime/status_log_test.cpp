// "ENGSTAT.LOG": the entry format, the stamp, and a log that cannot be
// written.
#include <gtest/gtest.h>

#include <filesystem>

#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"
#include "tests/isam/runtime/engine_test_env.h"
#include "tests/support/fixed_clock.h"

namespace {

class StatusLogTest : public enginetest::EngineTest {};

TEST_F(StatusLogTest, EntriesHaveStampTabTextAndNumberWhenNotZero) {
  // 2026-12-09 04:05:06 UTC is 05:05:06 in Berlin, a Wednesday.
  testsupport::FixedClock clock(testsupport::Civil(2026, 12, 9, 4, 5, 6));
  ASSERT_TRUE(isam::WriteStatusLog("Recursive engserl:", 12));
  ASSERT_TRUE(isam::WriteStatusLog("plain text", 0));
  ASSERT_TRUE(isam::WriteStatusLog("fatal path", -199));
  ASSERT_TRUE(isam::WriteStatusLog("folded", -210));
  std::string expected =
      "Wed Dec  9 05:05:06 2026\n\tRecursive engserl:: 12\n"
      "Wed Dec  9 05:05:06 2026\n\tplain text\n"
      "Wed Dec  9 05:05:06 2026\n\tfatal path\n"
      "Wed Dec  9 05:05:06 2026\n\tfolded: 11\n";
#ifdef _WIN32
  std::string with_cr;
  for (char c : expected) {
    if (c == '\n') with_cr += '\r';
    with_cr += c;
  }
  expected = with_cr;
#endif
  EXPECT_EQ(expected, enginetest::ReadText(dir_ / "ENGSTAT.LOG"));
}

TEST_F(StatusLogTest, StampFollowsAscTimeForm) {
  char line[256];
  isam::FormatStatusLogEntry(line, sizeof line, "Sun Feb 29 23:59:01 2032\n", "x", -5);
  EXPECT_STREQ("Sun Feb 29 23:59:01 2032\n\tx: -5\n", line);
  testsupport::FixedClock clock(testsupport::Civil(2032, 2, 29, 22, 59, 1));  // Berlin 23:59
  ASSERT_TRUE(isam::WriteStatusLog("leap", 0));
  EXPECT_EQ(0u, StatusLog().find("Sun Feb 29 23:59:01 2032"));
}

TEST_F(StatusLogTest, UnwritableLogIsReportedOnceAndTheEngineGoesOn) {
  // A folder of that name cannot be opened for appending.
  std::filesystem::create_directory(dir_ / "ENGSTAT.LOG");
  EXPECT_FALSE(isam::WriteStatusLog("first", 1));
  EXPECT_FALSE(isam::WriteStatusLog("second", 2));
  EXPECT_EQ(1, enginetest::MessageBoxCount());
  EXPECT_NE(std::string::npos, enginetest::LastMessageBox().find("status log failure: first (1)"));
  EXPECT_EQ(0, enginetest::FatalCount());
}

TEST_F(StatusLogTest, FatalErrorsLogTheirLineBeforeTheBoxAndTheExit) {
  ASSERT_EQ(0, StartEngine());
  isam::SetEngineError(42);
  isam::EngineFatalError(7300);
  EXPECT_EQ(7300, enginetest::LastFatalCode());
  EXPECT_EQ("\nUnexpected internal engine error #7300 (eng_err=42)\n", enginetest::LastFatalMessage());
  EXPECT_NE(std::string::npos, StatusLog().find("\tUnexpected internal engine error #7300 (eng_err=42)\n"));
  // The catastrophic end has its own box and always exit code 100.
  isam::fatalend(0, 57, 0x10003, 0x1234);
  EXPECT_EQ(100, enginetest::LastFatalCode());
  EXPECT_NE(std::string::npos, enginetest::LastFatalMessage().find("M0 L57 F3 P1234x  ErrorCode=42"));
}

}  // namespace
