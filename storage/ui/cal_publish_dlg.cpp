#include "storage/ui/cal_publish_dlg.h"

#include <shellapi.h>

#include "framework/blocking_wait.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/sharing/calendar_url.h"
#include "storage/sharing/sharing.h"
#include "storage/ui/progress_messages.h"
#include "storage/ui/sharing_hooks.h"

namespace {

constexpr DWORD kHelpTopic = 147;

std::string ServiceFolder(bool privateCalendar, const std::string& user) {
  return std::string(skyledger::kPublishBase) + (privateCalendar ? "private/" : "public/") + user + "/";
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

CCalPublishDlg::CCalPublishDlg(CAlmacoraDoc& doc, CCalendarFile& calendar, HWND parent)
    : CDialog(IDD_CAL_PUBLISH, parent), doc_(doc), calendar_(calendar) {
  publishName = calendar.name;
  fullAddress = calendar.address;
  userName = calendar.userName;
  password = calendar.password;
  publishAlarms = calendar.publishAlarms;
  publishAuto = calendar.publishAfterSave;
  LoadStartValues();
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalPublishDlg, framework::CDialog)
  framework::OnCommand<&CCalPublishDlg::OnTargetChange>(IDC_PUB_SERVICE),
  framework::OnCommand<&CCalPublishDlg::OnTargetChange>(IDC_PUB_WEB),
  framework::OnCommand<&CCalPublishDlg::OnFieldChange>(IDC_PUB_PRIVATE),
  framework::OnControl<&CCalPublishDlg::OnFieldChange>(EN_CHANGE, IDC_CAL_NAME),
  framework::OnControl<&CCalPublishDlg::OnFieldChange>(EN_CHANGE, IDC_PUB_WEB_URL),
  framework::OnControl<&CCalPublishDlg::OnFieldChange>(EN_CHANGE, IDC_CAL_USER),
  framework::OnControl<&CCalPublishDlg::OnLink>(STN_CLICKED, IDC_PUB_LINK),
  framework::OnCommand<&CCalPublishDlg::OnHelpButton>(IDC_PUB_HELP),
  framework::OnMessage<&CCalPublishDlg::OnHelpKey>(WM_HELP),
  framework::OnMessage<&CCalPublishDlg::OnSteps>(WM_CALPROGRESS_STEPS),
  framework::OnMessage<&CCalPublishDlg::OnStep>(WM_CALPROGRESS_STEP),
FRAMEWORK_END_MESSAGE_MAP()

void CCalPublishDlg::LoadStartValues() {
  saveAsDefault = 0;
  if (!fullAddress.empty()) {
    publishName = CProgramSettings::CalendarNameFromPath(fullAddress);
  } else if (!g_Settings.PublishURL.empty()) {
    userName = g_Settings.PublishUsername;
    password = g_Settings.PublishPassword;
    fullAddress = g_Settings.PublishURL;
  } else {
    saveAsDefault = 1;
  }
  target = kService;
  if (Contains(fullAddress, "/")) {
    if (Contains(fullAddress, skyledger::kDomain) && !Contains(fullAddress, "ftp://")) {
      privateCalendar = Contains(fullAddress, "private") ? 1 : 0;
    } else {
      target = kWebServer;
      webUrl = fullAddress.substr(0, fullAddress.rfind('/'));
    }
  }
}

std::string CCalPublishDlg::BuildAddress() const {
  if (target == kWebServer) return WebPublishAddress(webUrl, publishName);
  if (userName.empty()) return std::string();
  return ServiceFolder(privateCalendar != 0, userName) + EncodePublishName(publishName) + ".ics";
}

BOOL CCalPublishDlg::OnInitDialog() {
  if (target == kWebServer || !userName.empty()) fullAddress = BuildAddress();
  CDialog::OnInitDialog();
  ShowTarget();
  ready_ = true;
  return TRUE;
}

void CCalPublishDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_CAL_NAME, publishName);
  framework::ExchangeRadio(dx, IDC_PUB_SERVICE, target);
  framework::ExchangeCheck(dx, IDC_PUB_PRIVATE, privateCalendar);
  framework::ExchangeText(dx, IDC_PUB_WEB_URL, webUrl);
  framework::ExchangeText(dx, IDC_CAL_USER, userName);
  framework::ExchangeText(dx, IDC_CAL_PASSWORD, password);
  framework::ExchangeText(dx, IDC_CAL_ADDRESS, fullAddress);
  framework::ExchangeCheck(dx, IDC_CAL_PUBLISH_ALARMS, publishAlarms);
  framework::ExchangeCheck(dx, IDC_CAL_PUBLISH_AUTO, publishAuto);
  framework::ExchangeCheck(dx, IDC_PUB_SAVE_DEFAULT, saveAsDefault);
}

