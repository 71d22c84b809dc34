#include "shell/almacora_app.h"

#include <commctrl.h>

bool CAlmacoraApp::InitInstance() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES;
  ::InitCommonControlsEx(&icc);

  if (!framework::CWindow::RegisterClass(GetInstanceHandle(), kMainWindowClass)) return false;
  frame_ = std::make_unique<CMainFrame>();
  if (!frame_->CreateMainWindow(GetInstanceHandle(), kMainWindowClass)) return false;
  SetMainWindow(frame_->GetSafeHwnd());
  ::ShowWindow(frame_->GetSafeHwnd(), GetShowCommand());
  ::UpdateWindow(frame_->GetSafeHwnd());
  return true;
}
