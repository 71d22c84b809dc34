// The application object: one per program, reached through TheApp().
//
// WinMain hands over to Run(), which calls InitInstance, pumps messages until
// WM_QUIT and returns ExitInstance's code (by default the WM_QUIT code).
// InitInstance returning false ends the program at once.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class CApplication {
 public:
  CApplication();
  virtual ~CApplication();
  CApplication(const CApplication&) = delete;
  CApplication& operator=(const CApplication&) = delete;

  // The WinMain entry: keeps the arguments, then InitInstance, the message
  // loop and ExitInstance. Returns the process exit code.
  int Run(HINSTANCE instance, const char* commandLine, int showCommand);

  HINSTANCE GetInstanceHandle() const { return instance_; }
  const std::string& GetCommandLine() const { return commandLine_; }
  int GetShowCommand() const { return showCommand_; }
  void SetShowCommand(int show) { showCommand_ = show; }
  HWND GetMainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }

 protected:
  virtual bool InitInstance() = 0;
  virtual int ExitInstance() { return exitCode_; }
  // Lets the application see a message before it is dispatched; true
  // means it was handled (accelerators, dialog navigation).
  virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }

 private:
  int MessageLoop();
  HINSTANCE instance_ = nullptr;
  std::string commandLine_;
  int showCommand_ = SW_SHOWNORMAL;
  HWND mainWindow_ = nullptr;
  int exitCode_ = 0;
};

// The one application object, or null before it is constructed.
CApplication* TheApp();

}  // namespace framework
