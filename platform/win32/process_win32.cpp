// Win32 side of child processes: CreateProcessA of a program with the
// parent's environment plus the given variables (set around the call).
#include "platform/process.h"

#include <windows.h>

#include <new>
#include <utility>

namespace platform {

struct ChildProcess {
  HANDLE process;
};

namespace {

std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    if (c == '"') out.append(slashes * 2 + 1, '\\');
    else out.append(slashes, '\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace

std::string CurrentExecutablePath() {
  char buffer[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return std::string();
  return std::string(buffer, n);
}

ChildProcess* StartChildProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::string>& environment) {
  std::string command = Quote(program);
  for (const auto& a : args) command += " " + Quote(a);

  // The child inherits the environment; the additions are set for the
  // moment of the call and the old values put back afterwards.
  std::vector<std::pair<std::string, std::string>> saved;
  std::vector<bool> had;
  for (const auto& add : environment) {
    size_t eq = add.find('=');
    if (eq == std::string::npos) continue;
    std::string name = add.substr(0, eq);
    saved.emplace_back(name, EnvironmentValue(name.c_str()));
    char probe[1];
    had.push_back(GetEnvironmentVariableA(name.c_str(), probe, 0) != 0 ||
                  GetLastError() != ERROR_ENVVAR_NOT_FOUND);
    SetEnvironmentVariableA(name.c_str(), add.c_str() + eq + 1);
  }

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  BOOL ok = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &si, &pi);

  for (size_t i = 0; i < saved.size(); ++i) {
    SetEnvironmentVariableA(saved[i].first.c_str(), had[i] ? saved[i].second.c_str() : nullptr);
  }
  if (!ok) return nullptr;
  CloseHandle(pi.hThread);
  auto* child = new (std::nothrow) ChildProcess{pi.hProcess};
  if (child == nullptr) CloseHandle(pi.hProcess);
  return child;
}

int WaitChildProcess(ChildProcess* child) {
  if (child == nullptr) return -1;
  int result = -1;
  if (WaitForSingleObject(child->process, INFINITE) == WAIT_OBJECT_0) {
    DWORD code = 0;
    if (GetExitCodeProcess(child->process, &code)) result = static_cast<int>(code);
  }
  CloseHandle(child->process);
  delete child;
  return result;
}

void SetEnvironmentValue(const char* name, const char* value) {
  SetEnvironmentVariableA(name, value);
}

std::string EnvironmentValue(const char* name) {
  char buffer[32768];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return std::string();
  return std::string(buffer, n);
}

}  // namespace platform
