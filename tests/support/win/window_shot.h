// Screenshots of real windows as they are on the screen, for the window
// tests: each leaves <name>.png in the artifacts folder and hands back the
// pixels so the test can check what was drawn.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

struct Shot {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Raises the window, copies it (frame included) from the screen once the
// picture has settled (1.2 to 1.5 s) while this
// thread keeps pumping, and writes <name>.png into the artifacts folder.
// Works for windows of this process and of another one: the copy is made
// from a second thread because a window reaches the screen only while its
// own thread waits for messages.
Shot TakeShot(HWND hwnd, const std::string& name);

// Pumps this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);

}  // namespace wintest
