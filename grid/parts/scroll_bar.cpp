#include "grid/parts/scroll_bar.h"

#include "grid/core/grid_core.h"
#include "grid/parts/hint_wnd.h"

CGridScrollBarBase::~CGridScrollBarBase() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

namespace {
const char kBarProp[] = "AlmacoraGridBar";
}

bool CGridScrollBarBase::CreateBar(HWND grid, DWORD style, int id, int part) {
  hwnd_ = ::CreateWindowExA(0, "SCROLLBAR", "", style, 0, 0, 0, 0, grid,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd_) return false;
  part_ = part;
  ::SetPropA(hwnd_, kBarProp, this);
  systemProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CGridScrollBarBase::BarProc)));
  return true;
}

LRESULT CALLBACK CGridScrollBarBase::BarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* bar = static_cast<CGridScrollBarBase*>(::GetPropA(hwnd, kBarProp));
  if (!bar) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  const WNDPROC system = bar->systemProc_;
  switch (message) {
    case WM_RBUTTONDOWN: {
      POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ::ClientToScreen(hwnd, &pt);
      bar->OnRightButtonDown(pt);
      return 0;
    }
    case WM_NCDESTROY:
      ::RemovePropA(hwnd, kBarProp);
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(system));
      bar->hwnd_ = nullptr;
      break;
    default: break;
  }
  return ::CallWindowProcA(system, hwnd, message, wParam, lParam);
}

void CGridScrollBarBase::OnRightButtonDown(POINT screen) { grid_->ShowPopupMenu(0, 0, screen, part_); }

void CGridScrollBarBase::Move(const RECT& r, bool repaint) {
  if (hwnd_) ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void CGridScrollBarBase::Invalidate() {
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CGridScrollBarBase::ShowThumbText(const char* text, int flags, int x, int y, int minWidth) {
  CGridHintWnd* hint = grid_->GetHintWindow();
  if (!hint) return;
  hint->SetPlacement(flags);
  hint->SetText(text, true);
  hint->ShowAt(x, y, minWidth);
  hint->Show();
}

int CGridScrollBarBase::MovementFor(int code) {
  // The line-up and line-left codes share values, and so on for each pair.
  switch (code) {
    case SB_LINEUP: return CGridCore::kPrev;
    case SB_LINEDOWN: return CGridCore::kNext;
    case SB_PAGEUP: return CGridCore::kPageBack;
    case SB_PAGEDOWN: return CGridCore::kPageForward;
    case SB_TOP: return CGridCore::kFirst;
    case SB_BOTTOM: return CGridCore::kLast;
    default: return -1;
  }
}

void CGridScrollBarBase::BarAndMouse(RECT* bar, POINT* mouse) const {
  ::GetWindowRect(hwnd_, bar);
  ::MapWindowPoints(nullptr, grid_->GetSafeHwnd(), reinterpret_cast<POINT*>(bar), 2);
  ::GetCursorPos(mouse);
  ::ScreenToClient(grid_->GetSafeHwnd(), mouse);
}
