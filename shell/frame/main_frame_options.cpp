// The main frame's Options (toolbar, menu and the extra button) and Filter
// commands.
#include "dialogs/options/filter_dlg.h"
#include "dialogs/options/options_sheet.h"
#include "shell/frame/main_frame.h"

void CMainFrame::OnOptions() { options::RunOptionsSheet(GetSafeHwnd()); }

void CMainFrame::OnFilter() { options::RunFilterDialog(GetSafeHwnd()); }
