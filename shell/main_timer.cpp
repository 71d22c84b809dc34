// The one-second timer of the main frame: the clock panes and the
// periodic check.
#include "framework/application.h"
#include "framework/cmd_ui.h"
#include "model/program_settings.h"
#include "res/resource.h"
#include "shell/almacora_app.h"
#include "shell/main_frame.h"
#include "shell/splash_wnd.h"

void CALLBACK MainTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  CMainFrame* frame = CMainFrame::Get();
  if (!frame) return;
  framework::CCmdUI ui;
  ui.id = ID_INDICATOR_TIME;
  ui.index = 1;
  ui.statusBar = frame->GetStatusBar().GetSafeHwnd();
  frame->OnUpdateTime(&ui);
  frame->PeriodicCheck();
}

void CMainFrame::OnUpdateTime(framework::CCmdUI* ui) {
  char time[20] = "";
  char date[20] = "";
  ::GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, sizeof time);
  ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
  m_wndStatusBar.SetPaneText(m_wndStatusBar.CommandToIndex(ID_INDICATOR_TIME), time);
  m_wndStatusBar.SetPaneText(m_wndStatusBar.CommandToIndex(ID_INDICATOR_DATE), date);
  if (ui) ui->Enable(true);
}

void CMainFrame::PeriodicCheck() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  const int now = st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  const int last = m_nLastCheckSeconds;
  const int f = g_Settings.AlarmCheckFrequency;
  if (now < last + f) {
    // Only a check across midnight may run early by the clock.
    if (!(now < last && now >= last + f - 86400)) return;
  }
  // The day change, the date set back, the alarm and daily-reminder checks
  // join here with the document's events and the reminder window.
  if (CSplashWnd::s_bHidden) {
    CSplashWnd::s_bHidden = false;
    if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp())) app->FinishSplash();
  }
  m_nLastCheckSeconds = now;
}
