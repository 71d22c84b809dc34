#include "platform/paths.h"

#include <windows.h>

#include <cctype>

#include "platform/process.h"

namespace platform {

std::string FullPath(const std::string& path) {
  char buffer[1000];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (n == 0 || n >= sizeof buffer) return path;
  return std::string(buffer, n);
}

std::string ProgramFolder() {
  std::string exe = CurrentExecutablePath();
  const std::string::size_type slash = exe.find_last_of("\\/");
  if (slash == std::string::npos) return std::string();
  std::string folder = exe.substr(0, slash + 1);
  for (char& c : folder) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folder;
}

bool HasFolderPart(const std::string& path) { return path.find('\\') != std::string::npos; }

}  // namespace platform
