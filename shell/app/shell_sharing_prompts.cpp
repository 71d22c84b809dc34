// The Internet calendars' questions, answered by the sharing dialogs.
#include "dialogs/small/warning_dlg.h"
#include "framework/application.h"
#include "shell/app/shell_services.h"
#include "storage/ui/cal_login_dlg.h"
#include "storage/ui/cal_overwrite.h"
#include "storage/ui/cal_progress.h"
#include "storage/ui/cal_refresh_delete_dlg.h"

bool CShellStoragePrompts::PromptLogin(CalendarLogin* login) {
  CCalLoginDlg dlg;
  dlg.userName = login->user;
  dlg.password = login->password;
  dlg.remember = login->remember ? 1 : 0;
  dlg.offerRemember = login->offerRemember;
  if (dlg.DoModal() != IDOK) return false;
  login->user = dlg.userName;
  login->password = dlg.password;
  login->remember = dlg.remember != 0;
  return true;
}

bool CShellStoragePrompts::ChooseEventsToDelete(const std::vector<RefreshDeleteItem>& items,
                                                const std::string& warning, std::vector<bool>* ticked) {
  CCalRefreshDeleteDlg dlg;
  dlg.items = items;
  dlg.ticked = *ticked;
  dlg.warning = warning;
  const bool deleteSelected = dlg.DoModal() == IDOK;
  *ticked = dlg.ticked;
  return deleteSelected;
}

OverwriteChoice CShellStoragePrompts::AskOverwrite() {
  CCalOverwrite dlg;
  switch (dlg.DoModal()) {
    case CCalOverwrite::kOverwrite:
      return OverwriteChoice::kOverwrite;
    case CCalOverwrite::kRefreshFirst:
      return OverwriteChoice::kRefreshFirst;
    default:
      return OverwriteChoice::kCancel;
  }
}

bool CShellStoragePrompts::ShowWarning(const std::string& message, const std::string& caption, bool okOnly) {
  dialogs::CWarningDlg dlg;
  dlg.message = message;
  dlg.caption = caption;
  dlg.buttons = okOnly ? 0 : MB_YESNO;
  dlg.DoModal();
  return dlg.doNotShow == 1;
}

IProgressWindow* CShellStoragePrompts::OpenProgressWindow(const std::string& title) {
  // Owned by the window the user started the work from (the calendar
  // manager, the publish dialog, the main window after a save), so that it
  // stays above it; the main window's last one when none of ours is active.
  HWND owner = ::GetActiveWindow();
  framework::CApplication* app = framework::TheApp();
  if (owner == nullptr && app && app->GetMainWindow()) owner = ::GetLastActivePopup(app->GetMainWindow());
  return CCalProgress::Open(title, owner);
}
