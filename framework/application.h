// The application object: one per program, reached through TheApp().
//
// WinMain hands over to Run(), which calls InitInstance, pumps messages until
// WM_QUIT and returns ExitInstance's code (by default the WM_QUIT code).
// InitInstance returning false ends the program at once.
//
// The loop pre-translates every message through the windows from its
// target up to the top-level window (accelerators, dialog navigation), then
// the application; when the queue is empty it calls OnIdle, which updates
// the main frame's toolbar buttons. The application is the last stop of
// command routing.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/cmd_target.h"

namespace framework {

class CSingleDocTemplate;

class CApplication : public CCmdTarget {
 public:
  CApplication();
  ~CApplication() override;

  // The WinMain entry: keeps the arguments, then InitInstance, the message
  // loop and ExitInstance. Returns the process exit code.
  int Run(HINSTANCE instance, const char* commandLine, int showCommand);

  HINSTANCE GetInstanceHandle() const { return instance_; }
  void SetInstanceHandle(HINSTANCE instance) { instance_ = instance; }
  const std::string& GetCommandLine() const { return commandLine_; }
  int GetShowCommand() const { return showCommand_; }
  void SetShowCommand(int show) { showCommand_ = show; }
  HWND GetMainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }

  // The help call of dialogs: HELP_CONTEXT with a topic number,
  // HELP_FINDER for the contents. The base shows nothing.
  virtual void WinHelp(DWORD /*data*/, UINT /*command*/) {}

  // Idle work while the queue is empty; true asks for another call.
  virtual bool OnIdle(LONG count);
  // The loop's pre-translation: the windows, then PreTranslateMessage.
  bool PreTranslate(MSG& msg);
  static bool PreTranslateThroughWindows(MSG& msg);

  // The one document template (resource 2 of the program).
  void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
  CSingleDocTemplate* GetDocTemplate() const { return docTemplate_.get(); }
  // File New through the template; false when it failed.
  bool OnFileNew();

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  virtual bool InitInstance() = 0;
  virtual int ExitInstance() { return exitCode_; }
  // Lets the application see a message before it is dispatched; true
  // means it was handled.
  virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
  // ID_APP_EXIT (57665): closes the main window.
  void OnAppExit();

 private:
  int MessageLoop();
  HINSTANCE instance_ = nullptr;
  std::string commandLine_;
  int showCommand_ = SW_SHOWNORMAL;
  HWND mainWindow_ = nullptr;
  int exitCode_ = 0;
  std::unique_ptr<CSingleDocTemplate> docTemplate_;
};

// The one application object, or null before it is constructed.
CApplication* TheApp();

// The standard command ids of the framework.
constexpr UINT kIdAppExit = 57665;
constexpr UINT kIdFileNew = 57600;

}  // namespace framework
