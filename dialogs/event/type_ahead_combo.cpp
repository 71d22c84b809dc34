#include "dialogs/event/type_ahead_combo.h"

#include <string>

namespace dialogs {

void CTypeAheadCombo::BindEdit(HWND edit) {
  if (edit && !edit_.GetSafeHwnd()) edit_.SubclassWindow(edit);
}

LRESULT CTypeAheadCombo::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLOREDIT:
      BindEdit(reinterpret_cast<HWND>(lParam));
      break;
    case WM_DESTROY:
      if (edit_.GetSafeHwnd()) edit_.UnsubclassWindow();
      break;
    case WM_COMMAND:
      // The edit part reports every change to the combo, which passes it
      // on to its parent as CBN_EDITUPDATE; complete once that is done.
      if (HIWORD(wParam) == EN_UPDATE) {
        BindEdit(reinterpret_cast<HWND>(lParam));
        LRESULT r = framework::CComboBox::WindowProc(message, wParam, lParam);
        Complete();
        return r;
      }
      break;
    default:
      break;
  }
  return framework::CComboBox::WindowProc(message, wParam, lParam);
}

void CTypeAheadCombo::Complete() {
  if (completing_) return;  // the text we set ourselves
  if (!completeNext_) {
    completeNext_ = 1;
    return;
  }
  std::string typed = GetWindowText();
  if (typed.empty()) return;
  LRESULT found = SendMsg(CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
  if (found == CB_ERR) return;
  completing_ = true;
  SendMsg(CB_SETCURSEL, static_cast<WPARAM>(found));
  SendMsg(CB_SETEDITSEL, 0, MAKELPARAM(typed.size(), -1));
  completing_ = false;
}

}  // namespace dialogs
