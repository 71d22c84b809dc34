#include "framework/dialogs/first_show_place.h"

#include "framework/application.h"

namespace framework {

namespace {

bool InView(HWND h) { return h && ::IsWindowVisible(h) && !::IsIconic(h); }

// The rectangle to centre on and the work area to stay in.
void Reference(HWND window, RECT* centre, RECT* work) {
  HWND owner = ::GetWindow(window, GW_OWNER);
  CApplication* app = TheApp();
  if (!InView(owner)) owner = app ? app->GetMainWindow() : nullptr;
  if (!InView(owner)) owner = nullptr;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  HMONITOR monitor = owner ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                           : ::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
  if (::GetMonitorInfoA(monitor, &mi))
    *work = mi.rcWork;
  else
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, work, 0);
  if (!owner || !::GetWindowRect(owner, centre)) *centre = *work;
}

}  // namespace

void CFirstShowPlace::Watch(HWND window, UINT message, LPARAM lParam) {
  if (done_) return;
  if (message == WM_INITDIALOG) {
    initialised_ = true;
    return;
  }
  if (message != WM_WINDOWPOSCHANGING) return;
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if (!pos || (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    done_ = true;
    return;
  }
  if (!(pos->flags & SWP_SHOWWINDOW)) {
    if (initialised_ && !(pos->flags & SWP_NOMOVE) && !::IsWindowVisible(window)) done_ = true;  // placed itself
    return;
  }
  done_ = true;
  RECT self{}, centre{}, work{};
  ::GetWindowRect(window, &self);
  const int width = (pos->flags & SWP_NOSIZE) ? self.right - self.left : pos->cx;
  const int height = (pos->flags & SWP_NOSIZE) ? self.bottom - self.top : pos->cy;
  Reference(window, &centre, &work);
  int x = (centre.left + centre.right - width) / 2;
  int y = (centre.top + centre.bottom - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  pos->x = x;
  pos->y = y;
  pos->flags &= ~SWP_NOMOVE;
}

}  // namespace framework
