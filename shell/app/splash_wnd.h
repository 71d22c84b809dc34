// CSplashWnd: the borderless picture shown while the program starts
// (dialog 140 on a navy background). Its own two-second timer hides it and
// raises the splash-hidden flag; the frame's next periodic check destroys
// it. A click destroys it at once. The application's m_pSplash is cleared
// whenever it goes.
#pragma once

#include "framework/dialogs/dialog.h"

class CSplashWnd : public framework::CDialog {
 public:
  explicit CSplashWnd(HWND parent = nullptr);
  ~CSplashWnd() override;

  // The one splash window, or null.
  static CSplashWnd* Current();
  // Set by the timer once the splash is hidden; read and cleared by the
  // frame's periodic check.
  static bool s_bHidden;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void PostNcDestroy() override;

 private:
  BOOL OnEraseBkgnd(HDC dc);
  void OnLButtonDown(UINT flags, POINT point);
  static void CALLBACK SplashTimerProc(HWND, UINT, UINT_PTR, DWORD);
  void KillSplashTimer();
  UINT_PTR m_nTimerId = 0;
};
