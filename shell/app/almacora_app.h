// The application object of Almacora: start-up (settings, one instance per
// user with the hand-over of a second start's command line, the splash,
// the document template, the start-up sound) and the end of a run.
#pragma once

#include <string>

#include "framework/application.h"
#include "framework/printing/print_dialog.h"
#include "shell/frame/shell_options_host.h"
#include "shell/app/shell_services.h"

class CSplashWnd;

// The class name other instances and other programs look the main window
// up by; it must never change.
inline constexpr const char* kMainWindowClass = "AlmacoraClass";

// The program file's folder, lower-cased, ending in a backslash.
extern std::string g_ProgramFolder;

class CAlmacoraApp : public framework::CApplication {
 public:
  CAlmacoraApp();
  ~CAlmacoraApp() override;

  // The part of start-up after the single-instance check: the window
  // class, the splash, File New through the template, the subscription of
  // a "/webcal" line of this start, the filter menu. False ends start-up.
  // Tests call it directly (with a scratch profile loaded).
  bool StartMainWindow();

  // HTML Help: HELP_CONTEXT shows that topic, HELP_FINDER the default one,
  // from almacora.chm in the program folder, in a viewer owned by the
  // window that asked (shell/app/help_viewer.h). A missing viewer, help
  // file or topic is said once per run in a message box.
  void WinHelp(DWORD data, UINT command) override;

  CSplashWnd* GetSplash() const { return m_pSplash; }
  void ForgetSplash(CSplashWnd* splash) {
    if (m_pSplash == splash) m_pSplash = nullptr;
  }
  // Step "periodic check": destroys the splash once its timer hid it.
  void FinishSplash();
  // The print set-up dialog (command 57606), kept for the run.
  framework::CPrintDialog& GetPrintSetupDialog() { return m_printSetup; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  bool InitInstance() override;
  int ExitInstance() override;

 private:
  void OnAppAbout();
  void OnHelp();
  void PlayStartupSound();

  bool m_bSocketsStarted = false;
  bool m_bClassRegistered = false;
  bool m_bHelpFaultShown = false;
  HWND m_helpViewer = nullptr;  // the viewer last opened, while it lives
  CSplashWnd* m_pSplash = nullptr;
  CShellServices m_services;
  CShellPrompts m_prompts;
  CShellStoragePrompts m_storagePrompts;
  CShellOptionsHost m_optionsHost;
  framework::CPrintDialog m_printSetup{true, framework::CPrintDialog::kSetupFlags};
};
