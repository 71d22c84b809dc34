// CMainFrame: the one top-level window "Almacora" of the class
// "AlmacoraClass": menus, accelerators, the toolbar "Standard" (0xE800),
// the status bar (0xE801) with the time and date panes, the views, the
// one-second timer, and the commands and private messages other windows
// and other programs send it.
//
// Commands whose windows are not built yet have no handler and stay grey;
// the calendar manager and subscription answer with a box saying they are
// not there yet.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "alarms/core/alarm_check_timing.h"
#include "alarms/core/alarm_scan.h"

#include "framework/controls/status_bar.h"
#include "framework/controls/tool_bar.h"
#include "framework/frame_window.h"
#include "shell/frame_tool_tip.h"

class CShellDocument;
class CAlarmRemindersDlg;
class CFrameReminderHost;

class CMainFrame : public framework::CFrameWindow {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // The application's main frame, or null.
  static CMainFrame* Get();

  // Menu item 32843 reads "F&ILTER ON" while the type filter is active,
  // else "F&ilter".
  void UpdateFilterMenu();
  // Shows, restores and brings the window to the front.
  void BringToFront();
  // Subscribing is not built yet: says so and answers FALSE.
  BOOL SubscribeToUrl(const std::string& address);
  // Puts the window's place, toolbar and calendar mode into the settings
  // and tells the views to save their state (hint 6).
  void SaveWindowPlacement();
  // The time pane's update: both clock panes, item enabled.
  void OnUpdateTime(framework::CCmdUI* ui);
  // Every second: the interval test, then the day change, the date set
  // back, the alarm check, the daily reminder and the splash step.
  void PeriodicCheck();
  // The alarm check at that local time: due events go to the reminder
  // window (created on first need); then the shared calendars re-sync.
  void CheckAlarms(const SYSTEMTIME& local);
  void CheckDailyReminder(const SYSTEMTIME& local);
  // The reminder window, or null before the first due alarm.
  CAlarmRemindersDlg* GetAlarmWindow() const { return m_pAlarmDlg.get(); }

  // ---- Notification-area icon (main_frame_tray.cpp).
  // Shell_NotifyIcon with the version-2 record; the icon given is destroyed
  // afterwards. The shell's result.
  BOOL AddTrayIcon(HWND window, UINT id, HICON icon, const char* tip);
  BOOL ModifyTrayIcon(HWND window, UINT id, HICON icon, const char* tip);
  BOOL DeleteTrayIcon(HWND window, UINT id);
  // Puts in or renews the icon for today.
  void UpdateTrayIcon();
  // Shows a hidden or minimized window (maximized when it was) and brings
  // it to the front.
  void RestoreFromTray();
  bool IsHiddenInTray() const { return m_bHidden; }
  bool HasTrayIcon() const { return m_hTrayIcon != nullptr; }
  static constexpr UINT kTrayIconId = 100;

  int GetCalMode() const { return m_nCalMode; }
  bool IsToolbarVisible() const { return m_bToolbarVisible; }
  bool IsSearchOwner() const { return m_bSearchOwner; }
  framework::CStatusBar& GetStatusBar() { return m_wndStatusBar; }
  framework::CToolBar& GetToolBar() { return m_wndToolBar; }
  CShellDocument* GetShellDocument() const;
  int GetPictureWidth() const { return m_nPictureWidth; }
  int GetPictureHeight() const { return m_nPictureHeight; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnClose() override;
  void OnDestroy() override;

 private:
  // Commands.
  void OnToggleToolbar();
  void OnEventCount();
  void OnViewDay();
  void OnViewWeek();
  void OnViewMonth();
  void OnViewAll();
  void OnViewUpcoming();
  void OnOldInList();
  void OnOldInCalendar();
  void OnResetAll();
  void OnToday();
  void OnNewDate();
  void OnDateTimeApplet();
  void OnRegionalApplet();
  void OnWebSite();
  void OnHelpFinder();
  void OnCloseCommand();
  void OnCalendarSearch();
  void OnCalendarManager();
  void OnSubscribe();
  void OnFileOpen();
  // Update handlers.
  void OnUpdateDay(framework::CCmdUI* ui);
  void OnUpdateWeek(framework::CCmdUI* ui);
  void OnUpdateMonth(framework::CCmdUI* ui);
  void OnUpdateShowAll(framework::CCmdUI* ui);
  void OnUpdateShowUpcoming(framework::CCmdUI* ui);
  // Messages.
  void OnInitMenu(HMENU menu);
  void OnActivate(UINT state, HWND other, BOOL minimized);
  BOOL OnCopyData(HWND sender, COPYDATASTRUCT* data);
  LRESULT OnQuerySearchOwner(WPARAM, LPARAM);
  LRESULT OnAppsTest(WPARAM, LPARAM);
  LRESULT OnMonthPicture(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetPictureSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnShowAlarmLog(WPARAM, LPARAM);
  // Reminders and the notification area.
  LRESULT OnTrayNotify(WPARAM, LPARAM);
  LRESULT OnTaskbarCreated(WPARAM, LPARAM);
  LRESULT OnSysCommand(WPARAM, LPARAM);
  void OnCalendarHideWindow();
  void OnTrayRestore() { RestoreFromTray(); }
  void ShowTrayMenu();
  void OnDayChanged();
  void AskResetAfterDateSetBack();

  void SetCalMode(int mode);
  void OpenControlPanelApplet(const char* library);

  CFrameToolTip m_wndToolTip;
  bool m_bToolbarVisible = true;
  alarmcore::CCheckClock m_checkClock{0, 0};
  alarmcore::CAlarmScanner m_alarmScanner;
  unsigned m_nScannedChangeSerial = 0;
  alarmcore::CDailyReminderArm m_dailyArm;
  bool m_bDailyOpen = false;
  HICON m_hTrayIcon = nullptr;
  std::unique_ptr<CFrameReminderHost> m_pReminderHost;
  std::unique_ptr<CAlarmRemindersDlg> m_pAlarmDlg;
  UINT_PTR m_nTimerId = 0;
  bool m_bSearchOwner = false;
  int m_nPictureHeight = 400;
  int m_nPictureWidth = 600;
  int m_nCalMode = 0;
  bool m_bHidden = false;
  int m_nRestoreShow = SW_RESTORE;
  std::vector<HMODULE> m_arrCplLibs;
  framework::CStatusBar m_wndStatusBar;
  framework::CToolBar m_wndToolBar;
};
