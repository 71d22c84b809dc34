// The main window of the program.
#pragma once

#include "framework/frame_window.h"

class CMainFrame : public framework::CFrameWindow {
 public:
  // Creates the top-level window "Almacora" of the given class.
  bool CreateMainWindow(HINSTANCE instance, const char* className);
};
