// Launch to first visible window: almacora.exe (a returning user's settings,
// one holiday calendar, no splash) and Wine's notepad, alternately; the
// milliseconds of each run and the medians. Rewrites the program's settings.
// Usage (under Wine): startup_bench <folder of almacora.exe> [runs, 5]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

double MsToWindow(std::string cmd, const char* folder) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const auto start = std::chrono::steady_clock::now();
  if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi)) return -1;
  std::pair<DWORD, bool> seen{pi.dwProcessId, false};
  const auto find = [](HWND h, LPARAM p) -> BOOL {
    auto* s = reinterpret_cast<std::pair<DWORD, bool>*>(p);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    s->second = s->second || (pid == s->first && ::IsWindowVisible(h));
    return TRUE;
  };
  double ms = 0;
  for (; !seen.second && ms < 30000; std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
    ::EnumWindows(find, reinterpret_cast<LPARAM>(&seen));
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  ::Sleep(500);  // its start finished, it closes cleanly
  ::EnumThreadWindows(pi.dwThreadId, [](HWND h, LPARAM) { return ::PostMessageA(h, WM_CLOSE, 0, 0); }, 0);
  if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
  return seen.second ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return std::printf("usage: startup_bench <folder of almacora.exe> [runs]\n"), 2;
  const std::string folder = argv[1], calendar = folder + "\\US Holidays.akv";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  HKEY key = nullptr;
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Corvelle Software\\Almacora");
  ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Corvelle Software\\Almacora\\Settings", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
  for (const char* name : {"ConfigExists", "NumFiles", "SplashEnabled", "FirstRun35", "FirstRun50", "WarnExit"}) {
    const DWORD on = std::string(name) == "ConfigExists" || std::string(name) == "NumFiles";
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
  }
  ::RegSetValueExA(key, "DataFiles01", 0, REG_SZ, reinterpret_cast<const BYTE*>(calendar.c_str()),
                   static_cast<DWORD>(calendar.size() + 1));
  ::RegCloseKey(key);
  std::vector<double> ours, notepad;
  for (int i = 0; i < runs; ++i) {
    ours.push_back(MsToWindow("\"" + folder + "\\almacora.exe\"", folder.c_str()));
    notepad.push_back(MsToWindow("notepad.exe", folder.c_str()));
    std::printf("run %d: almacora.exe %.0f ms, notepad.exe %.0f ms\n", i + 1, ours.back(), notepad.back());
  }
  std::sort(ours.begin(), ours.end());
  std::sort(notepad.begin(), notepad.end());
  std::printf("median of %d: almacora.exe %.0f ms, notepad.exe %.0f ms\n", runs, ours[ours.size() / 2],
              notepad[notepad.size() / 2]);
  return 0;
}
