#include "tests/support/child_process.h"

#include <cstdio>

#include "platform/os_file.h"
#include "platform/process.h"
#include "platform/sync.h"

namespace testsupport {

platform::ChildProcess* StartChildTest(const std::string& test_name, const std::string& role,
                                       const std::vector<std::string>& environment) {
  std::vector<std::string> env = environment;
  env.push_back(std::string(kChildRoleVariable) + "=" + role);
  std::vector<std::string> args = {"--gtest_filter=" + test_name, "--gtest_brief=1"};
  return platform::StartChildProcess(platform::CurrentExecutablePath(), args, env);
}

int WaitChildTest(platform::ChildProcess* child) { return platform::WaitChildProcess(child); }

int RunChildTest(const std::string& test_name, const std::string& role,
                 const std::vector<std::string>& environment) {
  return WaitChildTest(StartChildTest(test_name, role, environment));
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
