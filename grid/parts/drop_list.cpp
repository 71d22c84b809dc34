#include "grid/parts/drop_list.h"

#include "grid/celltypes/drop_list_type.h"
#include "grid/core/grid_core.h"

namespace {
const char* const kProp = "AlmacoraGridDropList";
const UINT kDestroy = WM_APP + 0x48;
}  // namespace

CGridDropList::~CGridDropList() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

bool CGridDropList::Open(HWND area, const RECT& r, HFONT font, int itemHeight, const std::vector<std::string>& choices) {
  // A list still waiting for its posted destroy goes first.
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  hwnd_ = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_BORDER | WS_VSCROLL, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, area, reinterpret_cast<HMENU>(static_cast<INT_PTR>(CGridCore::kEditorId)),
                            ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd_) return false;
  area_ = area;
  ::SetPropA(hwnd_, kProp, this);
  oldProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CGridDropList::StaticProc)));
  if (font) ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  ::SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, itemHeight);
  ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
  for (const std::string& c : choices) ::SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.c_str()));
  chosen_ = false;
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetFocus(hwnd_);
  return true;
}

LRESULT CALLBACK CGridDropList::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CGridDropList*>(::GetPropA(hwnd, kProp));
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC old = self->oldProc_;
    ::RemovePropA(hwnd, kProp);
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    if (self->hwnd_ == hwnd) self->hwnd_ = nullptr;
    return ::CallWindowProcA(old, hwnd, message, wParam, lParam);
  }
  return self->WindowProc(message, wParam, lParam);
}

LRESULT CGridDropList::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(oldProc_, hwnd_, message, wParam, lParam);
}

LRESULT CGridDropList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      open_ = true;
      return Default(message, wParam, lParam);
    case WM_KILLFOCUS: OnKillFocus(wParam); return 0;
    case WM_LBUTTONUP: {
      const LRESULT r = Default(message, wParam, lParam);
      if (::SendMessageA(hwnd_, LB_GETCURSEL, 0, 0) != LB_ERR) Choose();
      return r;
    }
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        Close();
        return 0;
      }
      if (wParam == VK_RETURN) {
        ::SendMessageA(hwnd_, LB_GETCURSEL, 0, 0) != LB_ERR ? Choose() : Close();
        return 0;
      }
      return Default(message, wParam, lParam);
    case WM_GETDLGCODE: return Default(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
    case kDestroy:
      type_->OnListGone();
      ::DestroyWindow(hwnd_);
      return 0;
    default: return Default(message, wParam, lParam);
  }
}

// Gives the focus back to the cell area, which closes the list.
void CGridDropList::Close() { ::SetFocus(area_); }

void CGridDropList::OnKillFocus(WPARAM wParam) {
  HWND h = hwnd_;
  Default(WM_KILLFOCUS, wParam, 0);
  if (!open_) return;
  open_ = false;
  ::ShowWindow(h, SW_HIDE);
  ::PostMessageA(h, kDestroy, 0, 0);
  type_->OnListClosed(chosen_);
}

void CGridDropList::Choose() {
  const LRESULT sel = ::SendMessageA(hwnd_, LB_GETCURSEL, 0, 0);
  if (sel == LB_ERR) return;
  const LRESULT len = ::SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0);
  std::string text(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
  ::SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(len > 0 ? len : 0));
  chosen_ = true;
  type_->OnChoice(text);
}
