#include "shell/app/help_viewer.h"

#include <algorithm>
#include <cstring>

namespace helpviewer {

namespace {
// The window class of the HTML Help viewer's frame.
constexpr const char* kViewerClass = "HH Parent";

bool IsViewer(HWND h) {
  char cls[32] = "";
  ::GetClassNameA(h, cls, sizeof cls);
  return std::strcmp(cls, kViewerClass) == 0;
}
}  // namespace

HWND AskingWindow(HWND mainWindow) {
  HWND active = ::GetActiveWindow();
  if (!active || active == mainWindow || !::IsWindowEnabled(active) || IsViewer(active)) return mainWindow;
  // A page inside a sheet is not active itself, but be safe with children.
  HWND top = ::GetAncestor(active, GA_ROOT);
  return top ? top : active;
}

void PlaceBeside(HWND viewer, HWND owner, HWND mainWindow) {
  if (!viewer || !owner || owner == mainWindow || !::IsWindow(viewer)) return;
  RECT v{}, o{}, overlap{};
  ::GetWindowRect(viewer, &v);
  ::GetWindowRect(owner, &o);
  if (!::IntersectRect(&overlap, &v, &o)) return;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!::GetMonitorInfoA(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &mi)) return;
  const RECT& work = mi.rcWork;
  const int width = v.right - v.left, height = v.bottom - v.top;
  const int roomRight = work.right - o.right, roomLeft = o.left - work.left;
  int x;
  int w = width;
  if (roomRight >= width) {
    x = o.right;
  } else if (roomLeft >= width) {
    x = o.left - width;
  } else if (std::max(roomRight, roomLeft) >= 300) {
    // Narrower, in the larger gap: the topic still reads at 300 pixels.
    w = std::max(roomRight, roomLeft);
    x = roomRight >= roomLeft ? o.right : work.left;
  } else {
    return;  // no room beside it: the user moves one of them
  }
  const int y = std::clamp(static_cast<int>(o.top), static_cast<int>(work.top),
                           std::max(static_cast<int>(work.top), static_cast<int>(work.bottom) - height));
  ::SetWindowPos(viewer, nullptr, x, y, w, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace helpviewer
