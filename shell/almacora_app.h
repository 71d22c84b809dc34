// The application object of Almacora.
#pragma once

#include "framework/application.h"
#include "shell/main_frame.h"

#include <memory>

// The class name other instances and other programs look the main window
// up by; it must never change.
inline constexpr const char* kMainWindowClass = "AlmacoraClass";

class CAlmacoraApp : public framework::CApplication {
 protected:
  bool InitInstance() override;

 private:
  std::unique_ptr<CMainFrame> frame_;
};
