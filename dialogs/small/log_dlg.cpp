#include "dialogs/small/log_dlg.h"

#include "res/resource.h"

namespace dialogs {

CLogDlg::CLogDlg(HWND parent) : CDialog(IDD_LOG, parent) {}

std::string CLogDlg::WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += c;
  }
  return out;
}

BOOL CLogDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The text is only shown, never read back: Close leaves `text` alone.
  HWND edit = ::GetDlgItem(GetSafeHwnd(), IDC_LOG_TEXT);
  ::SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);  // as much as the system allows
  ::SetWindowTextA(edit, WithCrLf(text).c_str());
  return TRUE;
}

}  // namespace dialogs
