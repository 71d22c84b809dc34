#include "platform/local_path.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A name the system opens as a device in any folder, with any extension.
bool IsDeviceName(const std::string& component) {
  std::string base = Upper(component.substr(0, component.find_first_of(".:")));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* n : kNames)
    if (base == n) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         std::isdigit(static_cast<unsigned char>(base[3]));
}

bool IsScheme(const std::string& p) {
  const size_t colon = p.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

bool StartsWith(const std::string& text, const char* head) { return Upper(text).compare(0, std::string(head).size(), head) == 0; }

}  // namespace

PathVerdict JudgePath(const std::string& path) {
  for (char c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return PathVerdict::kControl;
  std::string p = path.substr(std::min(path.size(), path.find_first_not_of(" \t")));
  for (char& c : p)
    if (c == '/') c = '\\';
  // The NT forms: "\??\" and "\\?\" reach any device, "UNC\" after them
  // another computer; "\\.\" is a device.
  for (const char* nt : {"\\??\\", "\\\\?\\", "\\\\.\\"}) {
    if (!StartsWith(p, nt)) continue;
    const std::string rest = p.substr(4);
    return StartsWith(rest, "UNC\\") || StartsWith(rest, "GLOBALROOT") ? PathVerdict::kNetwork : PathVerdict::kDevice;
  }
  if (p.compare(0, 2, "\\\\") == 0) return PathVerdict::kNetwork;
  if (IsScheme(p)) return PathVerdict::kAddress;
  for (size_t from = 0; from <= p.size();) {
    size_t end = p.find('\\', from);
    if (end == std::string::npos) end = p.size();
    std::string component = p.substr(from, end - from);
    if (from == 0 && component.size() >= 2 && component[1] == ':') component = component.substr(2);
    if (IsDeviceName(component)) return PathVerdict::kDevice;
    from = end + 1;
  }
  return PathVerdict::kLocal;
}

std::string RefusedPathText(const std::string& what, const std::string& path) {
  switch (JudgePath(path)) {
    case PathVerdict::kLocal: return std::string();
    case PathVerdict::kNetwork: return what + " \"" + path + "\" is on another computer and was not opened.";
    case PathVerdict::kAddress: return what + " \"" + path + "\" is an Internet address and was not opened.";
    case PathVerdict::kDevice:
    case PathVerdict::kControl: break;
  }
  return what + " \"" + path + "\" is not a file on this computer and was not opened.";
}

std::string PlainFileName(const std::string& text, const std::string& fallback) {
  std::string name;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool bad = u < 0x20 || u == 0x7F || std::string("\\/:*?\"<>|").find(c) != std::string::npos;
    name += bad ? '_' : c;
  }
  const size_t first = name.find_first_not_of(" .");
  if (first == std::string::npos) return fallback;
  name = name.substr(first, name.find_last_not_of(" .") - first + 1);
  if (IsDeviceName(name)) name = "_" + name;
  return name;
}

}  // namespace platform
