// The main frame's creation, layout, menu state, exit and placement.
#include "shell/frame/main_frame.h"

#include "alarms/actions/alarm_error_log_dlg.h"
#include "alarms/actions/timer_dlg.h"

#include <commctrl.h>
#include <cpl.h>

#include "framework/application.h"
#include "framework/cmd_ui.h"
#include "framework/docview/doc_template.h"
#include "framework/docview/view.h"
#include "framework/owned_windows.h"
#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "res/resource.h"
#include "alarms/actions/alarm_worker.h"
#include "alarms/alarm_batch.h"
#include "alarms/alarm_reminders_dlg.h"
#include "platform/clock.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/almacora_splitter.h"
#include "shell/commands/event_operations_host.h"
#include "shell/frame/frame_reminder_host.h"
#include "shell/commands/frame_event_operations.h"
#include "shell/frame/frame_geometry.h"
#include "shell/app/hand_over.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "storage/ui/calendars_dialog.h"

void CALLBACK MainTimerProc(HWND, UINT, UINT_PTR, DWORD);

namespace {
// Overlapped window with caption, system menu, sizing frame, minimize and
// maximize boxes, clip-children, created minimized.
constexpr DWORD kFrameStyle = 0x22CF0000;

alarmcore::CCheckClock ClockNow() {
  const platform::CivilTime now = platform::LocalNow();
  return alarmcore::CCheckClock(alarmcore::DateNumber(now.year, now.month, now.day),
                                now.hour * 3600 + now.minute * 60 + now.second);
}
}  // namespace

CMainFrame::CMainFrame() : m_checkClock(ClockNow()) {
  m_nCalMode = g_Settings.CalMode;
}

CMainFrame::~CMainFrame() {
  delete m_pSplitter;
  if (m_nTimerId) ::KillTimer(nullptr, m_nTimerId);
  m_pAlarmDlg.reset();
  for (HMODULE lib : m_arrCplLibs) {
    // Applets are told to stop and exit before their library goes.
    auto applet = reinterpret_cast<APPLET_PROC>(reinterpret_cast<void*>(::GetProcAddress(lib, "CPlApplet")));
    if (applet) {
      applet(nullptr, CPL_STOP, 0, 0);
      applet(nullptr, CPL_EXIT, 0, 0);
    }
    ::FreeLibrary(lib);
  }
}

CMainFrame* CMainFrame::Get() {
  framework::CApplication* app = framework::TheApp();
  return app ? dynamic_cast<CMainFrame*>(FromHandle(app->GetMainWindow())) : nullptr;
}

CShellDocument* CMainFrame::GetShellDocument() const {
  framework::CApplication* app = framework::TheApp();
  if (!app || !app->GetDocTemplate()) return nullptr;
  return static_cast<CShellDocument*>(app->GetDocTemplate()->GetDocument());
}

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = kMainWindowClass;
  cs.style = kFrameStyle;
  framework::CApplication* app = framework::TheApp();
  m_bHidden = app && app->GetShowCommand() == SW_HIDE;
  if (g_Settings.Maximized) m_nRestoreShow = SW_SHOWMAXIMIZED;
  FrameGeometryInput in;
  in.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  in.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  in.winPosX = g_Settings.WinPosX;
  in.winPosY = g_Settings.WinPosY;
  in.winSizeX = g_Settings.WinSizeX;
  in.winSizeY = g_Settings.WinSizeY;
  in.winCentered = g_Settings.WinCentered;
  in.gridSizeY = g_Settings.GridSizeY;
  FrameGeometry g = ComputeFrameGeometry(in);
  cs.x = g.x;
  cs.y = g.y;
  cs.cx = g.width;
  cs.cy = g.height;
  g_Settings.GridSizeY = g.gridSizeY;
  return CFrameWindow::PreCreateWindow(cs);
}

