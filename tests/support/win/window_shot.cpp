#include "tests/support/win/window_shot.h"

#include <atomic>
#include <thread>

#include "tests/support/win/png_file.h"

namespace wintest {

namespace {

void CopyFromScreen(HWND hwnd, Shot* shot) {
  RECT rc;
  if (!::GetWindowRect(hwnd, &rc)) return;  // gone: an empty shot
  shot->width = rc.right - rc.left;
  shot->height = rc.bottom - rc.top;
  if (shot->width <= 0 || shot->height <= 0) return;
  HDC screen = ::GetDC(nullptr);
  Dib dib(shot->width, shot->height);
  if (dib.bits) {
    ::BitBlt(dib.dc, 0, 0, shot->width, shot->height, screen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    shot->pixels = dib.Pixels();
  }
  ::ReleaseDC(nullptr, screen);
}

}  // namespace

Dib::Dib(int width, int height) : w(width), h(height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* p = nullptr;
  dc = ::CreateCompatibleDC(nullptr);
  bmp = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  bits = static_cast<uint32_t*>(p);
  if (bmp) old = ::SelectObject(dc, bmp);
}

Dib::~Dib() {
  if (old) ::SelectObject(dc, old);
  if (bmp) ::DeleteObject(bmp);
  ::DeleteDC(dc);
}

int Dib::Count(const RECT& r, COLORREF c) const {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
  return n;
}

std::vector<COLORREF> Dib::Pixels() const {
  std::vector<COLORREF> pixels;
  pixels.reserve(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels.push_back(At(x, y));
  return pixels;
}

void PumpFor(DWORD ms) {
  const DWORD start = ::GetTickCount();
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
  ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  ::SetForegroundWindow(hwnd);
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  // The picture is taken once the screen has stopped changing: three copies
  // in a row alike (a blinking caret only delays that), the first after
  // kFirstMs, as views finish some drawing from timers (the day view's line
  // markers), or the last copy after kMaxWaitMs when the window keeps moving.
  constexpr DWORD kFirstMs = 1000, kStepMs = 100, kMaxWaitMs = 1500;
  constexpr int kAlike = 3;
  Shot shot;
  std::atomic<bool> done{false};
  std::thread copier([&] {
    const DWORD start = ::GetTickCount();
    int alike = 0;
    ::Sleep(kFirstMs - kStepMs);
    while (alike < kAlike && ::GetTickCount() - start < kMaxWaitMs) {
      ::Sleep(kStepMs);
      Shot now;
      CopyFromScreen(hwnd, &now);
      const bool same = !now.pixels.empty() && now.width == shot.width && now.height == shot.height &&
                        now.pixels == shot.pixels;
      alike = same ? alike + 1 : 1;
      shot = std::move(now);
    }
    done = true;
  });
  while (!done) PumpFor(kStepMs / 10);
  copier.join();
  if (!shot.pixels.empty()) WritePng(ArtifactPath(name + ".png"), shot.width, shot.height, shot.pixels);
  return shot;
}

Shot TakeShotNow(HWND hwnd, const std::string& name) {
  Shot shot;
  CopyFromScreen(hwnd, &shot);
  if (!shot.pixels.empty()) WritePng(ArtifactPath(name + ".png"), shot.width, shot.height, shot.pixels);
  return shot;
}

COLORREF ClientCornerColour(HWND hwnd, const Shot& shot) {
  RECT client, window;
  ::GetClientRect(hwnd, &client);
  ::GetWindowRect(hwnd, &window);
  POINT corner{3, client.bottom - 3};
  ::MapWindowPoints(hwnd, nullptr, &corner, 1);
  const int x = corner.x - window.left, y = corner.y - window.top;
  return x >= 0 && y >= 0 && x < shot.width && y < shot.height ? shot.At(x, y) : CLR_INVALID;
}

}  // namespace wintest
