#include "dialogs/options/options_page.h"

#include <vector>

#include "dialogs/small/help_hook.h"
#include "res/resource.h"

namespace options {

FRAMEWORK_BEGIN_MESSAGE_MAP(COptionsPage, framework::CPropertyPage)
  framework::OnCommand<&COptionsPage::OnHelpButton>(IDC_OPT_HELP),
  framework::OnMessage<&COptionsPage::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

void COptionsPage::OnHelpButton() { dialogs::ShowHelpTopic(helpContext_); }

LRESULT COptionsPage::OnHelpKey(WPARAM, LPARAM) {
  dialogs::ShowHelpTopic(helpContext_);
  return TRUE;
}

int COptionsPage::Checked(int id) const {
  return ::IsDlgButtonChecked(GetSafeHwnd(), id) == BST_CHECKED ? 1 : 0;
}

void COptionsPage::SetChecked(int id, int on) { ::CheckDlgButton(GetSafeHwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }

void COptionsPage::ShowItem(int id, bool show) { ::ShowWindow(GetItem(id), show ? SW_SHOW : SW_HIDE); }

void COptionsPage::EnableItem(int id, bool enable) { ::EnableWindow(GetItem(id), enable ? TRUE : FALSE); }

std::string COptionsPage::ItemText(int id) const {
  HWND h = GetItem(id);
  int n = ::GetWindowTextLengthA(h);
  std::vector<char> text(static_cast<size_t>(n) + 1, '\0');
  ::GetWindowTextA(h, text.data(), n + 1);
  return text.data();
}

void COptionsPage::SetItemText(int id, const std::string& text) { ::SetDlgItemTextA(GetSafeHwnd(), id, text.c_str()); }

}  // namespace options