bool CMainFrame::OnCreate(const CREATESTRUCTA& cs) {
  if (!CFrameWindow::OnCreate(cs)) return false;
  InstallSharingHooks(true);
  // The views reach the event operations through this while the frame lives.
  m_pEventOperations = std::make_unique<CFrameEventOperations>(*this);
  SetEventOperations(m_pEventOperations.get());
  // Each batch of due alarms runs its mail and programs on a worker; its
  // failures come back to this window as the log notice.
  SetAlarmBatchHook([](std::unique_ptr<AlarmBatch> batch) {
    CMainFrame* frame = CMainFrame::Get();
    if (batch && frame) alarms::StartAlarmActions(*batch, frame->GetSafeHwnd(), WM_SHOWALARMLOG);
  });
  if (!m_wndToolBar.Create(GetSafeHwnd(), TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_ALTDRAG | CCS_ADJUSTABLE,
                           WS_VISIBLE | CCS_TOP, framework::kIdToolBar) ||
      !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
    return false;
  m_wndToolBar.SetWindowText("Standard");
  toolBar_ = &m_wndToolBar;
  if (g_Settings.ShowToolbar == 0) {
    m_wndToolBar.Show(SW_HIDE);
    m_bToolbarVisible = false;
  }
  if (!m_wndStatusBar.Create(GetSafeHwnd(), WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP, framework::kIdStatusBar) ||
      !m_wndStatusBar.SetIndicators({{0, ""}, {ID_INDICATOR_TIME, "00:00 PM"}, {ID_INDICATOR_DATE, "00/00/00 Test"}}))
    return false;
  statusBar_ = &m_wndStatusBar;
  m_wndToolTip.Create(GetSafeHwnd());
  CheckScheduledBackup();
  // While the splash shows, the shell's icon call is left to the first
  // periodic check (it puts a missing icon in): the splash paints first.
  auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp());
  if (!app || !app->GetSplash()) UpdateTrayIcon();
  m_nTimerId = ::SetTimer(nullptr, 0, 1000, &MainTimerProc);
  return true;
}

void CMainFrame::UpdateFilterMenu() {
  HMENU menu = ::GetMenu(GetSafeHwnd());
  if (!menu) return;
  CShellDocument* doc = GetShellDocument();
  const char* text = doc && doc->IsTypeFilterActive() ? "F&ILTER ON" : "F&ilter";
  ::ModifyMenuA(menu, ID_VIEW_FILTER, MF_BYCOMMAND | MF_STRING, ID_VIEW_FILTER, text);
  ::DrawMenuBar(GetSafeHwnd());
}

void CMainFrame::BringToFront() { BringWindowToFront(GetSafeHwnd()); }

void CMainFrame::OnInitMenu(HMENU menu) {
  for (UINT id : {ID_SORT_DATE_TIME, ID_SORT_TYPE_NAME, ID_SORT_TYPE_DATE_TIME, ID_SORT_TYPE_AGE,
                  ID_SORT_NAME_DATE_TIME, ID_VIEW_CALENDAR_AND_LIST, ID_VIEW_LIST_ONLY, ID_VIEW_CALENDAR_ONLY,
                  ID_VIEW_OLD_IN_LIST, ID_VIEW_OLD_IN_CALENDAR})
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | MF_UNCHECKED);
  if (g_Settings.ShowAcknowledgedList) ::CheckMenuItem(menu, ID_VIEW_OLD_IN_LIST, MF_BYCOMMAND | MF_CHECKED);
  if (g_Settings.ShowAcknowledgedCalendar) ::CheckMenuItem(menu, ID_VIEW_OLD_IN_CALENDAR, MF_BYCOMMAND | MF_CHECKED);
  static const UINT kSortItems[] = {ID_SORT_DATE_TIME, ID_SORT_TYPE_NAME, ID_SORT_TYPE_DATE_TIME,
                                    ID_SORT_TYPE_AGE, ID_SORT_NAME_DATE_TIME};
  int sort = g_Settings.ListSortMode;
  if (sort >= 3 && sort <= 7) ::CheckMenuItem(menu, kSortItems[sort - 3], MF_BYCOMMAND | MF_CHECKED);
  const int layout = GetLayoutMode() < 0 ? 0 : GetLayoutMode();
  static const UINT kLayoutItems[] = {ID_VIEW_CALENDAR_AND_LIST, ID_VIEW_LIST_ONLY, ID_VIEW_CALENDAR_ONLY};
  ::CheckMenuItem(menu, kLayoutItems[layout], MF_BYCOMMAND | MF_CHECKED);
  ::CheckMenuItem(menu, ID_VIEW_TOOLBAR, MF_BYCOMMAND | (m_bToolbarVisible ? MF_CHECKED : MF_UNCHECKED));
  CShellDocument* doc = GetShellDocument();
  bool all = doc && doc->GetDisplayMode() == 1;
  ::CheckMenuItem(menu, ID_VIEW_ALL, MF_BYCOMMAND | (all ? MF_CHECKED : MF_UNCHECKED));
  ::CheckMenuItem(menu, ID_VIEW_UPCOMING, MF_BYCOMMAND | (all ? MF_UNCHECKED : MF_CHECKED));
  if (!g_Settings.TrayAvailable)
    ::ModifyMenuA(menu, ID_CALENDAR_HIDE, MF_BYCOMMAND | MF_STRING, ID_CALENDAR_HIDE, "&Minimize Window");
}

