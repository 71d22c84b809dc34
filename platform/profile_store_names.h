// Name checks shared by both sides of the profile store. Internal to
// platform/.
#pragma once

#include <string>

namespace platform {

// True for a section or key name both sides can store: not empty and free
// of line breaks, NULs and the characters the POSIX file uses as syntax.
inline bool IsStorableProfileName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (c == '\n' || c == '\r' || c == '\0' || c == '[' || c == ']' || c == '=') return false;
  }
  return true;
}

}  // namespace platform
