// The main frame in the notification area: the day-of-month icon, hiding
// into it instead of minimizing, and coming back.
#include <cstdio>
#include <cstring>

#include "dialogs/small/warning_dlg.h"
#include "framework/application.h"
#include "model/settings/program_settings.h"
#include "platform/clock.h"
#include "res/resource.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "shell/frame/tray_icon_calls.h"

namespace {

BOOL NotifyWithRecord(DWORD message, HWND window, UINT id, HICON icon, const char* tip) {
  NOTIFYICONDATAA data{};
  data.cbSize = kTrayRecordSize;
  data.hWnd = window;
  data.uID = id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAYNOTIFY;
  data.hIcon = icon;
  std::snprintf(data.szTip, sizeof data.szTip, "%s", tip ? tip : "");
  const BOOL result = CallNotifyIcon(message, &data);
  if (icon) ::DestroyIcon(icon);
  return result;
}

}  // namespace

BOOL CMainFrame::AddTrayIcon(HWND window, UINT id, HICON icon, const char* tip) {
  return NotifyWithRecord(NIM_ADD, window, id, icon, tip);
}

BOOL CMainFrame::ModifyTrayIcon(HWND window, UINT id, HICON icon, const char* tip) {
  return NotifyWithRecord(NIM_MODIFY, window, id, icon, tip);
}

BOOL CMainFrame::DeleteTrayIcon(HWND window, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = kTrayRecordSize;
  data.hWnd = window;
  data.uID = id;
  return CallNotifyIcon(NIM_DELETE, &data);
}

void CMainFrame::UpdateTrayIcon() {
  if (!g_Settings.TrayAvailable) return;
  const platform::CivilTime now = platform::LocalNow();
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(now.year);
  st.wMonth = static_cast<WORD>(now.month);
  st.wDay = static_cast<WORD>(now.day);
  char date[30] = "";
  ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
  const std::string tip = std::string("Almacora : ") + date;
  char name[32];
  std::snprintf(name, sizeof name, "IDI_TRAYICON%d", now.day);
  framework::CApplication* app = framework::TheApp();
  HINSTANCE instance = app ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  HICON icon = static_cast<HICON>(::LoadImageA(instance, name, IMAGE_ICON, 16, 16, 0));
  if (!m_hTrayIcon) {
    m_hTrayIcon = icon;
    if (!AddTrayIcon(GetSafeHwnd(), kTrayIconId, icon, tip.c_str())) m_hTrayIcon = nullptr;
  } else {
    m_hTrayIcon = icon;
    ModifyTrayIcon(GetSafeHwnd(), kTrayIconId, icon, tip.c_str());
  }
}

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM lParam) {
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
      if (m_bHidden) {
        RestoreFromTray();
      } else {
        OnCalendarHideWindow();
      }
      break;
    case WM_RBUTTONDOWN:
      ShowTrayMenu();
      break;
    default:
      break;
  }
  return 0;
}

void CMainFrame::ShowTrayMenu() {
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return;
  ::AppendMenuA(menu, MF_STRING, ID_TRAY_RESTORE, "&Restore Window");
  ::AppendMenuA(menu, MF_STRING, ID_EVENT_ADD, "&Add Event");
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, ID_APP_ABOUT, "A&bout");
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, ID_APP_EXIT, "&Exit");
  POINT pt{};
  ::GetCursorPos(&pt);
  ::SetForegroundWindow(GetSafeHwnd());
  ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, GetSafeHwnd(), nullptr);
  ::PostMessageA(GetSafeHwnd(), WM_NULL, 0, 0);
  ::DestroyMenu(menu);
}

LRESULT CMainFrame::OnTaskbarCreated(WPARAM, LPARAM) {
  m_hTrayIcon = nullptr;
  UpdateTrayIcon();
  return 0;
}

void CMainFrame::OnCalendarHideWindow() {
  if (!g_Settings.TrayAvailable) {
    ::ShowWindow(GetSafeHwnd(), SW_MINIMIZE);
    return;
  }
  bool hide = true;
  if (g_Settings.WarnHiding) {
    dialogs::CWarningDlg dlg(GetSafeHwnd());
    dlg.message =
        "You are about to hide the Almacora Main Window.\nClick the small icon in the task tray to restore.\n\n"
        "Continue Hiding Window?";
    dlg.doNotShow = 1;
    const int answer = dlg.DoModal();
    hide = answer == IDYES;
    // Escape leaves the preset tick alone: only Yes and No read the box.
    if ((answer == IDYES || answer == IDNO) && dlg.doNotShow == 1) {
      g_Settings.WarnHiding = 0;
      g_Settings.WriteInt("WarnHiding", 0);
    }
  }
  if (hide) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ::GetWindowPlacement(GetSafeHwnd(), &wp);
    m_nRestoreShow = static_cast<int>(wp.showCmd);
    ::ShowWindow(GetSafeHwnd(), SW_HIDE);
    m_bHidden = true;
  }
  CShellDocument* doc = GetShellDocument();
  if (g_Settings.AutoExport && doc) doc->UpdateAllViews(nullptr, kHintWriteListFile);
}

LRESULT CMainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam) {
  // The low four bits are the system's own.
  if ((wParam & 0xFFF0) == SC_MINIMIZE) {
    OnCalendarHideWindow();
    return 0;
  }
  return Default(WM_SYSCOMMAND, wParam, lParam);
}

void CMainFrame::RestoreFromTray() {
  HWND self = GetSafeHwnd();
  if (m_bHidden || ::IsIconic(self)) {
    ::ShowWindow(self, m_nRestoreShow == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_RESTORE);
    m_bHidden = false;
  }
  ::SetForegroundWindow(self);
}
