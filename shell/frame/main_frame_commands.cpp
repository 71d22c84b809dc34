// The main frame's command table and update handlers.
#include <windows.h>
#include <shellapi.h>

#include <cpl.h>

#include <cstdio>

#include "dialogs/small/select_month_dlg.h"
#include "framework/cmd_ui.h"
#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/message_box.h"
#include "model/dates/date_time.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/calendar/cal_frame.h"
#include "controls/open_link.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "shell/app/shell_services.h"
#include "shell/frame/tray_icon_calls.h"

using framework::OnCommand;
using framework::OnUpdateUi;

FRAMEWORK_BEGIN_MESSAGE_MAP(CMainFrame, framework::CFrameWindow)
  OnCommand<&CMainFrame::OnToggleToolbar>(ID_VIEW_TOOLBAR),
  OnCommand<&CMainFrame::OnEventCount>(ID_EVENT_COUNT),
  OnCommand<&CMainFrame::OnViewDay>(ID_VIEW_DAY),
  OnCommand<&CMainFrame::OnViewDay>(ID_VIEW_DAY_KEY),
  OnCommand<&CMainFrame::OnViewWeek>(ID_VIEW_WEEK),
  OnCommand<&CMainFrame::OnViewWeek>(ID_KEY_WEEK),
  OnCommand<&CMainFrame::OnViewMonth>(ID_VIEW_MONTH),
  OnCommand<&CMainFrame::OnViewMonth>(ID_KEY_MONTH),
  OnCommand<&CMainFrame::OnViewAll>(ID_VIEW_ALL),
  OnCommand<&CMainFrame::OnViewAll>(ID_VIEW_ALL_KEY),
  OnCommand<&CMainFrame::OnViewUpcoming>(ID_VIEW_UPCOMING),
  OnCommand<&CMainFrame::OnViewUpcoming>(ID_VIEW_UPCOMING_KEY),
  OnCommand<&CMainFrame::OnOldInList>(ID_VIEW_OLD_IN_LIST),
  OnCommand<&CMainFrame::OnOldInCalendar>(ID_VIEW_OLD_IN_CALENDAR),
  OnCommand<&CMainFrame::OnResetAll>(ID_EVENT_RESET_ALL),
  OnCommand<&CMainFrame::OnToday>(ID_VIEW_TODAY),
  OnCommand<&CMainFrame::OnNewDate>(ID_VIEW_NEW_DATE),
  OnCommand<&CMainFrame::OnNewDate>(ID_KEY_NEW_DATE),
  OnCommand<&CMainFrame::OnDateTimeApplet>(ID_SETUP_DATE_TIME),
  OnCommand<&CMainFrame::OnRegionalApplet>(ID_SETUP_REGIONAL),
  OnCommand<&CMainFrame::OnWebSite>(ID_HELP_WEB_SITE),
  OnCommand<&CMainFrame::OnHelpFinder>(ID_HELP_FINDER),
  OnCommand<&CMainFrame::OnHelpFinder>(ID_KEY_HELP),
  OnCommand<&CMainFrame::OnCloseCommand>(ID_ALT_F4),
  OnCommand<&CMainFrame::OnCalendarSearch>(ID_CALENDAR_SEARCH),
  OnCommand<&CMainFrame::OnCalendarManager>(ID_CALENDAR_MANAGER),
  OnCommand<&CMainFrame::OnCalendarWizard>(ID_CALENDAR_WIZARD),
  OnCommand<&CMainFrame::OnCalendarManager>(ID_CALENDAR_MANAGER_KEY),
  OnCommand<&CMainFrame::OnCalendarManager>(ID_CALENDAR_MANAGER_BUTTON),
  OnCommand<&CMainFrame::OnCalendarManager>(ID_KEY_MANAGER),
  OnCommand<&CMainFrame::OnCalendarManager>(ID_EXTRA_MANAGER),
  OnCommand<&CMainFrame::OnSubscribe>(ID_CALENDAR_SUBSCRIBE),
  OnCommand<&CMainFrame::OnSubscribe>(ID_CALENDAR_SUBSCRIBE_KEY),
  OnCommand<&CMainFrame::OnFileOpen>(ID_FILE_OPEN),
  OnCommand<&CMainFrame::OnFileOpen>(ID_KEY_OPEN),
  // Event editing: Add (the other event commands are the views').
  OnCommand<&CMainFrame::OnEditAdd>(ID_EVENT_ADD),
  OnCommand<&CMainFrame::OnEditAdd>(ID_KEY_ADD),
  OnCommand<&CMainFrame::OnEditAdd>(ID_EXTRA_ADD),
  // Internet calendars (sharing): New Calendar.
  OnCommand<&CMainFrame::OnNewCalendar>(ID_FILE_NEW),
  OnCommand<&CMainFrame::OnNewCalendar>(ID_KEY_NEW),
  // Calendar dialogs: close, move, import and export.
  OnCommand<&CMainFrame::OnCalendarClose>(ID_CALENDAR_CLOSE),
  OnCommand<&CMainFrame::OnCalendarMove>(ID_CALENDAR_MOVE),
  OnCommand<&CMainFrame::OnCalendarImport>(ID_CALENDAR_IMPORT),
  OnCommand<&CMainFrame::OnCalendarConvert>(ID_CALENDAR_CONVERT),
  OnCommand<&CMainFrame::OnCalendarExport>(ID_CALENDAR_EXPORT),
  // Wizard, entries editor, backup and restore (main_frame_backup.cpp).
  OnCommand<&CMainFrame::OnEventWizard>(ID_EVENT_WIZARD),
  OnCommand<&CMainFrame::OnEventWizard>(ID_KEY_WIZARD),
  OnCommand<&CMainFrame::OnEventManager>(ID_EVENT_MANAGER),
  OnCommand<&CMainFrame::OnCalendarBackupData>(ID_CALENDAR_BACKUP),
  OnCommand<&CMainFrame::OnCalendarBackupData>(ID_KEY_BACKUP),
  OnCommand<&CMainFrame::OnCalendarRestoreData>(ID_CALENDAR_RESTORE),
  // Options and the type filter.
  OnCommand<&CMainFrame::OnOptions>(ID_SETUP_OPTIONS),
  OnCommand<&CMainFrame::OnOptions>(ID_EXTRA_OPTIONS),
  OnCommand<&CMainFrame::OnFilter>(ID_VIEW_FILTER),
  // Printing (main_frame_printing.cpp).
  OnCommand<&CMainFrame::OnCalendarPrint>(ID_CALENDAR_PRINT),
  OnCommand<&CMainFrame::OnCalendarPrint>(ID_KEY_PRINT),
  OnCommand<&CMainFrame::OnPreviewPrint>(ID_PREVIEW_PRINT),
  OnCommand<&CMainFrame::OnFilePrintSetup>(ID_FILE_PRINT_SETUP),
  OnUpdateUi<&CMainFrame::OnUpdateDay>(ID_VIEW_DAY),
  OnUpdateUi<&CMainFrame::OnUpdateDay>(ID_VIEW_DAY_KEY),
  OnUpdateUi<&CMainFrame::OnUpdateWeek>(ID_VIEW_WEEK),
  OnUpdateUi<&CMainFrame::OnUpdateWeek>(ID_KEY_WEEK),
  OnUpdateUi<&CMainFrame::OnUpdateMonth>(ID_VIEW_MONTH),
  OnUpdateUi<&CMainFrame::OnUpdateMonth>(ID_KEY_MONTH),
  OnUpdateUi<&CMainFrame::OnUpdateShowAll>(ID_VIEW_ALL_KEY),
  OnUpdateUi<&CMainFrame::OnUpdateShowUpcoming>(ID_VIEW_UPCOMING_KEY),
  OnUpdateUi<&CMainFrame::OnUpdateTime>(ID_INDICATOR_TIME),
  // Calendar views: the layouts of the main splitter and the bar's keyboard move.
  OnCommand<&CMainFrame::OnViewCalendarAndList>(ID_VIEW_CALENDAR_AND_LIST),
  OnCommand<&CMainFrame::OnViewCalendarAndList>(ID_EXTRA_CALENDAR_AND_LIST),
  OnCommand<&CMainFrame::OnViewListOnly>(ID_VIEW_LIST_ONLY),
  OnCommand<&CMainFrame::OnViewListOnly>(ID_EXTRA_LIST_ONLY),
  OnCommand<&CMainFrame::OnViewCalendarOnly>(ID_VIEW_CALENDAR_ONLY),
  OnCommand<&CMainFrame::OnViewCalendarOnly>(ID_EXTRA_CALENDAR_ONLY),
  OnCommand<&CMainFrame::OnViewResize>(ID_VIEW_RESIZE),
  OnUpdateUi<&CMainFrame::OnUpdateCalendarAndList>(ID_VIEW_CALENDAR_AND_LIST),
  OnUpdateUi<&CMainFrame::OnUpdateListOnly>(ID_VIEW_LIST_ONLY),
  OnUpdateUi<&CMainFrame::OnUpdateCalendarOnly>(ID_VIEW_CALENDAR_ONLY),
  OnUpdateUi<&CMainFrame::OnUpdateToday>(ID_VIEW_TODAY),
  framework::OnWmInitMenu<&CMainFrame::OnInitMenu>(),
  framework::OnWmActivate<&CMainFrame::OnActivate>(),
  framework::OnWmCopyData<&CMainFrame::OnCopyData>(),
  framework::OnMessage<&CMainFrame::OnQuerySearchOwner>(WM_QUERYSEARCHOWNER),
  framework::OnMessage<&CMainFrame::OnAppsTest>(WM_APPSTEST),
  framework::OnMessage<&CMainFrame::OnMonthPicture>(WM_MONTHPICTURE),
  framework::OnMessage<&CMainFrame::OnSetPictureSize>(WM_SETPICTURESIZE),
  framework::OnMessage<&CMainFrame::OnShowAlarmLog>(WM_SHOWALARMLOG),
  framework::OnMessage<&CMainFrame::OnRaiseOwned>(WM_RAISEOWNED),
  // Reminders and the notification area (main_frame_tray.cpp).
  OnCommand<&CMainFrame::OnCalendarHideWindow>(ID_CALENDAR_HIDE),
  OnCommand<&CMainFrame::OnCalendarHideWindow>(ID_KEY_HIDE),
  OnCommand<&CMainFrame::OnCalendarHideWindow>(ID_EXTRA_HIDE),
  OnCommand<&CMainFrame::OnTrayRestore>(ID_TRAY_RESTORE),
  framework::OnMessage<&CMainFrame::OnTrayNotify>(WM_TRAYNOTIFY),
  framework::OnMessage<&CMainFrame::OnSysCommand>(WM_SYSCOMMAND),
  framework::OnRegistered<&CMainFrame::OnTaskbarCreated>(g_TaskbarCreatedMessage),
  // Alarm actions: quick timer and alarm log.
  OnCommand<&CMainFrame::OnQuickTimer>(ID_QUICK_TIMER),
  OnCommand<&CMainFrame::OnQuickTimer>(ID_QUICK_TIMER_KEY),
  OnCommand<&CMainFrame::OnAlarmLog>(ID_ALARM_LOG),
