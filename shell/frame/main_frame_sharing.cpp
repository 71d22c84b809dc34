// The main frame's Internet calendar commands: New Calendar and Subscribe
// (also for a "/webcal" address handed over by another instance).
#include "res/resource.h"
#include "model/settings/program_settings.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "storage/calendar_address.h"
#include "storage/sharing/sharing.h"
#include "storage/ui/cal_new_dlg.h"
#include "storage/ui/cal_subscribe_dlg.h"
#include "storage/ui/calendars_dialog.h"
#include "storage/ui/sharing_hooks.h"

namespace {

void SearchFromDialog() {
  if (CMainFrame* frame = CMainFrame::Get()) ::SendMessageA(frame->GetSafeHwnd(), WM_COMMAND, ID_CALENDAR_SEARCH, 0);
}

}  // namespace

void CMainFrame::InstallSharingHooks(bool install) {
  SharingHooks& hooks = GetSharingHooks();
  hooks.calendarSearch = install ? &SearchFromDialog : nullptr;
}

void CMainFrame::NewCalendar(HWND owner) {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  if (!owner) owner = GetSafeHwnd();
  CCalNewDlg dlg(doc->Core(), owner);
  dlg.DoModal();
  ::SetActiveWindow(owner);
}

BOOL CMainFrame::SubscribeToUrl(const std::string& address) {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return FALSE;
  CCalSubscribeDlg dlg(doc->Core(), GetSafeHwnd());
  // A link from outside may carry a login: the address is shown without
  // it, and the login fills the dialog's own fields, for the user to keep
  // or clear.
  dlg.address = AddressWithoutLogin(address, &dlg.userName, &dlg.password);
  if (!address.empty()) {
    dlg.name = CProgramSettings::CalendarNameFromPath(dlg.address);
    dlg.localFile = SubscriptionFileName(dlg.name);
    dlg.nameFromAddress = true;
  }
  if (dlg.DoModal() != IDOK) return FALSE;
  if (m_pCalendarsDlg) m_pCalendarsDlg->FillCalendarGrid();
  doc->RecountAndRefresh();
  return TRUE;
}
