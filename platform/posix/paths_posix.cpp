#include "platform/paths.h"

#include <unistd.h>

#include <vector>

#include "platform/process.h"

namespace platform {

std::string FullPath(const std::string& path) {
  if (path.empty()) return path;
  std::string whole = path;
  if (whole[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    whole = std::string(cwd) + "/" + whole;
  }
  std::vector<std::string> parts;
  std::string::size_type at = 0;
  while (at <= whole.size()) {
    std::string::size_type next = whole.find('/', at);
    if (next == std::string::npos) next = whole.size();
    const std::string part = whole.substr(at, next - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = next + 1;
  }
  std::string out;
  for (const auto& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

std::string ProgramFolder() {
  std::string exe = CurrentExecutablePath();
  const std::string::size_type slash = exe.rfind('/');
  if (slash == std::string::npos) return std::string();
  return exe.substr(0, slash + 1);
}

bool HasFolderPart(const std::string& path) { return path.find_first_of("/\\") != std::string::npos; }

}  // namespace platform