void CMainFrame::OnActivate(UINT state, HWND /*other*/, BOOL /*minimized*/) {
  // Neither the default activation nor the library's runs; the active
  // view gets the focus so the accelerators keep working.
  framework::CView* view = GetActiveView();
  if (state != WA_INACTIVE && view && view->GetSafeHwnd()) ::SetFocus(view->GetSafeHwnd());
  // Raised by a click: the calendar manager and what it opens go back
  // above this window once the activation is over.
  if (state != WA_INACTIVE && !m_bRaiseOwnedPosted) m_bRaiseOwnedPosted = PostMsg(WM_RAISEOWNED);
}

LRESULT CMainFrame::OnRaiseOwned(WPARAM, LPARAM) {
  m_bRaiseOwnedPosted = false;
  framework::KeepOwnedAbove(GetSafeHwnd());
  return 0;
}

void CMainFrame::OnClose() {
  bool cancelled = false;
  if (g_Settings.WarnExit) {
    WarningRequest request;
    request.message =
        "You are about to exit Almacora. Alarms will not sound if you exit. Use 'Hide Window' to leave "
        "active.\n\nContinue Exiting Almacora?";
    request.caption = "Almacora";
    IEventPrompts* prompts = GetModelServices().prompts;
    WarningAnswer a = prompts ? prompts->ShowWarning(request) : WarningAnswer{true, false};
    cancelled = !a.accepted;
    if (a.dontShowAgain) {
      g_Settings.WarnExit = 0;
      g_Settings.WriteInt("WarnExit", 0);
    }
  }
  CShellDocument* doc = GetShellDocument();
  if (g_Settings.AutoExport && doc) doc->UpdateAllViews(nullptr, kHintWriteListFile);
  if (!cancelled) CFrameWindow::OnClose();
}

void CMainFrame::OnDestroy() {
  InstallSharingHooks(false);
  if (GetEventOperations() == m_pEventOperations.get()) SetEventOperations(nullptr);
  SetAlarmBatchHook(nullptr);
  m_pCalendarsDlg.reset();
  if (g_Settings.SaveOnExit) SaveWindowPlacement();
  if (g_Settings.TrayAvailable && m_hTrayIcon) DeleteTrayIcon(GetSafeHwnd(), kTrayIconId);
  m_hTrayIcon = nullptr;
  // The reminder window goes with the frame, before the events it lists.
  m_pAlarmDlg.reset();
  CFrameWindow::OnDestroy();
  g_Settings.SaveSettings();
}

void CMainFrame::SaveWindowPlacement() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (::GetWindowPlacement(GetSafeHwnd(), &wp)) {
    g_Settings.WinPosX = wp.rcNormalPosition.left;
    g_Settings.WinPosY = wp.rcNormalPosition.top;
    g_Settings.WinSizeX = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
    g_Settings.WinSizeY = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
    g_Settings.Maximized = wp.showCmd == SW_SHOWMAXIMIZED ? 1 : 0;
  }
  int listHeight = -1, minimum = 0;
  if (m_pSplitter && m_pSplitter->GetRowInfo(0, &listHeight, &minimum) && listHeight != -1)
    g_Settings.GridSizeY = listHeight;
  g_Settings.ShowToolbar = m_bToolbarVisible ? 1 : 0;
  g_Settings.CalMode = static_cast<int16_t>(m_nCalMode);
  if (CShellDocument* doc = GetShellDocument()) doc->UpdateAllViews(nullptr, kHintSaveState);
}

