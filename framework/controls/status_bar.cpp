#include "framework/controls/status_bar.h"

#include <commctrl.h>

#include "framework/application.h"

namespace framework {

bool CStatusBar::Create(HWND parent, DWORD style, UINT id) {
  CApplication* app = TheApp();
  HINSTANCE inst = app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  HWND h = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", style | WS_CHILD, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), inst, nullptr);
  return h && SubclassWindow(h);
}

bool CStatusBar::SetIndicators(const std::vector<StatusPane>& panes) {
  panes_ = panes;
  widths_.assign(panes.size(), 0);
  HDC dc = ::GetDC(GetSafeHwnd());
  HFONT font = reinterpret_cast<HFONT>(SendMsg(WM_GETFONT));
  HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
  for (size_t i = 0; i < panes.size(); ++i) {
    if (panes[i].sizingText.empty()) continue;
    SIZE sz{0, 0};
    ::GetTextExtentPoint32A(dc, panes[i].sizingText.c_str(), static_cast<int>(panes[i].sizingText.size()), &sz);
    widths_[i] = sz.cx + 8;
  }
  if (old) ::SelectObject(dc, old);
  ::ReleaseDC(GetSafeHwnd(), dc);
  UpdatePanes();
  return true;
}

void CStatusBar::UpdatePanes() {
  if (!GetSafeHwnd() || panes_.empty()) return;
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  int fixed = 0;
  for (size_t i = 1; i < widths_.size(); ++i) fixed += widths_[i];
  // Room for the size grip at the right.
  int right = rc.right - ::GetSystemMetrics(SM_CXVSCROLL);
  std::vector<int> edges(panes_.size());
  int x = right - fixed;
  edges[0] = x > 0 ? x : 0;
  for (size_t i = 1; i < panes_.size(); ++i) {
    x += widths_[i];
    edges[i] = x;
  }
  edges.back() = -1;
  SendMsg(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  SendMsg(SB_SETTEXTA, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
}

int CStatusBar::CommandToIndex(UINT id) const {
  for (size_t i = 0; i < panes_.size(); ++i)
    if (panes_[i].id == id) return static_cast<int>(i);
  return -1;
}

void CStatusBar::SetPaneText(int index, const std::string& text) {
  if (index < 0) return;
  SendMsg(SB_SETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

std::string CStatusBar::GetPaneText(int index) const {
  char buf[256] = "";
  LRESULT n = SendMsg(SB_GETTEXTLENGTHA, static_cast<WPARAM>(index));
  if (LOWORD(n) >= sizeof buf) return std::string();
  SendMsg(SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
  return buf;
}

bool CStatusBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_SIZE) {
    *result = Default(message, wParam, lParam);
    UpdatePanes();
    return true;
  }
  return CWindow::OnWndMsg(message, wParam, lParam, result);
}

}  // namespace framework