void CCalPublishDlg::ShowTarget() {
  const bool web = target == kWebServer;
  ::EnableWindow(GetItem(IDC_PUB_PRIVATE), !web);
  for (int id : {IDC_PUB_WEB_URL, IDC_PUB_WEB_URL_LABEL}) {
    ::EnableWindow(GetItem(id), web);
    ::ShowWindow(GetItem(id), web ? SW_SHOW : SW_HIDE);
  }
}

void CCalPublishDlg::OnTargetChange() {
  target = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_PUB_WEB) == BST_CHECKED ? kWebServer : kService;
  ShowTarget();
  OnFieldChange();
}

void CCalPublishDlg::OnFieldChange() {
  if (!ready_) return;
  ready_ = false;  // the address below changes no field of the rule
  const std::string address = fullAddress;
  UpdateData(true);
  if (target == kWebServer || !userName.empty()) fullAddress = BuildAddress();
  else fullAddress = address;
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_CAL_ADDRESS, fullAddress.c_str());
  ready_ = true;
}

void CCalPublishDlg::OnOK() {
  if (framework::TransferRunsIn(GetSafeHwnd()) || !UpdateData(true)) return;
  const bool web = target == kWebServer;
  const char* problem = nullptr;
  if (publishName.empty()) problem = "Please enter a calendar publish name.";
  else if (web && webUrl.empty()) problem = "Please enter a web URL.";
  else if (web && fullAddress.empty()) problem = "Please enter a calendar address (URL).";
  else if (!web && userName.empty()) problem = "Please enter an Skyledger user name.";
  if (problem) {
    framework::MessageBox(problem, MB_OK);
    return;
  }
  framework::CWaitCursor wait;
  if (saveAsDefault) {
    g_Settings.PublishUsername = userName;
    g_Settings.PublishPassword = password;
    // Stored as a folder ending in "/", as the service's is: the next
    // dialog cuts the stored address at its last "/" to find the web URL.
    std::string folder = TrimAddress(webUrl);
    if (folder.empty() || folder.back() != '/') folder += '/';
    g_Settings.PublishURL = web ? folder : ServiceFolder(privateCalendar != 0, userName);
    g_Settings.WriteString("PublishUsername", g_Settings.PublishUsername);
    g_Settings.WriteString("PublishPassword", g_Settings.PublishPassword);
    g_Settings.WriteString("PublishURL", g_Settings.PublishURL);
  }
  calendar_.SetAddress(fullAddress);
  calendar_.userName = userName;
  calendar_.password = password;
  calendar_.publishAlarms = publishAlarms ? 1 : 0;
  calendar_.publishAfterSave = publishAuto ? 1 : 0;
  CProgressSender progress(GetSafeHwnd());
  framework::CCancelScope cancel(GetSafeHwnd());
  if (PublishFromDialog(doc_, calendar_, &progress)) EndDialog(IDOK);
}

void CCalPublishDlg::OnLink() {
  ::ShellExecuteA(GetSafeHwnd(), "open", skyledger::kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
}

void CCalPublishDlg::OnHelpButton() { ShowSharingHelp(kHelpTopic); }

LRESULT CCalPublishDlg::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}

LRESULT CCalPublishDlg::OnSteps(WPARAM wParam, LPARAM) {
  ApplyProgressSteps(GetSafeHwnd(), IDC_PUB_PROGRESS, wParam);
  return 0;
}

LRESULT CCalPublishDlg::OnStep(WPARAM wParam, LPARAM lParam) {
  ApplyProgressStep(GetSafeHwnd(), IDC_PUB_PROGRESS, IDC_CAL_STEP_TEXT, wParam, lParam);
  return 0;
}

void CCalPublishDlg::OnCancel() {
  if (!framework::CancelTransferOf(GetSafeHwnd())) CDialog::OnCancel();
}