FRAMEWORK_END_MESSAGE_MAP()

void CMainFrame::OnToggleToolbar() {
  m_bToolbarVisible = !m_bToolbarVisible;
  m_wndToolBar.Show(m_bToolbarVisible ? SW_SHOW : SW_HIDE);
  RecalcLayout();
}

void CMainFrame::OnEventCount() {
  CShellDocument* doc = GetShellDocument();
  char text[128];
  std::snprintf(text, sizeof text, "%d User Defined Events\n%d Subscribed / Previewed Events\n",
                doc ? doc->CountUserEvents() : 0, doc ? doc->CountSubscribedEvents() : 0);
  framework::MessageBox(text, MB_OK | MB_ICONINFORMATION, "Event Count");
}

void CMainFrame::SetCalMode(int mode) {
  // Month and week share one view: the frame is switched every time, the
  // hint goes out only on a change.
  if (CCalFrame* frame = GetCalFrame()) frame->SwitchView(mode == 2 ? 2 : 1);
  if (m_nCalMode == mode) return;
  m_nCalMode = mode;
  if (mode == 2) return;
  if (CShellDocument* doc = GetShellDocument())
    doc->UpdateAllViews(nullptr, kHintMonthWeek, reinterpret_cast<void*>(static_cast<INT_PTR>(mode == 1 ? 1 : 0)));
}

