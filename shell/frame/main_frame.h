// CMainFrame: the one top-level window "Almacora" of the class
// "AlmacoraClass": menus, accelerators, the toolbar "Standard" (0xE800),
// the status bar (0xE801) with the time and date panes, the views, the
// one-second timer, and the commands and private messages other windows
// and other programs send it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/event/event_operations.h"
#include "alarms/core/alarm_check_timing.h"
#include "alarms/core/alarm_scan.h"

#include "framework/controls/status_bar.h"
#include "framework/controls/tool_bar.h"
#include "framework/frame_window.h"
#include "model/events/occurrence_ref.h"
#include "shell/frame/frame_tool_tip.h"

class CCalEvent;
class CCalendarFile;
class CCalendarsDialog;
class CDateTime;
class CShellDocument;
class CAlmacoraSplitter;
class CCalFrame;
class CPrintSettingsDlg;
class CGridView;
class IEventOperationsHost;
class CAlarmRemindersDlg;
class CFrameReminderHost;
class IEventOperations;

namespace caledit {
struct AlarmActionValues;
}  // namespace caledit
namespace dialogs {
class CCalEdit;
}  // namespace dialogs

namespace alarms {
class CTimerDlg;
class CAlarmErrorLogDlg;
}  // namespace alarms

class CMainFrame : public framework::CFrameWindow, public dialogs::IEventOperations {
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
  // The subscribe dialog preset with the address, the calendar name made
  // from it and that name + ".akv" as local file (an empty address leaves
  // them empty). TRUE when something was subscribed or previewed (the
  // document then recounts).
  BOOL SubscribeToUrl(const std::string& address);
  // The "New Calendar" dialog over `owner` (null: this window), which is
  // active again afterwards.
  void NewCalendar(HWND owner = nullptr);
  // The open-file dialog of a calendar over `owner` (null: this window).
  void OpenFileOver(HWND owner);
  // Calendar commands (main_frame_calendars.cpp).
  // The open-calendars chooser with its prompt and OK caption; true after
  // OK, *chosen the picked calendar (null for "All Calendars").
  bool PickCalendar(HWND owner, const std::string& prompt, const std::string& button, bool offerAll, int initialId,
                    CCalendarFile** chosen);
  // Opens a closed listed calendar through the calendar manager (made
  // hidden when missing); FALSE when open or previewed already.
  BOOL OpenCalendar(CCalendarFile* calendar);
  // The subscribed calendar's refresh in its progress window, then a
  // recount; the refresh's result.
  BOOL RefreshCalendar(CCalendarFile* calendar);
  // The calendar manager, made hidden on first need; null without a
  // document.
  CCalendarsDialog* GetCalendarsDialog();
  // "Edit Calendar Entries" while it is open, else null.
  dialogs::CCalEdit* GetCalendarEntries() { return m_pCalendarEntries; }
  // The calendars or their events changed: the manager and an open "Edit
  // Calendar Entries" show them again.
  void CalendarsChanged();
  // Where Move asks for the new folder; tests install their own answer.
  using FolderBrowser = bool (*)(HWND owner, const std::string& title, std::string* folder);
  static FolderBrowser SetFolderBrowser(FolderBrowser browser);
  // Puts the window's place, toolbar and calendar mode into the settings
  // and tells the views to save their state (hint 6).
  void SaveWindowPlacement();
  // The time pane's update: both clock panes, item enabled.
  void OnUpdateTime(framework::CCmdUI* ui);
  // Every second: the interval test, then the day change, the date set
  // back, the alarm check, the daily reminder and the splash step.
  void PeriodicCheck();
  // Backup and restore of the calendar files (main_frame_backup.cpp).
  // BackupData: TRUE when every copy was made. CheckScheduledBackup: asks
  // once per run when the scheduled backup is due.
  BOOL BackupData();
  void CheckScheduledBackup();

