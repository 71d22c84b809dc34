// The messages other programs send the running program: search owner,
// the test box, the month picture and its size, and a few commands that
// answer with a box.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "program_fixture.h"
#include "shell/app/private_messages.h"

using shelltest::BoxAnswerer;
using shelltest::Program;

namespace {

UINT g_noticeCount = 0;

LRESULT CALLBACK NoticeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_MONTHPICTURE && w == 0 && l == 0) ++g_noticeCount;
  return ::DefWindowProcA(h, m, w, l);
}

class RunningProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    shelltest::ResetProfile({}, {{"CalendarSearchURL", "C:\\almacora-test-missing\\search.almacoratest"}});
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow();
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override {
    if (main_) ::PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.WaitExit(), 0);
  }
  LRESULT Send(UINT m, WPARAM w = 0, LPARAM l = 0) { return ::SendMessageA(main_, m, w, l); }

  Program program_;
  HWND main_ = nullptr;
};

}  // namespace

TEST_F(RunningProgram, SearchOwnerIsSetBySearchAndClearedByAHandOver) {
  EXPECT_EQ(Send(WM_QUERYSEARCHOWNER), 0);
  Send(WM_COMMAND, 32906);
  EXPECT_EQ(Send(WM_QUERYSEARCHOWNER), 1);
  // Data that is not a NUL-ended command line is ignored.
  char unended[4] = {'x', '.', 'a', 'k'};
  COPYDATASTRUCT bad{0, sizeof unended, unended};
  Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&bad));
  COPYDATASTRUCT foreign{7, 6, const_cast<char*>("x.akv")};
  Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&foreign));
  EXPECT_EQ(Send(WM_QUERYSEARCHOWNER), 1);
  // A file that is not there: the document says so, the hand-over is done.
  BoxAnswerer error("Almacora", IDOK);
  COPYDATASTRUCT good{0, 6, const_cast<char*>("x.akv")};
  Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&good));
  EXPECT_TRUE(error.Wait(100));
  EXPECT_EQ(Send(WM_QUERYSEARCHOWNER), 0);
}

TEST_F(RunningProgram, BoxesOfMessagesAndCommands) {
  struct Case {
    UINT message;
    WPARAM wParam;
    const char* caption;
    const char* text;
    LRESULT result;
  } cases[] = {
      {WM_APPSTEST, 0, "APPS", "Apps Message Recieved", 1000},
      {WM_COMMAND, 32792, "Event Count", "0 User Defined Events\n0 Subscribed / Previewed Events\n", 0},
      {WM_COMMAND, 32797, "Error", "Could Not Load Date/Time Control Panel Window", 0},
  };
  for (const Case& c : cases) {
    BoxAnswerer box(c.caption, IDOK);
    EXPECT_EQ(Send(c.message, c.wParam), c.result) << c.caption;
    ASSERT_TRUE(box.Wait()) << c.caption;
    EXPECT_EQ(box.Text(), c.text);
  }
}

TEST_F(RunningProgram, MonthPictureGoesToTheClipboardAtTheSetSize) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &NoticeProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "AlmacoraPictureNotice";
  ::RegisterClassA(&wc);
  HWND notice = ::CreateWindowA("AlmacoraPictureNotice", "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(notice, nullptr);

  EXPECT_EQ(Send(WM_SETPICTURESIZE, 0, 300), 0);
  EXPECT_EQ(Send(WM_SETPICTURESIZE, 800, -1), 0);
  EXPECT_EQ(Send(WM_SETPICTURESIZE, 800, 300), 1);
  for (WPARAM bad : {WPARAM(0), WPARAM(13 + 2005 * 65536), WPARAM(0 + 2005 * 65536), WPARAM(2 + 1752 * 65536),
                     WPARAM(2 + 10000 * 65536), WPARAM(2 + 5 * 65536)}) {
    DWORD seq = ::GetClipboardSequenceNumber();
    EXPECT_EQ(Send(WM_MONTHPICTURE, bad, reinterpret_cast<LPARAM>(notice)), 0) << bad;
    EXPECT_EQ(::GetClipboardSequenceNumber(), seq);
  }
  EXPECT_EQ(Send(WM_MONTHPICTURE, 2 + 2005 * 65536, reinterpret_cast<LPARAM>(notice)), 1);
  shelltest::PumpFor(300);
  EXPECT_EQ(g_noticeCount, 1u);
  ASSERT_TRUE(::OpenClipboard(notice));
  auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  BITMAP bm{};
  ASSERT_NE(bitmap, nullptr);
  ASSERT_TRUE(::GetObjectA(bitmap, sizeof bm, &bm));
  // The month page in the picture colours: below the title, a navy band.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = -bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
  HDC screen = ::GetDC(nullptr);
  ::GetDIBits(screen, bitmap, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  ::CloseClipboard();
  int band = 0;
  while (band < bm.bmHeight && (px[static_cast<size_t>(band) * bm.bmWidth + 2] & 0xFFFFFF) == 0xFFFFFF) ++band;
  ASSERT_LT(band + 2, bm.bmHeight);
  EXPECT_EQ(px[static_cast<size_t>(band + 2) * bm.bmWidth + 2] & 0xFFFFFF, 0x000080u);  // navy, as 0x00RRGGBB
  EXPECT_EQ(bm.bmWidth, 800);
  EXPECT_EQ(bm.bmHeight, 300);
  ::DestroyWindow(notice);
}

TEST_F(RunningProgram, AboutBoxShowsTheMakersAddresses) {
  std::thread sender([this] { Send(WM_COMMAND, 57664); });
  HWND about = nullptr;
  for (int i = 0; i < 200 && !about; ++i) {
    HWND h = ::FindWindowA("#32770", "About Almacora");
    if (h && ::IsWindowVisible(h)) about = h;
    shelltest::PumpFor(50);
  }
  ASSERT_NE(about, nullptr);
  shelltest::Shot shot = shelltest::TakeShot(about, "about");
  ASSERT_GT(shot.width, 20);
  // The dialog face below the OK button.
  EXPECT_EQ(shot.At(shot.width / 2, shot.height - 4), ::GetSysColor(COLOR_BTNFACE));
  char text[64] = "";
  ::GetDlgItemTextA(about, 1346, text, sizeof text);
  EXPECT_STREQ(text, "http://www.corvelle.example/");
  ::PostMessageA(about, WM_COMMAND, IDOK, 0);
  sender.join();
}
