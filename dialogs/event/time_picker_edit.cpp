#include "dialogs/event/time_picker_edit.h"

#include <commctrl.h>

namespace dialogs {
namespace {
const char kFieldClass[] = "AlmacoraTimeField";
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CTimePickerEdit, framework::CWindow)
  framework::OnCommand<&CTimePickerEdit::DropDown>(CTimePickerEdit::kButtonId),
  framework::OnMessage<&CTimePickerEdit::OnChosen>(CTimePickerList::kChosenMessage),
FRAMEWORK_END_MESSAGE_MAP()

bool CTimePickerEdit::CreateField(HWND parent, const RECT& r, int id) {
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  RegisterClass(inst, kFieldClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), 0);
  return Create(kFieldClass, "TIMEPICKER", WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CONTROLPARENT, r.left, r.top,
                r.right - r.left, r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst);
}

bool CTimePickerEdit::OnCreate(const CREATESTRUCTA& cs) {
  const int w = ::GetSystemMetrics(SM_CXVSCROLL);
  const int right = cs.cx, bottom = cs.cy;
  RECT pickerRect{0, 0, right - w - 1, bottom};
  if (!picker_.CreateTimePicker(GetSafeHwnd(), pickerRect, kPickerId)) return false;
  HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, right - w - 1, 2, w + 1,
                                  bottom - 4, GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)),
                                  cs.hInstance, nullptr);
  if (button) button_.SubclassWindow(button);
  ::SendMessageA(picker_.GetSafeHwnd(), WM_SETFONT, ::SendMessageA(cs.hwndParent, WM_GETFONT, 0, 0), FALSE);
  return true;
}

void CTimePickerEdit::DropDown() {
  RECT r{};
  ::GetWindowRect(picker_.GetSafeHwnd(), &r);
  CDateTime t = CDateTime::Today();
  picker_.GetTime(t);
  list_.ShowAt(r, GetSafeHwnd(), t);
}

void CTimePickerEdit::NotifyParent(const NMHDR& header, LPARAM original) {
  // Passed on under this control's id and window; the rest of the
  // notification's structure follows the header unchanged.
  NMHDR* h = reinterpret_cast<NMHDR*>(original);
  const NMHDR saved = *h;
  h->hwndFrom = GetSafeHwnd();
  h->idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(GetSafeHwnd()));
  h->code = header.code;
  ::SendMessageA(::GetParent(GetSafeHwnd()), WM_NOTIFY, h->idFrom, original);
  *h = saved;
}

LRESULT CTimePickerEdit::OnChosen(WPARAM, LPARAM) {
  picker_.SetTime(list_.time);
  NMDATETIMECHANGE change{};
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = GDT_VALID;
  picker_.SendMsg(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&change.st));
  NotifyParent(change.nmhdr, reinterpret_cast<LPARAM>(&change));
  return 0;
}

LRESULT CTimePickerEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const NMHDR* h = reinterpret_cast<const NMHDR*>(lParam);
    if (h && h->idFrom == static_cast<UINT_PTR>(kPickerId)) {
      NotifyParent(*h, lParam);
      return 0;
    }
  }
  if (message == WM_SETFOCUS) {
    ::SetFocus(picker_.GetSafeHwnd());
    return 0;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}

}  // namespace dialogs
