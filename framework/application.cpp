#include "framework/application.h"

#include "framework/docview/doc_template.h"
#include "framework/frame_window.h"

namespace framework {

namespace {
CApplication* g_app = nullptr;
}

CApplication* TheApp() { return g_app; }

CApplication::CApplication() { g_app = this; }

CApplication::~CApplication() {
  docTemplate_.reset();
  if (g_app == this) g_app = nullptr;
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CApplication, CCmdTarget)
  OnCommand<&CApplication::OnAppExit>(kIdAppExit),
FRAMEWORK_END_MESSAGE_MAP()

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
  bool idle = true;
  LONG idleCount = 0;
  for (;;) {
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    if (!PumpMessage(msg)) return static_cast<int>(msg.wParam);
    idle = true;
    idleCount = 0;
  }
}

bool CApplication::OnIdle(LONG count) {
  if (count == 0) {
    if (auto* frame = dynamic_cast<CFrameWindow*>(CWindow::FromHandle(mainWindow_))) frame->OnIdleUpdateCmdUI();
  }
  return false;
}

bool CApplication::PreTranslateThroughWindows(MSG& msg) {
  for (HWND h = msg.hwnd; h; h = ::GetParent(h)) {
    CWindow* w = CWindow::FromHandle(h);
    if (w && w->PreTranslateMessage(msg)) return true;
    if (!(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return false;
}

bool CApplication::PreTranslate(MSG& msg) { return PreTranslateThroughWindows(msg) || PreTranslateMessage(msg); }

void CApplication::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
  docTemplate_ = std::move(docTemplate);
}

bool CApplication::OnFileNew() { return docTemplate_ && docTemplate_->OpenDocumentFile() != nullptr; }

void CApplication::OnAppExit() {
  if (mainWindow_) ::SendMessageA(mainWindow_, WM_CLOSE, 0, 0);
}

}  // namespace framework
