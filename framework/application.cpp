#include "framework/application.h"

namespace framework {

namespace {
CApplication* g_app = nullptr;
}

CApplication* TheApp() { return g_app; }

CApplication::CApplication() { g_app = this; }

CApplication::~CApplication() {
  if (g_app == this) g_app = nullptr;
}

int CApplication::Run(HINSTANCE instance, const char* commandLine, int showCommand) {
  instance_ = instance;
  commandLine_ = commandLine ? commandLine : "";
  showCommand_ = showCommand;
  if (!InitInstance()) {
    exitCode_ = 0;
    return ExitInstance();
  }
  exitCode_ = MessageLoop();
  return ExitInstance();
}

int CApplication::MessageLoop() {
  MSG msg;
  for (;;) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    if (PreTranslateMessage(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace framework
