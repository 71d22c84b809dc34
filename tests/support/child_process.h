// Tests that need a second process start their own executable again,
// running just one test in a named role. The child test looks at
// ChildRole() and skips itself in an ordinary run:
//
//   TEST(LockChild, HoldAndWait) {
//     if (testsupport::ChildRole() != "waiter") GTEST_SKIP();
//     ...
//   }
//   ... in the parent:
//   int code = testsupport::RunChildTest("LockChild.HoldAndWait", "waiter", {"DIR=/tmp/x"});
//
// The child's exit code is 0 when its test passed, 1 when it failed, or
// whatever the code under test ended the process with.
#pragma once

#include <string>
#include <vector>

namespace platform {
struct ChildProcess;
}

namespace testsupport {

// The variable that carries the role into the child.
constexpr const char kChildRoleVariable[] = "ALMACORA_CHILD_ROLE";

// Starts this executable with --gtest_filter=test_name, the role and the
// extra variables ("NAME=value"). Null when it could not be started.
platform::ChildProcess* StartChildTest(const std::string& test_name, const std::string& role,
                                       const std::vector<std::string>& environment = {});

// Waits for the child and returns its exit code (-1 when it did not exit
// normally).
int WaitChildTest(platform::ChildProcess* child);

// Start and wait.
int RunChildTest(const std::string& test_name, const std::string& role,
                 const std::vector<std::string>& environment = {});

// The role of this process; empty in the parent.
std::string ChildRole();

// A variable the parent passed (empty when unset).
std::string ChildValue(const char* name);

// The exit code a parent sees for a process that ended with code: POSIX
// keeps only its low 8 bits, Win32 all of them.
int ObservedExitCode(int code);

// Polls (every 10 ms, up to limit_ms) until the file exists; true when it
// does. For hand-shakes between parent and child through a shared folder.
bool WaitForFile(const std::string& path, int limit_ms);

// Creates an empty marker file.
void TouchFile(const std::string& path);

}  // namespace testsupport
