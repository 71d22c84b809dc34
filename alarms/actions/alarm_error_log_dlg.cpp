#include "alarms/actions/alarm_error_log_dlg.h"

#include "alarms/actions/alarm_log_file.h"
#include "alarms/core/action_log.h"
#include "res/resource.h"

namespace alarms {

CAlarmErrorLogDlg::CAlarmErrorLogDlg(HWND parent) : CDialog(IDD_ALARM_ERROR_LOG, parent) {}

BOOL CAlarmErrorLogDlg::OnInitDialog() {
  BOOL r = CDialog::OnInitDialog();
  LoadLog();
  return r;
}

void CAlarmErrorLogDlg::LoadLog() {
  std::string text = ReadAlarmLog(AlarmLogPath());
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_AL_TEXT, text.c_str());
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_AL_TEXT, EM_LINESCROLL, 0, 1000000);
}

void CAlarmErrorLogDlg::ShowLog() {
  modeless_ = true;
  HWND active = ::GetActiveWindow();
  if (!IsWindow() && !Create(parent_)) return;
  LoadLog();
  // Minimised it would be a bare title bar where no task bar holds it.
  if (!::IsWindowVisible(GetSafeHwnd()) || ::IsIconic(GetSafeHwnd())) ::ShowWindow(GetSafeHwnd(), SW_SHOWNOACTIVATE);
  // Made, the dialog takes the focus into its controls: the window the user
  // was in gets it back.
  if (active && active != GetSafeHwnd() && ::IsWindow(active) && ::GetActiveWindow() != active)
    ::SetActiveWindow(active);
}

void CAlarmErrorLogDlg::OnOK() {
  if (modeless_)
    ::ShowWindow(GetSafeHwnd(), SW_HIDE);
  else
    EndDialog(IDOK);
}

}  // namespace alarms
