// Starts the real almacora.exe and drives it as another program would:
// its window, bars and geometry, its exit and what it leaves in the
// registry, the splash, and the foreground-lock time-out it mends.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include <cstdio>
#include <cstdlib>

#include "program_fixture.h"
#include "shell/frame/frame_geometry.h"

using shelltest::Program;
using shelltest::ReadSetting;
using shelltest::ResetProfile;

TEST(MainWindow, OpensAsAlmacoraClassAndExitsCleanlyOnClose) {
  ResetProfile();
  Program p;
  ASSERT_TRUE(p.Start());
  HWND h = p.WaitForWindow();
  ASSERT_NE(h, nullptr) << "main window did not appear";
  // The title names the calendars: none here.
  EXPECT_EQ(::FindWindowA("AlmacoraClass", nullptr), h);
  // Under Wine the first idle moment can come before start-up ends; the
  // title is the last thing start-up sets.
  char title[128] = "";
  for (int i = 0; i < 100; ++i) {
    ::GetWindowTextA(h, title, sizeof title);
    if (std::string(title) != "Almacora") break;
    shelltest::PumpFor(100);
  }
  EXPECT_STREQ(title, "Almacora - no event file open");
  EXPECT_TRUE(::IsWindowVisible(h));

  // The real window where the geometry rule puts it on this screen.
  FrameGeometryInput in;
  in.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  in.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  FrameGeometry g = ComputeFrameGeometry(in);
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  ASSERT_TRUE(::GetWindowPlacement(h, &wp));
  EXPECT_EQ(wp.rcNormalPosition.left, g.x);
  EXPECT_EQ(wp.rcNormalPosition.top, g.y);
  EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, g.width);
  EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, g.height);

  HWND status = ::GetDlgItem(h, 0xE801);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(::SendMessageA(status, SB_GETPARTS, 0, 0), 3);
  ASSERT_NE(::GetDlgItem(h, 0xE800), nullptr);

  shelltest::PumpFor(1500);  // a clock tick
  shelltest::Shot shot = shelltest::TakeShot(h, "main-window");
  ASSERT_GT(shot.width, 100);
  // Down the middle of the lower half: white day cells of the month calendar.
  EXPECT_GT(shelltest::WhiteShareDownTheMiddle(shot), 75);

  ::PostMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
  EXPECT_EQ(ReadSetting("WinPosX"), g.x);
  EXPECT_EQ(ReadSetting("WinPosY"), g.y);
  EXPECT_EQ(ReadSetting("WinSizeX"), g.width);
  EXPECT_EQ(ReadSetting("WinSizeY"), g.height);
  EXPECT_EQ(ReadSetting("GridSizeY"), g.gridSizeY);
  EXPECT_EQ(ReadSetting("Maximized"), 0);
  EXPECT_EQ(ReadSetting("ShowToolbar"), 1);
  EXPECT_EQ(ReadSetting("CalMode"), 0);
}

TEST(MainWindow, SplashShowsNavyAndGoesByItself) {
  ResetProfile({{"SplashEnabled", 1}, {"AlarmCheckFrequency", 3}});
  Program p;
  ASSERT_TRUE(p.Start());
  DWORD start = ::GetTickCount();
  HWND splash = nullptr;
  while (!splash && ::GetTickCount() - start < 15000) {
    HWND h = ::FindWindowA("#32770", nullptr);
    DWORD pid = 0;
    if (h) ::GetWindowThreadProcessId(h, &pid);
    if (h && pid == p.Pid() && ::IsWindowVisible(h)) splash = h;
    shelltest::PumpFor(20);
  }
  ASSERT_NE(splash, nullptr) << "no splash";
  // It shows for about two seconds: copy it at once, again until it is navy.
  shelltest::Shot shot;
  const DWORD found = ::GetTickCount();
  do {
    shot = shelltest::TakeShotNow(splash, "splash");
    if (shot.width > 4 && shot.At(2, shot.height - 3) == RGB(0, 0, 128)) break;
    shelltest::PumpFor(20);
  } while (::IsWindowVisible(splash) && ::GetTickCount() - found < 10000);
  ASSERT_GT(shot.width, 4);
  EXPECT_EQ(shot.At(2, shot.height - 3), RGB(0, 0, 128));
  // It goes by itself (hidden by its timer, destroyed when start-up ends);
  // how soon is the program's pace on this host, not something to time here.
  const DWORD seen = ::GetTickCount();
  while (::IsWindow(splash) && ::IsWindowVisible(splash) && ::GetTickCount() - seen < 20000) shelltest::PumpFor(50);
  EXPECT_FALSE(::IsWindow(splash) && ::IsWindowVisible(splash));
  HWND main = p.WaitForWindow();
  ASSERT_NE(main, nullptr);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
}

TEST(MainWindow, AClickedSplashIsGoneAtOnce) {
  ResetProfile({{"SplashEnabled", 1}, {"AlarmCheckFrequency", 60}});
  Program p;
  ASSERT_TRUE(p.Start());
  HWND main = p.WaitForWindow();
  ASSERT_NE(main, nullptr);
  HWND splash = ::FindWindowA("#32770", nullptr);
  DWORD pid = 0;
  if (splash) ::GetWindowThreadProcessId(splash, &pid);
  ASSERT_EQ(pid, p.Pid()) << "no splash";
  // With checks a minute apart and the splash's own timer at two seconds,
  // only the click can take it away this soon.
  ::PostMessageA(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  shelltest::PumpFor(500);
  // (Under Wine another process may still find the handle for a while.)
  EXPECT_FALSE(::IsWindowVisible(splash));
  shelltest::PumpFor(2500);  // past the splash's own timer
  EXPECT_TRUE(::IsWindowVisible(main));
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
}

TEST(MainWindow, NoSplashWhenDisabledAndTheLockTimeOutIsMended) {
  struct Case {
    DWORD before;
    DWORD after;
  };
  for (Case c : {Case{0, 10000}, Case{5000, 5000}}) {
    ResetProfile();
    ::SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(c.before)),
                            SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    Program p;
    ASSERT_TRUE(p.Start());
    HWND main = p.WaitForWindow();
    ASSERT_NE(main, nullptr);
    HWND dlg = ::FindWindowA("#32770", nullptr);
    DWORD pid = 0;
    if (dlg) ::GetWindowThreadProcessId(dlg, &pid);
    EXPECT_NE(pid, p.Pid()) << "a splash with SplashEnabled 0";
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(), 0);
    DWORD value = 0, size = sizeof value;
    char text[32] = "";
    DWORD tsize = sizeof text;
    if (::RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ForegroundLockTimeout", RRF_RT_REG_DWORD,
                       nullptr, &value, &size) != ERROR_SUCCESS &&
        ::RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ForegroundLockTimeout", RRF_RT_REG_SZ, nullptr,
                       text, &tsize) == ERROR_SUCCESS)
      value = static_cast<DWORD>(std::strtoul(text, nullptr, 10));
    EXPECT_EQ(value, c.after) << "before " << c.before;
  }
}
