// Win32 side of the fatal path: MessageBoxA without owner window and with
// the default caption, then ExitProcess.
#include "platform/fatal.h"

#include <windows.h>

#include <cstdio>

namespace platform {

void ShowSystemMessageBox(const char* message) {
  MessageBoxA(nullptr, message, nullptr, MB_OK);
}

void EndProcess(int exit_code) {
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace platform
