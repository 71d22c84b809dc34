// Small control helpers the alarm action dialogs share.
#pragma once

#include <windows.h>

#include <string>

namespace alarms {

inline void EnableItem(HWND dialog, int id, bool on) { ::EnableWindow(::GetDlgItem(dialog, id), on ? TRUE : FALSE); }
inline bool IsChecked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline std::string ItemText(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  int n = ::GetWindowTextLengthA(item);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  ::GetWindowTextA(item, &text[0], n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

}  // namespace alarms
