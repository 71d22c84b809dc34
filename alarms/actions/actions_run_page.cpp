#include "alarms/actions/actions_run_page.h"

#include "alarms/actions/alarm_run_file.h"
#include "alarms/actions/dialog_items.h"
#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"
#include "res/resource.h"

namespace alarms {

CActionsRun::CActionsRun() : CPropertyPage(IDD_ACTIONS_RUN) { SetHelpContext(151); }

FRAMEWORK_BEGIN_MESSAGE_MAP(CActionsRun, framework::CPropertyPage)
  framework::OnCommand<&CActionsRun::UpdateEnabled>(IDC_AR_ENABLED),
  framework::OnCommand<&CActionsRun::OnBrowse>(IDC_AR_BROWSE),
  framework::OnCommand<&CActionsRun::OnTest>(IDC_AR_TEST),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CActionsRun::OnInitDialog() {
  const CProgramSettings& s = g_Settings;
  if (event) {
    enabled = ResolveInherited(event->runOn, s.AlarmRunEnabled);
    initial = ResolveInherited(event->runAtAlarm, s.RunAlarm);
    snooze = ResolveInherited(event->runAtSnooze, s.RunSnooze);
    file = ResolveInheritedText(event->runFile, s.RunFilename);
    arguments = ResolveInheritedText(event->runParameters, s.RunParms);
    startupIndex = ShowCmdToIndex(ResolveInheritedInt(event->runWindowState, s.RunState));
  }
  HWND combo = GetItem(IDC_AR_STARTUP);
  for (const char* text : {"Normal Window", "Minimized", "Maximized"})
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  BOOL r = CPropertyPage::OnInitDialog();
  UpdateEnabled();
  return r;
}

void CActionsRun::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_AR_ENABLED, enabled);
  framework::ExchangeCheck(dx, IDC_AR_INITIAL, initial);
  framework::ExchangeCheck(dx, IDC_AR_SNOOZE, snooze);
  framework::ExchangeText(dx, IDC_AR_FILE, file);
  framework::ExchangeText(dx, IDC_AR_ARGS, arguments);
  framework::ExchangeComboIndex(dx, IDC_AR_STARTUP, startupIndex);
}

void CActionsRun::UpdateEnabled() {
  HWND d = GetSafeHwnd();
  bool on = IsChecked(d, IDC_AR_ENABLED);
  for (int id : {IDC_AR_INITIAL, IDC_AR_SNOOZE, IDC_AR_FILE, IDC_AR_FILE_LABEL, IDC_AR_ARGS, IDC_AR_ARGS_LABEL,
                 IDC_AR_STARTUP, IDC_AR_STARTUP_LABEL, IDC_AR_BROWSE, IDC_AR_TEST})
    EnableItem(d, id, on);
}

void CActionsRun::OnBrowse() {
  framework::CFileDialog dlg(true, "*", ItemText(GetSafeHwnd(), IDC_AR_FILE), OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                             "All Files (*.*)|*.*||", GetSafeHwnd());
  dlg.title = "Select Program / File to Run";
  if (dlg.DoModal() == IDOK) ::SetDlgItemTextA(GetSafeHwnd(), IDC_AR_FILE, dlg.GetPathName().c_str());
}

void CActionsRun::OnTest() {
  HWND d = GetSafeHwnd();
  std::string error;
  {
    framework::CWaitCursor wait;
    int index = static_cast<int>(::SendDlgItemMessageA(d, IDC_AR_STARTUP, CB_GETCURSEL, 0, 0));
    error = RunAlarmFile(d, ItemText(d, IDC_AR_FILE), ItemText(d, IDC_AR_ARGS), IndexToShowCmd(index));
  }
  if (!error.empty()) ::MessageBoxA(d, error.c_str(), "Run Error", MB_OK);
}

void CActionsRun::OnOK() {
  if (event) {
    const CProgramSettings& s = g_Settings;
    event->runOn = ToInherited(static_cast<int16_t>(enabled), s.AlarmRunEnabled);
    event->runAtAlarm = ToInherited(static_cast<int16_t>(initial), s.RunAlarm);
    event->runAtSnooze = ToInherited(static_cast<int16_t>(snooze), s.RunSnooze);
    event->runFile = ToInheritedText(file, s.RunFilename);
    event->runParameters = ToInheritedText(arguments, s.RunParms);
    event->runWindowState = ToInheritedInt(IndexToShowCmd(startupIndex), s.RunState);
  }
  CPropertyPage::OnOK();
}

}  // namespace alarms