  // ---- Event operations the views call (main_frame_events.cpp). Each runs
  // the event editor or a prompt and hands the result to the document.
  // References are taken by value: the view rebuild an operation triggers
  // frees the rows the caller's reference came from.
  // With the type filter on (and WarnFilter set): offers to turn it off.
  void WarnIfFiltered();
  // A new event on the day at DefaultEventTime (today without a date).
  void AddEventOnDate(const CDateTime* date);
  // A new timed event from start to end (the end shown), or at start.
  void AddEventRange(const CDateTime* start, const CDateTime* end);
  void AddAllDayEvent(const CDateTime& date);
  // Runs the editor on a new event and owns it from then on; Save and New
  // chains further new events dated today.
  void EditNewEvent(CCalEvent* event);
  // Copies of the source, each with its own UID, until the editor is left
  // without Save and New.
  void AddCopy(const CCalEvent& source);
  // TRUE when the event was saved.
  BOOL ModifyEvent(COccurrenceRef occurrence) override;
  // The event editor owned by `owner` (the window the user asked from), so
  // that its end gives that window back rather than the main window.
  BOOL ModifyEventOver(HWND owner, COccurrenceRef occurrence);
  // TRUE when the whole event was removed (one occurrence deleted alone
  // answers FALSE).
  BOOL DeleteEvent(COccurrenceRef occurrence) override;
  // FALSE unless the user answered Yes (or the warning is off).
  BOOL ConfirmAcknowledge(BOOL oneTime);
  void ExportEvent(COccurrenceRef occurrence);
  // Prints the occurrence on the default printer (CPrintEvent).
  void PrintEvent(COccurrenceRef occurrence) override;
  // The "Event Information" dialog on the occurrence.
  void ShowEventDetails(COccurrenceRef occurrence);
  // The host the operations work through; the previous one is returned
  // (null restores the program's document).
  static IEventOperationsHost* SetEventOperationsHost(IEventOperationsHost* host);
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
  // Calendar views: the main splitter (list above, calendar frame below),
  // its layout mode (0 both, 1 list only, 2 calendar only; -1 before the
  // first drawing) and the calendar frame.
  CAlmacoraSplitter* GetMainSplitter() const { return m_pSplitter; }
  int GetLayoutMode() const;
  CCalFrame* GetCalFrame() const;
  // The event list view (the template's view), or null.
  CGridView* GetListView() const;
  // Set by the print preview's print button until the next Print command,
  // which then skips the "Print" dialog once.
  bool IsPreviewPrintPending() const { return m_bPreviewPrint; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  bool OnCreate(const CREATESTRUCTA& cs) override;
  bool OnCreateClient(const CREATESTRUCTA& cs, framework::CCreateContext* context) override;
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
  void OnCalendarWizard();
  void OnSubscribe();
  void OnFileOpen();
  void OnEditAdd();
  void OnNewCalendar() { NewCalendar(); }
  void OnCalendarClose();
  void OnCalendarMove();
  void OnCalendarImport();
  void OnCalendarConvert();
  void OnCalendarExport();
  void ExportICalendar();
  // The sharing dialogs' calendar search (main_frame_sharing.cpp); their help
  // is the application's, there before the frame (the first-start wizard).
  static void InstallSharingHooks(bool install);
  // Wizard, entries editor, backup and restore (main_frame_backup.cpp).
  void OnEventWizard();
  void OnEventManager();
  // "Edit Calendar Entries" over `owner` showing the calendar `calendarId`
  // first (-1: the first open one), with the event editor and the alarm
  // actions sheet: the main window and the calendar manager open it alike.
  void RunCalendarEntries(HWND owner, int calendarId);
  // The alarm actions sheet over plain values (main_frame_alarm_actions.cpp);
  // true after its OK.
  static bool EditAlarmActionValues(HWND owner, caledit::AlarmActionValues* values);
  void OnCalendarBackupData();
  void OnCalendarRestoreData();
  // Options and the type filter (main_frame_options.cpp).
  void OnOptions();
  void OnFilter();
  // Update handlers.
  void OnUpdateDay(framework::CCmdUI* ui);
  void OnUpdateWeek(framework::CCmdUI* ui);
  void OnUpdateMonth(framework::CCmdUI* ui);
  void OnUpdateShowAll(framework::CCmdUI* ui);
  void OnUpdateShowUpcoming(framework::CCmdUI* ui);
  // Messages.
  void OnInitMenu(HMENU menu);
  void OnActivate(UINT state, HWND other, BOOL minimized);
  LRESULT OnRaiseOwned(WPARAM, LPARAM);
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

  // Alarm actions: quick timer and alarm log (main_frame_alarm_actions.cpp).
  void OnQuickTimer();
  void OnAlarmLog();

  // Calendar views (main_frame_calviews.cpp).
  void OnViewCalendarAndList();
  void OnViewListOnly();
  void OnViewCalendarOnly();
  void OnViewResize();
  void OnUpdateCalendarAndList(framework::CCmdUI* ui);
  void OnUpdateListOnly(framework::CCmdUI* ui);
  void OnUpdateCalendarOnly(framework::CCmdUI* ui);
  void OnUpdateToday(framework::CCmdUI* ui);

  void SetCalMode(int mode);
  IEventOperationsHost* EventHost();
  // Runs the editor on a new event (owned here); the dialog's result.
  // *chosenCalendar (when given) receives the calendar id the user left
  // chosen in it.
  int RunNewEventEditor(CCalEvent* event, int* chosenCalendar = nullptr);
  // The chain of new events dated today while Save and New is chosen, each
  // starting in the calendar chosen in the editor before it.
  void ChainNewEvents(int result, int calendarId);
  void OpenControlPanelApplet(const char* library);
  // Printing (main_frame_printing.cpp): "Print..." opens the kept "Print"
  // dialog and carries out its result.
  void OnCalendarPrint();
  void CarryOutPrint(int result);
  // The preview's print button (1196): closes the preview, prints its
  // report at once.
  void OnPreviewPrint();
  // 57606: the application's print set-up dialog.
  void OnFilePrintSetup();
  // Month or week page (57607 print, 57609 preview) through the calendar
  // view; the list through the list view.
  void PrintCalendar(bool week, UINT command);
  void PrintList(UINT command);

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
  bool m_bRaiseOwnedPosted = false;
  bool m_bPreviewPrint = false;
  int m_nRestoreShow = SW_RESTORE;
  std::vector<HMODULE> m_arrCplLibs;
  framework::CStatusBar m_wndStatusBar;
  framework::CToolBar m_wndToolBar;
  CAlmacoraSplitter* m_pSplitter = nullptr;  // deleted with the frame
  std::unique_ptr<IEventOperationsHost> m_pShellEventHost;
  std::unique_ptr<::IEventOperations> m_pEventOperations;  // installed for the views
  // Made on first need and kept for the run.
  std::unique_ptr<alarms::CTimerDlg> m_pQuickTimer;
  std::unique_ptr<alarms::CAlarmErrorLogDlg> m_pAlarmLog;
  std::shared_ptr<CPrintSettingsDlg> m_pPrintSettings;  // kept between uses
  std::unique_ptr<CCalendarsDialog> m_pCalendarsDlg;
  dialogs::CCalEdit* m_pCalendarEntries = nullptr;  // while RunCalendarEntries shows it
};
