// The day-of-month icon in a real notification area: the test starts
// itself again on a Wine virtual desktop whose shell shows the task bar,
// where the second copy runs the main frame and photographs the desktop.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "tests/support/win/window_shot.h"
#include "tests/shell/main_window_start.h"

namespace {

constexpr const char* kDesktop = "AlmacoraTray";
constexpr const char* kChildVariable = "ALMACORA_TRAY_CHILD";

void PrepareDesktop() {
  HKEY key = nullptr;
  ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
  const char size[] = "800x600";
  ::RegSetValueExA(key, kDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof size);
  HKEY desktop = nullptr;
  ::RegCreateKeyExA(key, kDesktop, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &desktop, nullptr);
  DWORD on = 1;
  ::RegSetValueExA(desktop, "EnableShell", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
  ::RegCloseKey(desktop);
  ::RegCloseKey(key);
}

// The second copy: the frame puts its icon in; the desktop is photographed
// once the icon's red page header shows in the bottom band.
void RunOnTheDesktop() {
  auto store = shelltest::QuietSettings("alarms_tray_desktop");
  g_Settings.DailyReminder = 0;
  CAlmacoraApp app;
  CMainFrame* frame = shelltest::StartMainWindow(app);
  ASSERT_NE(nullptr, frame);
  int red = 0;
  for (int attempt = 0; attempt < 20 && red < 8; ++attempt) {
    wintest::PumpFor(500);
    wintest::Shot shot = wintest::TakeShot(::GetDesktopWindow(), "tray_icon");
    red = 0;
    for (int y = shot.height * 3 / 4; y < shot.height; ++y)
      for (int x = 0; x < shot.width; ++x) red += shot.At(x, y) == RGB(0xC0, 0x20, 0x20);
  }
  EXPECT_TRUE(frame->HasTrayIcon());
  EXPECT_GE(red, 8) << "the icon's red page header is not in the task bar";
  frame->DestroyWindow();
  store->Clear();
  g_Settings.SetProfile(nullptr);
}

TEST(TrayDesktop, TheDayIconShowsInTheNotificationArea) {
  if (std::getenv(kChildVariable)) {
    RunOnTheDesktop();
    return;
  }
  PrepareDesktop();
  char exe[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string command = std::string("\"") + exe + "\" --gtest_filter=TrayDesktop.*";
  ::SetEnvironmentVariableA(kChildVariable, "1");
  // The desktop's own processes start from the child: they get no pipes
  // of ours to hold open.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE none = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.lpDesktop = const_cast<char*>(kDesktop);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = none;
  PROCESS_INFORMATION pi{};
  const BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  ::SetEnvironmentVariableA(kChildVariable, nullptr);
  ASSERT_TRUE(started);
  const DWORD waited = ::WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1;
  if (waited == WAIT_OBJECT_0) {
    ::GetExitCodeProcess(pi.hProcess, &code);
  } else {
    ::TerminateProcess(pi.hProcess, 1);
  }
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(none);
  EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), waited);
  EXPECT_EQ(0u, code);
}

}  // namespace