void CMainFrame::OnViewDay() { SetCalMode(2); }
void CMainFrame::OnViewWeek() { SetCalMode(1); }
void CMainFrame::OnViewMonth() { SetCalMode(0); }

void CMainFrame::OnViewAll() {
  framework::CWaitCursor wait;
  CShellDocument* doc = GetShellDocument();
  if (doc && doc->GetDisplayMode() != 1) {
    doc->SetViewMode(1);
    g_Settings.ShowState = 1;
  }
}

void CMainFrame::OnViewUpcoming() {
  framework::CWaitCursor wait;
  CShellDocument* doc = GetShellDocument();
  if (doc && doc->GetDisplayMode() == 1) {
    doc->SetViewMode(0);
    g_Settings.ShowState = 0;
  }
}

void CMainFrame::OnOldInList() {
  g_Settings.ShowAcknowledgedList = g_Settings.ShowAcknowledgedList ? 0 : 1;
  if (CShellDocument* doc = GetShellDocument()) doc->UpdateAllViews(nullptr, kHintReload);
}

void CMainFrame::OnOldInCalendar() {
  g_Settings.ShowAcknowledgedCalendar = g_Settings.ShowAcknowledgedCalendar ? 0 : 1;
  if (CShellDocument* doc = GetShellDocument()) doc->UpdateAllViews(nullptr, kHintReload);
}

