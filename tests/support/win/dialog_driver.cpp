#include "tests/support/win/dialog_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>

namespace wintest {

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
UINT_PTR g_timer = 0;
DWORD g_limit = 0, g_start = 0;

void CancelEveryDialog() {
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND h, LPARAM) -> BOOL {
        char cls[16] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (::IsWindowVisible(h) && std::string(cls) == "#32770") ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
      },
      0);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_next >= g_steps.size()) {
    ::KillTimer(nullptr, id);
    g_timer = 0;
    return;
  }
  if (g_limit && ::GetTickCount() - g_start > g_limit) {
    CancelEveryDialog();
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

}  // namespace

void Drive(std::vector<Step> steps, DWORD limitMs) {
  // A drive that never ended would tick on beside this one.
  if (g_timer) ::KillTimer(nullptr, g_timer);
  g_steps = std::move(steps);
  g_next = 0;
  g_limit = limitMs;
  g_start = ::GetTickCount();
  g_timer = ::SetTimer(nullptr, 0, 50, &Tick);
}

bool Driven() { return g_next >= g_steps.size(); }

HWND FindDialog(const char* caption) {
  HWND h = ::FindWindowA("#32770", caption);
  return h && ::IsWindowVisible(h) ? h : nullptr;
}

HWND PropertySheet() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        if (!::IsWindowVisible(h) || !PropSheet_GetCurrentPageHwnd(h)) return TRUE;
        *reinterpret_cast<HWND*>(p) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND PopupOf(HWND owner) {
  // A box the owner shows over itself is owned by it; boxes shown without
  // an application have no owner, so any other visible dialog of this
  // thread is the fallback. Unowned windows that stay up meanwhile (the
  // reminder window) must not hide the box from the steps.
  struct Find {
    HWND owner, owned, other;
  } find{owner, nullptr, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<Find*>(p);
        char cls[16] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (h == f->owner || !::IsWindowVisible(h) || std::string(cls) != "#32770") return TRUE;
        if (f->owner && ::GetWindow(h, GW_OWNER) == f->owner) {
          f->owned = h;
          return FALSE;
        }
        if (!f->other) f->other = h;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.owned ? find.owned : find.other;
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

}  // namespace wintest
