// Screenshots of real windows as they are on the screen, for the window
// tests: each leaves <name>.png in the artifacts folder and hands back the
// pixels so the test can check what was drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

struct Shot {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A 32-bit top-down bitmap selected into a memory DC, for painting code to
// draw on; `bits` is null when the bitmap could not be made.
struct Dib {
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t* bits = nullptr;
  int w, h;
  Dib(int width, int height);
  ~Dib();
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;
  COLORREF At(int x, int y) const {
    const uint32_t v = bits[static_cast<size_t>(y) * w + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // The pixels of `r` that are exactly `c`.
  int Count(const RECT& r, COLORREF c) const;
  // Every pixel, row by row.
  std::vector<COLORREF> Pixels() const;
};

// Raises the window, copies it (frame included) from the screen once the
// picture has settled (1.2 to 1.5 s) while this
// thread keeps pumping, and writes <name>.png into the artifacts folder.
// Works for windows of this process and of another one: the copy is made
// from a second thread because a window reaches the screen only while its
// own thread waits for messages.
Shot TakeShot(HWND hwnd, const std::string& name);

// Copies the window as the screen shows it this moment, for windows that
// live too briefly to wait for; an empty shot when it is gone.
Shot TakeShotNow(HWND hwnd, const std::string& name);

// The colour a shot of `hwnd` has three pixels in from the bottom left
// corner of its client area: a dialog's face, where no control stands.
COLORREF ClientCornerColour(HWND hwnd, const Shot& shot);

// Pumps this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);

}  // namespace wintest
