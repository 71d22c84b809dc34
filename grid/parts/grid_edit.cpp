#include "grid/parts/grid_edit.h"

#include <string>

#include "grid/core/grid_core.h"

namespace {
const char* const kProp = "AlmacoraGridEdit";
// Posted to the editor to take the focus back after a refused end.
const UINT kRefocus = WM_APP + 0x47;
}  // namespace

CGridEdit::~CGridEdit() {
  if (!owned_) {
    Detach();
  } else if (hwnd_ && ::IsWindow(hwnd_)) {
    ::DestroyWindow(hwnd_);
  }
}

bool CGridEdit::Create(HWND grid) {
  HWND h = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 0, 0, grid,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(CGridCore::kEditorId)),
                             ::GetModuleHandleA(nullptr), nullptr);
  if (!h) return false;
  Subclass(h);
  owned_ = true;
  return true;
}

bool CGridEdit::Attach(HWND editor) {
  if (editor == hwnd_) return hwnd_ != nullptr;
  Detach();
  if (!editor || !::IsWindow(editor) || ::GetPropA(editor, kProp)) return false;
  Subclass(editor);
  owned_ = false;
  return true;
}

void CGridEdit::Detach() {
  if (!hwnd_ || owned_) return;
  if (::IsWindow(hwnd_)) {
    ::RemovePropA(hwnd_, kProp);
    ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
  }
  hwnd_ = nullptr;
  oldProc_ = nullptr;
}

void CGridEdit::Subclass(HWND h) {
  hwnd_ = h;
  ::SetPropA(hwnd_, kProp, this);
  oldProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CGridEdit::StaticProc)));
}

LRESULT CALLBACK CGridEdit::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CGridEdit*>(::GetPropA(hwnd, kProp));
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::RemovePropA(hwnd, kProp);
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->oldProc_));
    self->hwnd_ = nullptr;
    return ::CallWindowProcA(self->oldProc_, hwnd, message, wParam, lParam);
  }
  return self->WindowProc(message, wParam, lParam);
}

LRESULT CGridEdit::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(oldProc_, hwnd_, message, wParam, lParam);
}

LRESULT CGridEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS: OnSetFocus(wParam); return 0;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(static_cast<UINT>(wParam))) return 0;
      return Default(message, wParam, lParam);
    case WM_CHAR: {
      UINT ch = static_cast<UINT>(wParam);
      if (ch == VK_TAB || ch == VK_RETURN || ch == VK_ESCAPE) return 0;
      if (!grid_->OnEditKey(grid_->GetCurrentColumn(), grid_->GetCurrentRow(), hwnd_, &ch)) return 0;
      return Default(message, static_cast<WPARAM>(ch), lParam);
    }
    case WM_GETDLGCODE: return OnGetDlgCode(wParam, lParam);
    case WM_SETCURSOR: ::SetCursor(::LoadCursor(nullptr, IDC_IBEAM)); return TRUE;
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
    case kRefocus:
      if (grid_->IsEditing() && ::IsWindowVisible(hwnd_)) ::SetFocus(hwnd_);
      return 0;
    default: return Default(message, wParam, lParam);
  }
}

void CGridEdit::GrowToText() {
  if (!autoGrow_ || !hwnd_ || !::IsWindowVisible(hwnd_)) return;
  HWND host = ::GetParent(hwnd_);
  RECT r, hostRect;
  ::GetWindowRect(hwnd_, &r);
  ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&r), 2);
  ::GetClientRect(host, &hostRect);
  const int length = ::GetWindowTextLengthA(hwnd_);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  ::GetWindowTextA(hwnd_, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  text += " X X";
  RECT calc{r.left + 2, r.top, hostRect.right, r.top};
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &calc, DT_CALCRECT | DT_WORDBREAK);
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd_, dc);
  // The column heading shares the cell area's columns and the row heading
  // its rows, so the editor grows cell by cell along them there too.
  const bool inCells = host == grid_->GetPartWindow(CGridCore::kCellAreaId);
  const bool inTop = host == grid_->GetPartWindow(CGridCore::kTopHeadingId);
  const bool inSide = host == grid_->GetPartWindow(CGridCore::kSideHeadingId);
  RECT grown = r;
  RECT cell;
  if (calc.right > r.right) {
    grown.right = hostRect.right - 1;
    if ((inCells || inTop) && grid_->HitTest(calc.right, inCells ? r.top : 0, nullptr, nullptr, &cell) == 0) {
      grown.right = cell.right < hostRect.right - 1 ? cell.right : hostRect.right - 1;
    }
  }
  if (calc.bottom > r.bottom) {
    grown.bottom = hostRect.bottom - 1;
    if ((inCells || inSide) && grid_->HitTest(inCells ? r.left : 0, calc.bottom, nullptr, nullptr, &cell) == 0) {
      grown.bottom = cell.bottom - 1 < hostRect.bottom - 1 ? cell.bottom - 1 : hostRect.bottom - 1;
    }
  }
  if (grown.right < r.right) grown.right = r.right;
  if (grown.bottom < r.bottom) grown.bottom = r.bottom;
  if (::EqualRect(&grown, &r)) return;
  ::MoveWindow(hwnd_, grown.left, grown.top, grown.right - grown.left, grown.bottom - grown.top, TRUE);
  ::ValidateRect(host, &grown);
  height_ = grown.bottom - grown.top;
}

