// The Quick Timer and the Alarm Error Log window as a person uses them.
#include <windows.h>

#include <string>

#include "alarms/actions/alarm_error_log_dlg.h"
#include "alarms/actions/alarm_log_file.h"
#include "alarms/actions/timer_dlg.h"
#include "res/resource.h"
#include "tests/alarms/actions/actions_fixture.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/support/win/spin_click.h"
#include "tests/support/win/window_shot.h"

#include <gtest/gtest.h>

namespace {

void SetFields(HWND d, const char* h, const char* m, const char* s) {
  ::SetDlgItemTextA(d, IDC_QT_HOURS, h);
  ::SetDlgItemTextA(d, IDC_QT_MINUTES, m);
  ::SetDlgItemTextA(d, IDC_QT_SECONDS, s);
}

TEST(QuickTimer, ExpiresOnTimeThoughTheThreadBlocks) {
  alarms::CTimerDlg dlg;
  ASSERT_TRUE(dlg.Create());
  HWND d = dlg.GetSafeHwnd();
  ::ShowWindow(d, SW_SHOW);
  SetFields(d, "0", "00", "05");
  DWORD start = ::GetTickCount();
  wintest::Click(d, IDC_QT_START);
  wintest::PumpFor(300);
  EXPECT_TRUE(dlg.IsRunning());
  ::Sleep(3000);  // a busy GUI thread
  while (dlg.IsRunning() && ::GetTickCount() - start < 10000) wintest::PumpFor(50);
  DWORD took = ::GetTickCount() - start;
  EXPECT_GE(took, 4800u);
  EXPECT_LT(took, 6000u);
  EXPECT_EQ(dlg.Shown(), "0:00:00");
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(d, IDC_QT_EXPIRED)));
  EXPECT_EQ(wintest::ItemText(d, IDC_QT_EXPIRED), "Time Has Expired!");
  EXPECT_EQ(wintest::ItemText(d, IDC_QT_START), "Start");
  wintest::Shot shot = wintest::TakeShot(d, "quick_timer_expired");
  size_t dark = 0;
  for (COLORREF p : shot.pixels) dark += GetRValue(p) < 0x40 && GetGValue(p) < 0x40 && GetBValue(p) < 0x40;
  EXPECT_GT(dark, 200u);

  SetFields(d, "1", "00", "00");
  wintest::Click(d, IDC_QT_START);
  wintest::PumpFor(1300);
  EXPECT_EQ(dlg.Shown(), "0:59:59");
  wintest::Click(d, IDC_QT_CLEAR);
  wintest::PumpFor(100);
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(dlg.Shown(), "0:00:00");
  dlg.DestroyWindow();
}

TEST(QuickTimer, NothingSetAsksForATime) {
  alarms::CTimerDlg dlg;
  ASSERT_TRUE(dlg.Create());
  HWND d = dlg.GetSafeHwnd();
  ::ShowWindow(d, SW_SHOW);
  SetFields(d, "", "00", "0");
  std::string text;
  wintest::Drive({[&] {
    HWND box = wintest::PopupOf(d);
    if (!box) return false;
    char buf[128] = "";
    ::EnumChildWindows(
        box,
        [](HWND h, LPARAM p) -> BOOL {
          char t[128] = "";
          if (::GetWindowTextA(h, t, sizeof t) > 0 && std::string(t).find("timer") != std::string::npos)
            lstrcpynA(reinterpret_cast<char*>(p), t, 128);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(buf));
    text = buf;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  }});
  wintest::Click(d, IDC_QT_START);
  for (int i = 0; i < 100 && !wintest::Driven(); ++i) wintest::PumpFor(50);
  EXPECT_EQ(text, "Please set a time before starting timer.");
  EXPECT_FALSE(dlg.IsRunning());
  dlg.DestroyWindow();
}

// A click on the upper arrow of each spin raises its field by one; minutes
// and seconds keep two digits.
TEST(QuickTimer, SpinArrowsStepTheirFields) {
  alarms::CTimerDlg dlg;
  ASSERT_TRUE(dlg.Create());
  HWND d = dlg.GetSafeHwnd();
  ::ShowWindow(d, SW_SHOW);
  SetFields(d, "0", "0", "0");
  const struct {
    int spin, field;
    const char* shown;
  } spins[] = {{IDC_QT_HOURS_SPIN, IDC_QT_HOURS, "1"}, {IDC_QT_MINUTES_SPIN, IDC_QT_MINUTES, "01"},
               {IDC_QT_SECONDS_SPIN, IDC_QT_SECONDS, "01"}};
  for (const auto& s : spins) {
    wintest::ClickSpinUp(::GetDlgItem(d, s.spin));
    wintest::PumpFor(50);
    EXPECT_EQ(wintest::ItemText(d, s.field), s.shown) << s.spin;
  }
  EXPECT_EQ(dlg.Shown(), "1:01:01");
  wintest::Shot shot = wintest::TakeShot(d, "quick_timer_fields");
  EXPECT_GT(shot.width, 0);
  dlg.DestroyWindow();
}

TEST(AlarmLogWindow, WholeFileAtItsEndAndReloadedOnShow) {
  std::string path = actiontest::TempFile("alarm_log_window.txt");
  alarms::SetAlarmLogPath(path);
  alarms::CAlarmErrorLogDlg dlg;
  // A window the user is working in keeps the focus.
  HWND working = ::CreateWindowExA(0, "STATIC", "Working", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 200, 80,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ::SetActiveWindow(working);
  dlg.ShowLog();
  HWND d = dlg.GetSafeHwnd();
  ASSERT_TRUE(d);
  RECT shown{};
  ::GetWindowRect(d, &shown);
  // At its own size, not a bare title bar.
  EXPECT_FALSE(::IsIconic(d));
  EXPECT_GT(shown.bottom - shown.top, 150);
  EXPECT_EQ(::GetActiveWindow(), working);
  ::DestroyWindow(working);
  EXPECT_EQ(wintest::ItemText(d, IDC_AL_TEXT), "");

  std::string text;
  for (int i = 0; text.size() < 250; ++i) text += "line " + std::to_string(i) + "\r\n";
  text.resize(250);
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD done = 0;
  ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
  ::CloseHandle(f);
  ::ShowWindow(d, SW_HIDE);
  dlg.ShowLog();  // shown again: reloaded
  ::ShowWindow(d, SW_RESTORE);
  wintest::PumpFor(200);
  EXPECT_EQ(wintest::ItemText(d, IDC_AL_TEXT), text);
  EXPECT_GT(::SendDlgItemMessageA(d, IDC_AL_TEXT, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  wintest::Shot shot = wintest::TakeShot(d, "alarm_error_log");
  size_t dark = 0;
  for (COLORREF p : shot.pixels) dark += GetRValue(p) < 0x40 && GetGValue(p) < 0x40 && GetBValue(p) < 0x40;
  EXPECT_GT(dark, 200u);
  dlg.DestroyWindow();
  ::DeleteFileA(path.c_str());
}

}  // namespace