void CMainFrame::OnResetAll() {
  if (CShellDocument* doc = GetShellDocument()) doc->ResetAllEvents();
}

void CMainFrame::OnToday() {
  if (CShellDocument* doc = GetShellDocument()) doc->UpdateAllViews(nullptr, kHintGoToDate, nullptr);
}

void CMainFrame::OnNewDate() {
  CDateTime today = CDateTime::Today();
  dialogs::CSelectMonthDlg dlg(GetSafeHwnd());
  dlg.year = today.GetYear();
  dlg.monthIndex = today.GetMonth() - 1;
  if (dlg.DoModal() != IDOK) return;
  CDateTime first(1, dlg.monthIndex + 1, dlg.year);
  if (CShellDocument* doc = GetShellDocument()) doc->UpdateAllViews(nullptr, kHintGoToDate, &first);
}

void CMainFrame::OpenControlPanelApplet(const char* library) {
  HMODULE lib = ::LoadLibraryA(library);
  APPLET_PROC applet =
      lib ? reinterpret_cast<APPLET_PROC>(reinterpret_cast<void*>(::GetProcAddress(lib, "CPlApplet"))) : nullptr;
  if (!applet) {
    if (lib) ::FreeLibrary(lib);
    framework::MessageBox("Could Not Load Date/Time Control Panel Window", MB_OK | MB_ICONEXCLAMATION, "Error");
    return;
  }
  applet(nullptr, CPL_INIT, 0, 0);
  applet(nullptr, CPL_GETCOUNT, 0, 0);
  CPLINFO info{};
  applet(nullptr, CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&info));
  applet(nullptr, CPL_DBLCLK, 0, info.lData);
  m_arrCplLibs.push_back(lib);
}

void CMainFrame::OnDateTimeApplet() { OpenControlPanelApplet("timedate.cpl"); }
void CMainFrame::OnRegionalApplet() { OpenControlPanelApplet("intl.cpl"); }

void CMainFrame::OnWebSite() {
  auto r = reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(GetSafeHwnd(), "open", (g_ProgramFolder + "corvelle.url").c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL));
  if (r <= 32) framework::MessageBox("Error Opening Web Browser", MB_OK | MB_ICONEXCLAMATION, "Error");
}

void CMainFrame::OnHelpFinder() {
  if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp())) app->WinHelp(0, HELP_FINDER);
}

void CMainFrame::OnCloseCommand() { OnClose(); }

void CMainFrame::OnCalendarSearch() {
  m_bSearchOwner = true;
  // The Internet calendar search page, opened as a link is.
  shellcontrols::OpenLinkTarget(g_Settings.CalendarSearchURL, SW_SHOW);
}

void CMainFrame::OnSubscribe() { SubscribeToUrl(std::string()); }

void CMainFrame::OnFileOpen() { OpenFileOver(GetSafeHwnd()); }

void CMainFrame::OpenFileOver(HWND owner) {
  if (!owner) owner = GetSafeHwnd();
  framework::CFileDialog dlg(true, "akv", "", OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY,
                             "Event Files (*.akv)|*.akv|iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*||",
                             owner);
  dlg.title = "Select Data File";
  if (dlg.DoModal() == IDOK) {
    if (CShellDocument* doc = GetShellDocument()) doc->OpenCalendarFile(dlg.GetPathName(), false);
  }
  ::SetActiveWindow(owner);
}

void CMainFrame::OnUpdateDay(framework::CCmdUI* ui) {
  ui->SetCheck(m_nCalMode == 2);
  ui->Enable(GetLayoutMode() != 1);
}

void CMainFrame::OnUpdateWeek(framework::CCmdUI* ui) {
  ui->SetCheck(m_nCalMode == 1);
  ui->Enable(GetLayoutMode() != 1);
}

void CMainFrame::OnUpdateMonth(framework::CCmdUI* ui) {
  ui->SetCheck(m_nCalMode == 0);
  ui->Enable(GetLayoutMode() != 1);
}

void CMainFrame::OnUpdateShowAll(framework::CCmdUI* ui) {
  CShellDocument* doc = GetShellDocument();
  ui->SetCheck(doc && doc->GetDisplayMode() == 1);
}

void CMainFrame::OnUpdateShowUpcoming(framework::CCmdUI* ui) {
  CShellDocument* doc = GetShellDocument();
  ui->SetCheck(doc && doc->GetDisplayMode() == 0);
}
