#include "shell/app/splash_wnd.h"

#include "res/resource.h"
#include "shell/app/almacora_app.h"

namespace {
CSplashWnd* g_pSplash = nullptr;
}

bool CSplashWnd::s_bHidden = false;

CSplashWnd::CSplashWnd(HWND parent) : CDialog(IDD_SPLASH, parent) {
  g_pSplash = this;
  s_bHidden = false;
}

CSplashWnd::~CSplashWnd() {
  // The base destructor destroys a window still there without calling
  // back into this object.
  KillSplashTimer();
  if (g_pSplash == this) g_pSplash = nullptr;
  if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp())) app->ForgetSplash(this);
}

CSplashWnd* CSplashWnd::Current() { return g_pSplash; }

FRAMEWORK_BEGIN_MESSAGE_MAP(CSplashWnd, framework::CDialog)
  framework::OnWmEraseBkgnd<&CSplashWnd::OnEraseBkgnd>(),
  framework::OnWmLButtonDown<&CSplashWnd::OnLButtonDown>(),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CSplashWnd::OnInitDialog() {
  CDialog::OnInitDialog();
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  int x = (::GetSystemMetrics(SM_CXSCREEN) - rc.right) / 2;
  int y = (::GetSystemMetrics(SM_CYSCREEN) - rc.bottom) / 2;
  ::SetWindowPos(GetSafeHwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  m_nTimerId = ::SetTimer(nullptr, 0, 2000, &CSplashWnd::SplashTimerProc);
  return TRUE;
}

BOOL CSplashWnd::OnEraseBkgnd(HDC dc) {
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, 128));
  ::FillRect(dc, &rc, brush);
  ::DeleteObject(brush);
  return TRUE;
}

void CSplashWnd::OnLButtonDown(UINT /*flags*/, POINT /*point*/) {
  // Gone at once: no timer left to touch it, no pointer left to it.
  KillSplashTimer();
  DestroyWindow();
}

void CSplashWnd::KillSplashTimer() {
  if (m_nTimerId) ::KillTimer(nullptr, m_nTimerId);
  m_nTimerId = 0;
}

void CALLBACK CSplashWnd::SplashTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (g_pSplash && g_pSplash->GetSafeHwnd()) ::ShowWindow(g_pSplash->GetSafeHwnd(), SW_HIDE);
  s_bHidden = true;
}

void CSplashWnd::PostNcDestroy() {
  KillSplashTimer();
  if (g_pSplash == this) g_pSplash = nullptr;
  if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp())) app->ForgetSplash(this);
  delete this;
}