void CGridEdit::OnSetFocus(WPARAM wParam) {
  Default(WM_SETFOCUS, wParam, 0);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  height_ = lineHeight_ = client.bottom + 4;
  GrowToText();
  cancelled_ = moveNext_ = false;
  ::SendMessageA(hwnd_, EM_SETSEL, 0, -1);
  ::SendMessageA(hwnd_, EM_SCROLLCARET, 0, 0);
}

void CGridEdit::Leave(int nextCol, int nextRow, bool moveNext, bool cancelled) {
  nextCol_ = nextCol;
  nextRow_ = nextRow;
  moveNext_ = moveNext;
  cancelled_ = cancelled;
  ::SetFocus(grid_->GetSafeHwnd());
}

bool CGridEdit::OnKeyDown(UINT key) {
  const int col = grid_->GetEditColumn(), row = grid_->GetEditRow();
  const bool oneLine = ::SendMessageA(hwnd_, EM_GETLINECOUNT, 0, 0) <= 1;
  switch (key) {
    case VK_TAB: Leave(::GetKeyState(VK_SHIFT) < 0 ? col - 1 : col + 1, row, true, false); return true;
    case VK_ESCAPE: Leave(col, row, false, true); return true;
    case VK_RETURN: Leave(col, row + 1, true, false); return true;
    case VK_DOWN:
      if (!oneLine) return false;
      Leave(col, row + 1, true, false);
      return true;
    case VK_UP:
      if (!oneLine) return false;
      Leave(col, row - 1, true, false);
      return true;
    default: return false;
  }
}

LRESULT CGridEdit::OnGetDlgCode(WPARAM wParam, LPARAM lParam) {
  LRESULT code = Default(WM_GETDLGCODE, wParam, lParam);
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  const UINT key = msg && msg->message == WM_KEYDOWN ? static_cast<UINT>(msg->wParam) : 0;
  if (key == VK_TAB || ::GetKeyState(VK_TAB) < 0) code |= DLGC_WANTTAB;
  if (key == VK_RETURN || key == VK_ESCAPE || ::GetKeyState(VK_RETURN) < 0 || ::GetKeyState(VK_ESCAPE) < 0) {
    code |= DLGC_WANTALLKEYS;
  }
  return code;
}

void CGridEdit::OnKillFocus(HWND gaining) {
  Default(WM_KILLFOCUS, reinterpret_cast<WPARAM>(gaining), 0);
  if (!grid_->IsEditing()) return;
  HWND grid = grid_->GetSafeHwnd();
  // The focus leaving the grid (another window, a message box) cancels
  // the edit, and nothing may keep the editor then.
  const bool left = !gaining || (gaining != grid && ::GetParent(gaining) != grid);
  const int length = ::GetWindowTextLengthA(hwnd_);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  ::GetWindowTextA(hwnd_, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  const int col = grid_->GetEditColumn(), row = grid_->GetEditRow();
  const bool moveNext = moveNext_;
  moveNext_ = false;
  if (grid_->EndEdit(text, cancelled_ || left, moveNext && !left, nextCol_, nextRow_, left) == 0) {
    grid_->MoveToCell(col, row);
    ::PostMessageA(hwnd_, kRefocus, 0, 0);
  }
}
