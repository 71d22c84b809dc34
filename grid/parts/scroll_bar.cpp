#include "grid/parts/scroll_bar.h"

#include "grid/core/grid_core.h"
#include "grid/parts/hint_wnd.h"

CGridScrollBarBase::~CGridScrollBarBase() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

bool CGridScrollBarBase::CreateBar(HWND grid, DWORD style, int id) {
  hwnd_ = ::CreateWindowExA(0, "SCROLLBAR", "", style, 0, 0, 0, 0, grid,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
  return hwnd_ != nullptr;
}

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
