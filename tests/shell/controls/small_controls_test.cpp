// Opening link targets (the browser fallback with a recorded command, the
// failure texts), the flat button's drawing and the hover button's capture.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/flat_button.h"
#include "controls/hover_bitmap_button.h"
#include "controls/hyper_link.h"
#include "controls/open_link.h"

namespace {

TEST(OpenLink, BrowserCommandLines) {
  struct Case {
    const char* registered;
    const char* target;
    const char* line;
  };
  const Case cases[] = {
      {"\"C:\\b\\web.exe\" \"%1\"", "x y.htm", "\"C:\\b\\web.exe\" \"x y.htm\""},
      {"web.exe %1 -new", "a.htm", "web.exe \"a.htm\""},
      {"web.exe -nohome", "a.htm", "web.exe -nohome \"a.htm\""},
      {"web.exe \"%1\"", "a\" & calc.htm", ""},
      {"web.exe \"%1\"", "a\nb", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(shellcontrols::BrowserCommandLine(c.registered, c.target), c.line) << c.target;
  EXPECT_EQ(shellcontrols::LinkErrorText(2), "The specified file was not found.");
  EXPECT_EQ(shellcontrols::LinkErrorText(31),
            "There is no application associated\nwith the given filename extension.");
  EXPECT_EQ(shellcontrols::LinkErrorText(77), "Unknown Error (77) occurred.");
}

std::vector<std::string> g_commands;
INT_PTR RecordCommand(const std::string& line, int) {
  g_commands.push_back(line);
  return 42;
}

// Points the user's ".htm" class at a type of ours for the test's life.
class HtmClass {
 public:
  explicit HtmClass(const char* command) {
    ::RegSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\.htm", REG_SZ, "AlmacoraTestPage", 0);
    if (command)
      ::RegSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\AlmacoraTestPage\\shell\\open\\command", REG_SZ,
                     command, 0);
  }
  ~HtmClass() {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\AlmacoraTestPage\\shell\\open\\command");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\AlmacoraTestPage\\shell\\open");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\AlmacoraTestPage\\shell");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\AlmacoraTestPage");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\.htm");
  }
};

TEST(OpenLink, MissingFileFallsBackToTheBrowserWithOneArgument) {
  auto old = shellcontrols::SetRunCommandHook(&RecordCommand);
  g_commands.clear();
  const std::string missing = "Z:\\tmp\\almacora no such page.htm";
  {
    HtmClass unassociated(nullptr);
    EXPECT_EQ(shellcontrols::OpenLinkTarget(missing, SW_SHOWNORMAL), 2);
  }
  {
    HtmClass browser("recorder.exe \"%1\"");
    EXPECT_EQ(shellcontrols::OpenLinkTarget(missing, SW_SHOWNORMAL), 42);
  }
  shellcontrols::SetRunCommandHook(old);
  ASSERT_EQ(g_commands.size(), 1u);
  EXPECT_EQ(g_commands[0], "recorder.exe \"" + missing + "\"");
}

// Paints into a bitmap and returns the pixels.
std::vector<COLORREF> PaintFlat(bool pressed, int w, int h) {
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  RECT r{0, 0, w, h};
  shellcontrols::CFlatButton::Paint(mem, r, pressed);
  std::vector<COLORREF> px;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px.push_back(::GetPixel(mem, x, y));
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return px;
}

TEST(FlatButton, PressedArrowMovesOnePixelRightAndDown) {
  const int w = 21, h = 21;
  auto up = PaintFlat(false, w, h);
  auto down = PaintFlat(true, w, h);
  const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  int arrowPixels = 0;
  for (int y = 3; y < h - 4; ++y)
    for (int x = 3; x < w - 4; ++x) {
      bool inUp = up[y * w + x] == text;
      arrowPixels += inUp;
      EXPECT_EQ(inUp, down[(y + 1) * w + x + 1] == text) << x << "," << y;
    }
  EXPECT_GT(arrowPixels, 3);
  EXPECT_EQ(up[0], ::GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(down[0], ::GetSysColor(COLOR_BTNSHADOW));
}

TEST(HoverBitmapButton, MovingOffHandsTheCaptureToTheParent) {
  HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
  HWND h = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 40, 20, parent,
                             reinterpret_cast<HMENU>(7), nullptr, nullptr);
  shellcontrols::CHoverBitmapButton button;
  ASSERT_TRUE(button.SubclassWindow(h));
  ::SetCapture(h);
  ::SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(::GetCapture(), h);
  ::SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(60, 5));
  EXPECT_EQ(::GetCapture(), parent);
  ::ReleaseCapture();
  ::DestroyWindow(parent);
}

std::string g_boxText;
void CALLBACK AnswerAnyBox(HWND, UINT, UINT_PTR id, DWORD) {
  struct Find {
    HWND found = nullptr;
  } find;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        char cls[16] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (::IsWindowVisible(h) && std::string(cls) == "#32770") {
          reinterpret_cast<Find*>(p)->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  if (!find.found) return;
  ::KillTimer(nullptr, id);
  char text[256] = "";
  ::GetDlgItemTextA(find.found, 0xFFFF, text, sizeof text);
  g_boxText = text;
  ::PostMessageA(find.found, WM_COMMAND, IDOK, 0);
}

TEST(HyperLink, ShowsItsTargetRefusesMixedStylesAndSaysWhyOpeningFailed) {
  HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 100, nullptr,
                                  nullptr, nullptr, nullptr);
  HWND h = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, 200, 20, parent,
                             reinterpret_cast<HMENU>(5), nullptr, nullptr);
  ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  const std::string missing = "Z:\\tmp\\almacora no such link.htm";
  shellcontrols::CHyperLink link;
  link.SetLinkTarget(missing);
  ASSERT_TRUE(link.SubclassWindow(h));
  link.Init();
  char text[128] = "";
  ::GetWindowTextA(h, text, sizeof text);
  EXPECT_EQ(text, missing);
  const DWORD style = link.GetLinkStyle();
  EXPECT_FALSE(link.SetLinkStyle(0x4, 0x4));
  EXPECT_EQ(link.GetLinkStyle(), style);
  EXPECT_EQ(link.CurrentColor(), shellcontrols::CHyperLink::kLinkColor);
  {
    HtmClass unassociated(nullptr);
    g_boxText.clear();
    ::SetTimer(nullptr, 0, 50, &AnswerAnyBox);
    ::SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
  }
  EXPECT_EQ(g_boxText, "Can't open link:\n\nThe specified file was not found.");
  EXPECT_FALSE(link.IsVisited());
  ::DestroyWindow(parent);
}

}  // namespace
