#include "tests/support/win/window_shot.h"

#include <atomic>
#include <thread>

#include "tests/support/win/png_file.h"

namespace wintest {

namespace {

void CopyFromScreen(HWND hwnd, Shot* shot) {
  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  shot->width = rc.right - rc.left;
  shot->height = rc.bottom - rc.top;
  if (shot->width <= 0 || shot->height <= 0) return;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = shot->width;
  bi.bmiHeader.biHeight = -shot->height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib) {
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, shot->width, shot->height, screen, rc.left, rc.top, SRCCOPY);
    ::SelectObject(mem, old);
    ::GdiFlush();
    const auto* px = static_cast<const DWORD*>(bits);
    shot->pixels.resize(static_cast<size_t>(shot->width) * shot->height);
    for (size_t i = 0; i < shot->pixels.size(); ++i) {
      shot->pixels[i] = RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF);
    }
    ::DeleteObject(dib);
  }
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace

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

}  // namespace wintest
