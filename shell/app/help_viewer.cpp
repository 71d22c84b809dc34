#include "shell/app/help_viewer.h"

#include <algorithm>
#include <cstring>

namespace helpviewer {

namespace {
// The window class of the HTML Help viewer's frame.
constexpr const char* kViewerClass = "HH Parent";
// The viewer's toolbar command that hides its contents pane, narrowing
// the window by the pane's width and leaving the topic its whole width.
constexpr WPARAM kHideContents = 201;  // IDTB_CONTRACT

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
  const int roomRight = work.right - o.right, roomLeft = o.left - work.left;
  int width = v.right - v.left;
  if (std::max(roomRight, roomLeft) < width) {
    // Beside a dialog the topic matters, not the contents: without the
    // pane the topic keeps what room there is.
    ::SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(kHideContents, BN_CLICKED), 0);
    ::GetWindowRect(viewer, &v);
    width = v.right - v.left;
  }
  const int height = v.bottom - v.top;
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

void BringToFront(HWND viewer) {
  if (!::IsWindow(viewer)) return;
  if (::IsIconic(viewer)) ::ShowWindow(viewer, SW_RESTORE);
  ::SetForegroundWindow(viewer);
}

}  // namespace helpviewer
