#include "grid/parts/part_window.h"

bool CGridPartWindow::CreatePart(const char* className, DWORD style, DWORD exStyle, HWND parent, int id) {
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  if (!RegisterClass(inst, className, nullptr, nullptr, CS_DBLCLKS)) return false;
  return Create(className, "", style, exStyle, 0, 0, 0, 0, parent,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst);
}

void CGridPartWindow::Move(const RECT& r, bool repaint) {
  if (GetSafeHwnd()) ::MoveWindow(GetSafeHwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void CGridPartWindow::Invalidate(const RECT* rect) {
  if (GetSafeHwnd()) ::InvalidateRect(GetSafeHwnd(), rect, TRUE);
}

void CGridPartWindow::FillBackground(HDC dc, const RECT& rect, COLORREF color) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  HBRUSH b = ::CreateSolidBrush(color);
  ::FillRect(dc, &rect, b);
  ::DeleteObject(b);
}

bool CGridPartWindow::WaitDragStep(HWND h, DWORD delay, const bool* captureLost) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE) ||
        ::PeekMessageA(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) {
      return false;
    }
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (!::IsWindow(h) || (captureLost && *captureLost) || ::GetCapture() != h) return false;
    const DWORD spent = ::GetTickCount() - start;
    if (spent >= delay) return true;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, delay - spent, QS_ALLINPUT);
  }
}
