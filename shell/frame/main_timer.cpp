// The one-second timer of the main frame: the clock panes and the
// periodic check.
#include "framework/application.h"
#include "framework/cmd_ui.h"
#include "framework/owned_windows.h"
#include "model/settings/program_settings.h"
#include "platform/clock.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "shell/app/splash_wnd.h"

void CALLBACK MainTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  CMainFrame* frame = CMainFrame::Get();
  if (!frame) return;
  framework::CCmdUI ui;
  ui.id = ID_INDICATOR_TIME;
  ui.index = 1;
  ui.statusBar = frame->GetStatusBar().GetSafeHwnd();
  frame->OnUpdateTime(&ui);
  // The windows the frame owns may have come below it without its being
  // activated (a pop-up of its own shown over them).
  framework::KeepOwnedAbove(frame->GetSafeHwnd());
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
  // The program's clock (frozen and moved by the window tests).
  const platform::CivilTime now = platform::LocalNow();
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(now.year);
  st.wMonth = static_cast<WORD>(now.month);
  st.wDay = static_cast<WORD>(now.day);
  st.wHour = static_cast<WORD>(now.hour);
  st.wMinute = static_cast<WORD>(now.minute);
  st.wSecond = static_cast<WORD>(now.second);
  const int today = alarmcore::DateNumber(now.year, now.month, now.day);
  const int seconds = now.hour * 3600 + now.minute * 60 + now.second;
  int32_t lastRun = g_Settings.last_date;
  const alarmcore::CheckSteps steps = m_checkClock.Tick(today, seconds, g_Settings.AlarmCheckFrequency, &lastRun);
  if (!steps.run) return;
  g_Settings.last_date = lastRun;
  if (steps.dayChanged) OnDayChanged();
  if (!m_hTrayIcon) UpdateTrayIcon();
  if (steps.dateSetBack) AskResetAfterDateSetBack();
  CheckAlarms(st);
  CheckDailyReminder(st);
  if (CSplashWnd::s_bHidden) {
    CSplashWnd::s_bHidden = false;
    if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp())) app->FinishSplash();
  }
}
