#include "program_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace shelltest {

namespace {
const char* const kSettingsKey = "Software\\Corvelle Software\\Almacora\\Settings";
const char* const kProgramKey = "Software\\Corvelle Software\\Almacora";

struct FindData {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM param) {
  auto* d = reinterpret_cast<FindData*>(param);
  char cls[64] = "";
  ::GetClassNameA(hwnd, cls, sizeof cls);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (std::strcmp(cls, "AlmacoraClass") == 0 && pid == d->pid) {
    d->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

void ResetProfile(const std::map<std::string, int>& ints, const std::map<std::string, std::string>& texts) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
  HKEY key = nullptr;
  ::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  std::map<std::string, int> all = {{"ConfigExists", 1}, {"SplashEnabled", 0}, {"WarnExit", 0},
                                    {"SoundEnabled", 0}, {"NumFiles", 0},      {"DailyReminder", 0},
                                    {"FirstRun35", 0},   {"FirstRun50", 0}};
  for (const auto& kv : ints) all[kv.first] = kv.second;
  for (const auto& kv : all) {
    DWORD v = static_cast<DWORD>(kv.second);
    ::RegSetValueExA(key, kv.first.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  }
  for (const auto& kv : texts)
    ::RegSetValueExA(key, kv.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kv.second.c_str()),
                     static_cast<DWORD>(kv.second.size() + 1));
  ::RegCloseKey(key);
}

int ReadSetting(const std::string& name, int missing) {
  DWORD v = 0, size = sizeof v;
  if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), RRF_RT_REG_DWORD, nullptr, &v, &size) !=
      ERROR_SUCCESS)
    return missing;
  return static_cast<int>(v);
}

std::string ReadSettingText(const std::string& name) {
  char buf[1024] = "";
  DWORD size = sizeof buf;
  if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS)
    return std::string();
  return buf;
}

HWND FindMainWindow(DWORD pid) {
  FindData d{pid, nullptr};
  ::EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&d));
  return d.found;
}

namespace {
struct WindowSearch {
  DWORD pid;
  const std::string* cls;
  const std::function<bool(HWND)>* match;
  HWND found;
};
BOOL CALLBACK FindOfProcess(HWND h, LPARAM param) {
  auto* s = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  char cls[64] = "";
  ::GetClassNameA(h, cls, sizeof cls);
  if (pid != s->pid || !::IsWindowVisible(h) || (!s->cls->empty() && *s->cls != cls) || !(*s->match)(h)) return TRUE;
  s->found = h;
  return FALSE;
}
}  // namespace

HWND WaitForWindowOf(DWORD pid, const std::string& cls, const std::function<bool(HWND)>& match, DWORD ms) {
  for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < ms; PumpFor(100)) {
    WindowSearch s{pid, &cls, &match, nullptr};
    ::EnumWindows(&FindOfProcess, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
  }
  return nullptr;
}

Program::~Program() {
  if (pi_.hProcess) {
    if (::WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) ::TerminateProcess(pi_.hProcess, 97);
    ::CloseHandle(pi_.hProcess);
    ::CloseHandle(pi_.hThread);
  }
}

bool Program::Start(const std::string& args, const std::string& folder, const std::string& exe) {
  std::string cmd = "\"" + (exe.empty() ? std::string(ALMACORA_EXE_PATH) : exe) + "\"";
  if (!args.empty()) cmd += " " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  // Wine writes a process's debug channels to the standard error it got
  // from its parent's Unix side: this test's own output, kept in the file
  // cmake/wine_test_run.sh names.
  if (!channels_.empty()) ::SetEnvironmentVariableA("WINEDEBUG", channels_.c_str());
  const bool started = ::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &si, &pi_) != FALSE;
  if (!channels_.empty()) ::SetEnvironmentVariableA("WINEDEBUG", "-all");
  return started;
}

std::string Program::Trace() const {
  std::string text;
  const char* file = std::getenv("ALMACORA_TEST_OUTPUT_FILE");
  if (FILE* f = file ? std::fopen(file, "rb") : nullptr) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
  }
  return text;
}

HWND Program::WaitForWindow(DWORD ms) {
  DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND h = FindMainWindow(pi_.dwProcessId)) {
      // A new display puts the pointer at its centre, over a day cell of
      // the calendar, whose pop-up would cover what a test reads there.
      ::SetCursorPos(2000, 2000);
      // Found while it is still being built: wait until start-up is done.
      ::WaitForInputIdle(pi_.hProcess, ms);
      return h;
    }
    if (::WaitForSingleObject(pi_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    if (::GetTickCount() - start > ms) return nullptr;
  }
}

int Program::WaitExit(DWORD ms) {
  if (::WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) {
    ::TerminateProcess(pi_.hProcess, 96);
    ::WaitForSingleObject(pi_.hProcess, 5000);
    return -1;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(pi_.hProcess, &code);
  return static_cast<int>(code);
}

HelpAsked LastHelpAsked(const std::string& trace) {
  // "HtmlHelpW (caller, file, command=HH_HELP_CONTEXT, data=12)", the data
  // in hex, then, when the context has a topic, "NavigateToUrl L"/name.html"".
  HelpAsked asked;
  const size_t last = trace.rfind("command=");
  if (last == std::string::npos) return asked;
  const size_t name = last + std::strlen("command="), data = trace.find("data=", name);
  asked.command = trace.substr(name, trace.find_first_of(", )\n", name) - name);
  if (data != std::string::npos) asked.context = std::strtol(trace.c_str() + data + 5, nullptr, 16);
  const size_t topic = trace.find("NavigateToUrl L\"/", name);
  if (topic != std::string::npos) asked.topic = trace.substr(topic + 17, trace.find('"', topic + 17) - topic - 17);
  return asked;
}

HelpAsked WaitForHelp(const Program& p) {
  HWND viewer = WaitForWindowOf(p.Pid(), "HH Parent", [](HWND) { return true; }, 5000);
  PumpFor(300);
  HelpAsked asked = LastHelpAsked(p.Trace());
  asked.viewer = viewer;
  return asked;
}

void PressF1(HWND window) {
  ::SetForegroundWindow(window);
  PumpFor(300);
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof keys[0]);
}

BoxAnswerer::BoxAnswerer(const std::string& caption, int button) : caption_(caption), button_(button) {
  thread_ = std::thread([this] {
    while (!stop_) {
      HWND box = ::FindWindowA("#32770", caption_.c_str());
      if (box && ::IsWindowVisible(box)) {
        char text[512] = "";
        ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        text_ = text;
        done_ = true;
        ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button_), 0);
        return;
      }
      ::Sleep(50);
    }
  });
}

BoxAnswerer::~BoxAnswerer() {
  stop_ = true;
  thread_.join();
}

bool BoxAnswerer::Wait(DWORD ms) {
  DWORD start = ::GetTickCount();
  while (!done_ && ::GetTickCount() - start < ms) PumpFor(20);
  return done_;
}

int WhiteShareDownTheMiddle(const Shot& shot) {
  int white = 0, all = 0;
  for (int y = shot.height / 2; y < shot.height * 7 / 8; ++y, ++all)
    white += shot.At(shot.width / 2, y) == RGB(255, 255, 255);
  return all ? white * 100 / all : 0;
}

}  // namespace shelltest
