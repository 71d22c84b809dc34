// POSIX side of child processes: posix_spawn with the parent's environment
// plus the given variables.
#include "platform/process.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <new>

extern char** environ;

namespace platform {

struct ChildProcess {
  pid_t pid;
};

std::string CurrentExecutablePath() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  buffer[n] = '\0';
  return buffer;
}

ChildProcess* StartChildProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::string>& environment) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  std::vector<char*> envp;
  for (char** e = environ; *e != nullptr; ++e) {
    bool replaced = false;
    for (const auto& add : environment) {
      size_t eq = add.find('=');
      if (eq != std::string::npos && std::strncmp(*e, add.c_str(), eq + 1) == 0) replaced = true;
    }
    if (!replaced) envp.push_back(*e);
  }
  for (const auto& add : environment) envp.push_back(const_cast<char*>(add.c_str()));
  envp.push_back(nullptr);

  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
    return nullptr;
  }
  return new (std::nothrow) ChildProcess{pid};
}

int WaitChildProcess(ChildProcess* child) {
  if (child == nullptr) return -1;
  int status = 0;
  pid_t rc;
  do {
    rc = waitpid(child->pid, &status, 0);
  } while (rc < 0 && errno == EINTR);
  delete child;
  if (rc < 0 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void SetEnvironmentValue(const char* name, const char* value) {
  if (value == nullptr) {
    unsetenv(name);
  } else {
    setenv(name, value, 1);
  }
}

std::string EnvironmentValue(const char* name) {
  const char* v = std::getenv(name);
  return v == nullptr ? std::string() : std::string(v);
}

}  // namespace platform
