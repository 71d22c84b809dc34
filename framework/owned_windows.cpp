#include "framework/owned_windows.h"

#include <vector>

namespace framework {

namespace {

bool OwnedBy(HWND window, HWND owner) {
  for (HWND o = ::GetWindow(window, GW_OWNER); o; o = ::GetWindow(o, GW_OWNER))
    if (o == owner) return true;
  return false;
}

}  // namespace

void KeepOwnedAbove(HWND owner) {
  if (owner == nullptr) return;
  std::vector<HWND> owned;  // top first
  bool below = false, ownerSeen = false;
  for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (h == owner) ownerSeen = true;
    if (!::IsWindowVisible(h) || !OwnedBy(h, owner)) continue;
    owned.push_back(h);
    below = below || ownerSeen;
  }
  if (!below) return;
  // The lowest first, each to the top: their order among themselves stays.
  for (auto it = owned.rbegin(); it != owned.rend(); ++it)
    ::SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace framework
