#include "shell/main_frame.h"

bool CMainFrame::CreateMainWindow(HINSTANCE instance, const char* className) {
  return Create(className, "Almacora", WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600,
                nullptr, nullptr, instance);
}
