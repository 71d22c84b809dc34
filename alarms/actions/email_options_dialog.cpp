#include "alarms/actions/email_options_dialog.h"

#include "alarms/actions/dialog_items.h"
#include "framework/dialogs/data_exchange.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace alarms {

CEmailOptionsDialog::CEmailOptionsDialog(HWND parent) : CDialog(IDD_EMAIL_OPTIONS, parent) { SetHelpContext(154); }

FRAMEWORK_BEGIN_MESSAGE_MAP(CEmailOptionsDialog, framework::CDialog)
  framework::OnCommand<&CEmailOptionsDialog::UpdateEnabled>(IDC_EO_MAPI),
  framework::OnCommand<&CEmailOptionsDialog::UpdateEnabled>(IDC_EO_SMTP),
  framework::OnControl<&CEmailOptionsDialog::UpdateEnabled>(CBN_SELCHANGE, IDC_EO_LOGIN),
  framework::OnCommand<&CEmailOptionsDialog::ShowHelp>(IDC_EO_HELP),
FRAMEWORK_END_MESSAGE_MAP()

void CEmailOptionsDialog::CopyFrom(const CProgramSettings& s) {
  transport = s.EmailType == 0 ? 0 : 1;
  profile = s.EmailProfile;
  shared = s.EmailMAPIShared;
  server = s.EmailServer;
  port = static_cast<UINT>(s.EmailPort);
  fromName = s.EmailFromName;
  fromAddr = s.EmailFromAddr;
  loginMethod = s.EmailSMTPLogin;
  user = s.EmailUsername;
  password = s.EmailPassword;
}

void CEmailOptionsDialog::CopyTo(CProgramSettings& s) const {
  s.EmailType = transport;
  s.EmailProfile = profile;
  s.EmailMAPIShared = shared;
  s.EmailServer = server;
  s.EmailPort = static_cast<int32_t>(port);
  s.EmailFromName = fromName;
  s.EmailFromAddr = fromAddr;
  s.EmailSMTPLogin = loginMethod;
  s.EmailUsername = user;
  s.EmailPassword = password;
}

BOOL CEmailOptionsDialog::OnInitDialog() {
  HWND combo = GetItem(IDC_EO_LOGIN);
  for (const char* text : {"No Login", "Secure Login (CRAM-MD5)", "Unsecure Login (AUTH)", "Unsecure Login (AUTH PLAIN)"})
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  BOOL r = CDialog::OnInitDialog();
  UpdateEnabled();
  return r;
}

void CEmailOptionsDialog::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_EO_SERVER, server);
  framework::ExchangeText(dx, IDC_EO_PORT, port);
  // A port the SMTP client would refuse is refused here already.
  framework::ValidateRange(dx, port, 1u, 65535u);
  framework::ExchangeText(dx, IDC_EO_FROM_NAME, fromName);
  framework::ExchangeText(dx, IDC_EO_FROM_ADDR, fromAddr);
  framework::ExchangeComboIndex(dx, IDC_EO_LOGIN, loginMethod);
  framework::ExchangeText(dx, IDC_EO_PASSWORD, password);
  framework::ExchangeText(dx, IDC_EO_PROFILE, profile);
  framework::ExchangeCheck(dx, IDC_EO_SHARED, shared);
  framework::ExchangeText(dx, IDC_EO_USER, user);
  framework::ExchangeRadio(dx, IDC_EO_MAPI, transport);
}

void CEmailOptionsDialog::UpdateEnabled() {
  HWND d = GetSafeHwnd();
  bool mapi = IsChecked(d, IDC_EO_MAPI);
  for (int id : {IDC_EO_SERVER, IDC_EO_SERVER_LABEL, IDC_EO_PORT, IDC_EO_PORT_LABEL, IDC_EO_FROM_NAME,
                 IDC_EO_FROM_NAME_LABEL, IDC_EO_FROM_ADDR, IDC_EO_FROM_ADDR_LABEL, IDC_EO_LOGIN, IDC_EO_LOGIN_LABEL})
    EnableItem(d, id, !mapi);
  bool login = !mapi && ::SendDlgItemMessageA(d, IDC_EO_LOGIN, CB_GETCURSEL, 0, 0) > 0;
  for (int id : {IDC_EO_USER, IDC_EO_USER_LABEL, IDC_EO_PASSWORD, IDC_EO_PASSWORD_LABEL}) EnableItem(d, id, login);
  for (int id : {IDC_EO_SHARED, IDC_EO_PROFILE, IDC_EO_PROFILE_LABEL}) EnableItem(d, id, mapi);
}

}  // namespace alarms
