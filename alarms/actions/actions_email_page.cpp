#include "alarms/actions/actions_email_page.h"

#include "alarms/actions/alarm_test_actions.h"
#include "alarms/actions/alarm_worker.h"
#include "alarms/actions/dialog_items.h"
#include "alarms/actions/email_options_dialog.h"
#include "alarms/actions/mail_test_progress_dlg.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"
#include "res/resource.h"

namespace alarms {

namespace {
// The edit control shows CR LF line ends; the templates keep LF.
std::string ToControl(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}
std::string FromControl(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}
}  // namespace

CActionsEmail::CActionsEmail() : CPropertyPage(IDD_ACTIONS_EMAIL) { SetHelpContext(150); }
CActionsEmail::~CActionsEmail() = default;

FRAMEWORK_BEGIN_MESSAGE_MAP(CActionsEmail, framework::CPropertyPage)
  framework::OnCommand<&CActionsEmail::UpdateEnabled>(IDC_AE_ENABLED),
  framework::OnCommand<&CActionsEmail::OnTest>(IDC_AE_TEST),
  framework::OnCommand<&CActionsEmail::OnSetup>(IDC_AE_SETUP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CActionsEmail::OnInitDialog() {
  const CProgramSettings& s = g_Settings;
  if (event) {
    enabled = ResolveInherited(event->emailOn, s.AlarmEmailEnabled);
    recipients = ResolveInheritedText(event->emailTo, s.EmailTo);
    subject = ResolveInheritedText(event->emailSubject, s.EmailSubject);
    message = ResolveInheritedText(event->emailBody, s.EmailBody);
  }
  BOOL r = CPropertyPage::OnInitDialog();
  UpdateEnabled();
  return r;
}

void CActionsEmail::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_AE_ENABLED, enabled);
  framework::ExchangeText(dx, IDC_AE_TO, recipients);
  framework::ExchangeText(dx, IDC_AE_SUBJECT, subject);
  std::string shown = ToControl(message);
  framework::ExchangeText(dx, IDC_AE_MESSAGE, shown);
  message = FromControl(shown);
}

void CActionsEmail::UpdateEnabled() {
  HWND d = GetSafeHwnd();
  bool on = IsChecked(d, IDC_AE_ENABLED);
  for (int id : {IDC_AE_TO, IDC_AE_TO_LABEL, IDC_AE_SUBJECT, IDC_AE_SUBJECT_LABEL, IDC_AE_MESSAGE,
                 IDC_AE_MESSAGE_LABEL, IDC_AE_TEST, IDC_AE_SETUP, IDC_AE_TAGS})
    EnableItem(d, id, on);
}

void CActionsEmail::OnTest() {
  HWND d = GetSafeHwnd();
  const AlarmJob job =
      BuildTestMailJob(event, ItemText(d, IDC_AE_TO), ItemText(d, IDC_AE_SUBJECT), FromControl(ItemText(d, IDC_AE_MESSAGE)));
  if (job.transport.type != 0) {
    // SMTP waits up to a minute for each reply of the server.
    if (!progress_) progress_ = std::make_unique<CMailTestProgressDlg>(d);
    progress_->Start(job, ::GetParent(d));
    return;
  }
  // Simple MAPI may show its logon over this page, so it stays here.
  std::string error;
  {
    framework::CWaitCursor wait;
    error = SendAlarmJobEmail(job, true);
  }
  ::MessageBoxA(d, error.empty() ? "Email Sent" : error.c_str(), "Email Test", MB_OK);
}

void CActionsEmail::OnSetup() {
  CEmailOptionsDialog dlg(GetSafeHwnd());
  dlg.CopyFrom(g_Settings);
  if (dlg.DoModal() == IDOK) dlg.CopyTo(g_Settings);
}

void CActionsEmail::OnOK() {
  if (event) {
    const CProgramSettings& s = g_Settings;
    event->emailOn = ToInherited(static_cast<int16_t>(enabled), s.AlarmEmailEnabled);
    event->emailTo = ToInheritedText(recipients, s.EmailTo);
    event->emailSubject = ToInheritedText(subject, s.EmailSubject);
    event->emailBody = ToInheritedText(message, s.EmailBody);
  }
  CPropertyPage::OnOK();
}

}  // namespace alarms
