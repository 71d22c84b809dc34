#include "dialogs/event/key_edit.h"

#include "dialogs/event/type_ahead_combo.h"

namespace dialogs {

LRESULT CKeyEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) return Default(message, wParam, lParam) | DLGC_WANTCHARS;
  if (message == WM_KEYDOWN && wParam == VK_BACK) {
    DWORD start = 0, end = 0;
    SendMsg(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // The character that follows deletes the selection: widen it over the
    // last typed letter, which is what the user meant to remove.
    if (start != end && start != 0) {
      SendMsg(EM_SETSEL, start - 1, static_cast<LPARAM>(end));
      SendMsg(EM_SCROLLCARET);
    }
  } else if (message == WM_KEYDOWN && wParam == VK_DELETE) {
    // Only a Delete that removes something changes the text, and so only
    // that one may keep its change from being completed again; a Delete
    // at the end with nothing selected would hold the skip for the next
    // letter instead.
    DWORD start = 0, end = 0;
    SendMsg(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool removes = start != end || start < static_cast<DWORD>(::GetWindowTextLengthA(GetSafeHwnd()));
    auto* combo = dynamic_cast<CTypeAheadCombo*>(FromHandle(::GetParent(GetSafeHwnd())));
    if (combo && removes) combo->SkipNextCompletion();
  }
  return Default(message, wParam, lParam);
}

}  // namespace dialogs
