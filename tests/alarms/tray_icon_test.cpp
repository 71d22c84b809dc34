// The main frame's notification-area icon and hiding into it: the record
// handed to the shell, the shell restarting, the hiding warning, restoring
// (maximized stays maximized) and the minimize box.
#include "tests/alarms/reminder_fixture.h"

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/app/private_messages.h"
#include "shell/frame/tray_icon_calls.h"
#include "tests/support/win/dialog_driver.h"

namespace remindertest {
namespace {

using TrayTest = ReminderTest;

TEST_F(TrayTest, TheIconRecordCarriesTodaysPictureAndTipAndComesBackAfterAShellRestart) {
  ASSERT_FALSE(Calls().notifications.empty());
  const NotifyCall& add = Calls().notifications[0];
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
  EXPECT_EQ(504u, add.data.cbSize);
  EXPECT_EQ(frame_->GetSafeHwnd(), add.data.hWnd);
  EXPECT_EQ(100u, add.data.uID);
  EXPECT_EQ(7u, add.data.uFlags);
  EXPECT_EQ(1026u, add.data.uCallbackMessage);
  SYSTEMTIME day{};
  day.wYear = 2024;
  day.wMonth = 3;
  day.wDay = 4;
  char date[30] = "";
  ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, date, sizeof date);
  EXPECT_EQ(std::string("Almacora : ") + date, add.data.szTip);
  HICON four = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), "IDI_TRAYICON4", IMAGE_ICON, 16, 16, 0));
  HICON five = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), "IDI_TRAYICON5", IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(nullptr, four);
  EXPECT_FALSE(add.iconBits.empty());
  EXPECT_EQ(IconBits(four), add.iconBits);
  EXPECT_NE(IconBits(five), add.iconBits);
  ::DestroyIcon(four);
  ::DestroyIcon(five);

  Calls().notifications.clear();
  frame_->SendMsg(g_TaskbarCreatedMessage);
  ASSERT_EQ(1u, Calls().notifications.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), Calls().notifications[0].message);
}

TEST_F(TrayTest, AClickHidesAfterTheWarningAndAnotherRestoresAsItWas) {
  HWND hwnd = frame_->GetSafeHwnd();
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  g_Settings.WarnHiding = 1;
  int ticked = -1;
  // Escape on the warning: the window stays and so does the warning.
  wintest::Drive({[&] {
    HWND box = wintest::FindDialog("Warning");
    if (!box) return false;
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
  }});
  frame_->SendMsg(WM_TRAYNOTIFY, 100, WM_LBUTTONDOWN);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  EXPECT_FALSE(frame_->IsHiddenInTray());
  EXPECT_EQ(1, g_Settings.WarnHiding);
  wintest::Drive({[&] {
                    HWND box = wintest::FindDialog("Warning");
                    if (!box) return false;
                    ticked = static_cast<int>(::IsDlgButtonChecked(box, IDC_WARNING_CHECK));
                    wintest::Click(box, IDYES);
                    return true;
                  }});
  frame_->SendMsg(WM_TRAYNOTIFY, 100, WM_LBUTTONDOWN);
  EXPECT_TRUE(wintest::Driven());
  EXPECT_EQ(BST_CHECKED, ticked);
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  EXPECT_TRUE(frame_->IsHiddenInTray());
  EXPECT_EQ(0, g_Settings.WarnHiding);
  EXPECT_EQ(0, store_->GetInt("Settings", "WarnHiding", 1));
  frame_->SendMsg(WM_TRAYNOTIFY, 100, WM_LBUTTONDOWN);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  EXPECT_FALSE(frame_->IsHiddenInTray());

  // Maximized when hidden, maximized when back; no warning any more.
  ::ShowWindow(hwnd, SW_SHOWMAXIMIZED);
  frame_->SendMsg(WM_TRAYNOTIFY, 100, WM_LBUTTONDOWN);
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  frame_->SendMsg(WM_COMMAND, ID_TRAY_RESTORE);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  EXPECT_TRUE(::IsZoomed(hwnd));

  // The minimize box hides too (the low bits of the command are ignored).
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  frame_->SendMsg(WM_SYSCOMMAND, SC_MINIMIZE | 2);
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  EXPECT_FALSE(::IsIconic(hwnd));
  EXPECT_TRUE(frame_->IsHiddenInTray());
}

}  // namespace
}  // namespace remindertest
