#include "storage/ui/cal_wiz_page.h"

#include "storage/ui/sharing_hooks.h"

namespace {
constexpr DWORD kHelpTopic = 152;
constexpr UINT kHelpCommand = 57670;
}  // namespace

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalWizPage, framework::CPropertyPage)
  framework::OnCommand<&CCalWizPage::OnHelpCommand>(kHelpCommand),
  framework::OnMessage<&CCalWizPage::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

void CCalWizPage::OnHelpCommand() { ShowSharingHelp(kHelpTopic); }

LRESULT CCalWizPage::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}
