// Starts the real almacora.exe, finds its main window by class and title as
// another instance would, closes it and expects a clean exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    HWND h = ::FindWindowA(cls, title);
    if (h) return h;
    if (::GetTickCount() - start > timeoutMs) return nullptr;
    ::Sleep(50);
  }
}

}  // namespace

TEST(MainWindow, OpensAsAlmacoraClassAndExitsCleanlyOnClose) {
  std::string cmd = std::string("\"") + ALMACORA_EXE_PATH + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      << "CreateProcess failed: " << ::GetLastError();

  HWND h = WaitForWindow("AlmacoraClass", "Almacora", 20000);
  if (!h) ::TerminateProcess(pi.hProcess, 99);
  ASSERT_NE(h, nullptr) << "main window did not appear";

  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  EXPECT_EQ(pid, pi.dwProcessId);
  EXPECT_TRUE(::IsWindowVisible(h));

  ::PostMessageA(h, WM_CLOSE, 0, 0);
  DWORD wait = ::WaitForSingleObject(pi.hProcess, 10000);
  if (wait != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 98);
  EXPECT_EQ(wait, static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 12345;
  ::GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
}
