#include "dialog_driver_fixture.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <thread>

namespace dialogtest {

namespace {
// The templates hold spin controls: their class must be registered.
const bool g_commonControls = [] {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_WIN95_CLASSES;
  return ::InitCommonControlsEx(&icc) != FALSE;
}();

std::vector<Step> g_steps;
size_t g_next = 0;

void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_next >= g_steps.size()) {
    ::KillTimer(nullptr, id);
    return;
  }
  // A step that pumps (a screenshot) would tick this timer again.
  static bool running = false;
  if (running) return;
  running = true;
  Step step = g_steps[g_next];
  if (step()) ++g_next;
  running = false;
}

void CopyFromScreen(HWND hwnd, Shot* out, const std::string& name) {
  Shot& shot = *out;
  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  shot.width = rc.right - rc.left;
  shot.height = rc.bottom - rc.top;
  if (shot.width <= 0 || shot.height <= 0) return;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = shot.width;
  bi.bmiHeader.biHeight = -shot.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, dib);
  ::BitBlt(mem, 0, 0, shot.width, shot.height, screen, rc.left, rc.top, SRCCOPY);
  ::SelectObject(mem, old);
  auto* px = static_cast<DWORD*>(bits);
  shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
  for (size_t i = 0; i < shot.pixels.size(); ++i) {
    shot.pixels[i] = RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF);
    px[i] |= 0xFF000000u;
  }
  std::string path = std::string(ALMACORA_ARTIFACTS_DIR) + "\\" + name + ".bmp";
  ::CreateDirectoryA(ALMACORA_ARTIFACTS_DIR, nullptr);
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih = bi.bmiHeader;
    const DWORD size = static_cast<DWORD>(shot.pixels.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + size;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(bits, 1, size, f);
    std::fclose(f);
  }
  ::DeleteObject(dib);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
}
}  // namespace

void Drive(std::vector<Step> steps) {
  g_steps = std::move(steps);
  g_next = 0;
  ::SetTimer(nullptr, 0, 50, &Tick);
}

bool Driven() { return g_next >= g_steps.size(); }

HWND FindDialog(const char* caption) {
  HWND h = ::FindWindowA("#32770", caption);
  return h && ::IsWindowVisible(h) ? h : nullptr;
}

HWND PopupOf(HWND owner) {
  // Boxes shown without an application have no owner: look for any other
  // visible dialog of this thread.
  struct Find {
    HWND owner, found;
  } find{owner, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<Find*>(p);
        char cls[16] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (h != f->owner && ::IsWindowVisible(h) && std::string(cls) == "#32770") {
          f->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

std::string ItemText(HWND dlg, int id) {
  HWND item = ::GetDlgItem(dlg, id);
  int n = ::GetWindowTextLengthA(item);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  ::GetWindowTextA(item, &s[0], n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

void Click(HWND dlg, int id) {
  ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
}

void PumpFor(DWORD ms) {
  DWORD start = ::GetTickCount();
  do {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::Sleep(10);
  } while (::GetTickCount() - start < ms);
}

Shot TakeShot(HWND hwnd, const std::string& name) {
  Shot shot;
  ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  ::SetForegroundWindow(hwnd);
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  std::thread copier([&] {
    ::Sleep(800);
    CopyFromScreen(hwnd, &shot, name);
  });
  PumpFor(1200);
  copier.join();
  return shot;
}

}  // namespace dialogtest
