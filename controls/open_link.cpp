#include "controls/open_link.h"

#include <shellapi.h>

#include <string>

namespace shellcontrols {

namespace {

RunCommandFn g_run = nullptr;

INT_PTR RunCommand(const std::string& commandLine, int show) {
  if (g_run) return g_run(commandLine, show);
  // The same success convention as the shell's: above 32.
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    DWORD e = ::GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? static_cast<INT_PTR>(e) : 0;
  }
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return 33;
}

bool ReadDefault(HKEY root, const std::string& key, std::string* value) {
  HKEY h = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
  char buf[MAX_PATH * 2] = "";
  DWORD size = sizeof buf - 1;
  DWORD type = 0;
  LONG r = ::RegQueryValueExA(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  ::RegCloseKey(h);
  if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  buf[size < sizeof buf ? size : sizeof buf - 1] = '\0';
  *value = buf;
  return true;
}

// The user's own classes first, then the machine's (the merged view the
// system shows, read in two steps so it holds on every system).
bool ReadClass(const std::string& key, std::string* value) {
  return ReadDefault(HKEY_CURRENT_USER, "Software\\Classes\\" + key, value) ||
         ReadDefault(HKEY_CLASSES_ROOT, key, value);
}

}  // namespace

RunCommandFn SetRunCommandHook(RunCommandFn fn) {
  RunCommandFn old = g_run;
  g_run = fn;
  return old;
}

std::string BrowserCommandLine(const std::string& registered, const std::string& target) {
  for (unsigned char c : target)
    if (c == '"' || c < 0x20 || c == 0x7F) return std::string();
  std::string command = registered;
  size_t quoted = command.find("\"%1\"");
  size_t bare = command.find("%1");
  if (quoted != std::string::npos && quoted <= bare)
    command.erase(quoted);
  else if (bare != std::string::npos)
    command.erase(bare);
  while (!command.empty() && command.back() == ' ') command.pop_back();
  return command + " \"" + target + "\"";
}

INT_PTR OpenLinkTarget(const std::string& target, int show) {
  INT_PTR first = reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, show));
  if (first > 32) return first;
  std::string type, command;
  if (!ReadClass(".htm", &type)) return first;
  if (!ReadClass(type + "\\shell\\open\\command", &command)) return first;
  std::string line = BrowserCommandLine(command, target);
  if (line.empty()) return first;
  INT_PTR r = RunCommand(line, show);
  return r > 32 ? r : first;
}

std::string LinkErrorText(INT_PTR code) {
  switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30: return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: return "Unknown Error (" + std::to_string(code) + ") occurred.";
  }
}

}  // namespace shellcontrols
