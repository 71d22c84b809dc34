#include "tests/support/child_process.h"

#include <atomic>
#include <cstdio>

#include "platform/os_file.h"
#include "platform/process.h"
#include "platform/sync.h"

namespace testsupport {

namespace {

// Under the Windows tree's runner the Wine loader now and then gives up
// before a program's main is reached, children included. Each child gets
// its own started-marker beside the parent's, so a child that never started
// can be told from one that failed or was killed on purpose.
std::string NextStartedMarker() {
  static std::atomic<int> next{0};
  const std::string parent = platform::EnvironmentValue("ALMACORA_TEST_STARTED_FILE");
  if (parent.empty()) return std::string();
  return parent + ".child" + std::to_string(next.fetch_add(1));
}

platform::ChildProcess* StartWithMarker(const std::string& test_name, const std::string& role,
                                        const std::vector<std::string>& environment,
                                        const std::string& marker) {
  std::vector<std::string> env = environment;
  env.push_back(std::string(kChildRoleVariable) + "=" + role);
  if (!marker.empty()) env.push_back("ALMACORA_TEST_STARTED_FILE=" + marker);
  std::vector<std::string> args = {"--gtest_filter=" + test_name, "--gtest_brief=1"};
  return platform::StartChildProcess(platform::CurrentExecutablePath(), args, env);
}

}  // namespace

platform::ChildProcess* StartChildTest(const std::string& test_name, const std::string& role,
                                       const std::vector<std::string>& environment) {
  // A child waited on by the caller is not started again, so it needs no
  // marker of its own (it touches the parent's, which exists already).
  return StartWithMarker(test_name, role, environment, std::string());
}

int WaitChildTest(platform::ChildProcess* child) { return platform::WaitChildProcess(child); }

int RunChildTest(const std::string& test_name, const std::string& role,
                 const std::vector<std::string>& environment) {
  const std::string marker = NextStartedMarker();
  for (int attempt = 1;; ++attempt) {
    if (!marker.empty()) std::remove(marker.c_str());
    const int code = WaitChildTest(StartWithMarker(test_name, role, environment, marker));
    const bool started = marker.empty() || platform::OsFileExists(marker.c_str());
    if (code == 0 || started || attempt == 3) {
      if (!marker.empty()) std::remove(marker.c_str());
      return code;
    }
    std::fprintf(stderr, "child %s did not start (exit %d); starting it again\n", test_name.c_str(), code);
  }
}

std::string ChildRole() { return platform::EnvironmentValue(kChildRoleVariable); }

std::string ChildValue(const char* name) { return platform::EnvironmentValue(name); }

int ObservedExitCode(int code) {
#ifdef _WIN32
  return code;
#else
  return code & 0xFF;
#endif
}

bool WaitForFile(const std::string& path, int limit_ms) {
  for (int waited = 0; waited <= limit_ms; waited += 10) {
    if (platform::OsFileExists(path.c_str())) return true;
    platform::SleepMilliseconds(10);
  }
  return platform::OsFileExists(path.c_str());
}

void TouchFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f) std::fclose(f);
}

}  // namespace testsupport
