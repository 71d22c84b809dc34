#include "storage/ui/cal_subscribe_dlg.h"

#include <commctrl.h>

#include "framework/blocking_wait.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/sharing/sharing.h"
#include "storage/ui/cal_new_dlg.h"
#include "storage/ui/progress_messages.h"
#include "storage/ui/sharing_hooks.h"

namespace {
constexpr DWORD kHelpTopic = 146;
}

CCalSubscribeDlg::CCalSubscribeDlg(CAlmacoraDoc& doc, HWND parent) : CDialog(IDD_CAL_SUBSCRIBE, parent), doc_(doc) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalSubscribeDlg, framework::CDialog)
  framework::OnCommand<&CCalSubscribeDlg::OnPreview>(IDC_SUB_PREVIEW),
  framework::OnCommand<&CCalSubscribeDlg::OnSearch>(IDC_SUB_SEARCH),
  framework::OnCommand<&CCalSubscribeDlg::OnBrowse>(IDC_CAL_BROWSE),
  framework::OnCommand<&CCalSubscribeDlg::OnHelpButton>(IDC_SUB_HELP),
  framework::OnControl<&CCalSubscribeDlg::OnNameChange>(EN_CHANGE, IDC_CAL_NAME),
  framework::OnMessage<&CCalSubscribeDlg::OnHelpKey>(WM_HELP),
  framework::OnMessage<&CCalSubscribeDlg::OnSteps>(WM_CALPROGRESS_STEPS),
  framework::OnMessage<&CCalSubscribeDlg::OnStep>(WM_CALPROGRESS_STEP),
FRAMEWORK_END_MESSAGE_MAP()

void CCalSubscribeDlg::SetCalendar(CCalendarFile* calendar) {
  calendar_ = calendar;
  if (!calendar) return;
  name = calendar->name;
  address = calendar->address;
  userName = calendar->userName;
  password = calendar->password;
  refreshAtStartup = calendar->refreshAtStartup;
  localFile = calendar->path;
  nameFromAddress = calendar->nameFromPath != 0;
  if (calendar->published) {
    publishAuto = calendar->publishAfterSave;
    publishAlarms = calendar->publishAlarms;
  }
}

bool CCalSubscribeDlg::IsPreview() const {
  return calendar_ && (calendar_->openState == CCalendarFile::kPreview || calendar_->previewFlag);
}

bool CCalSubscribeDlg::IsEditing() const { return calendar_ && !IsPreview(); }

BOOL CCalSubscribeDlg::OnInitDialog() {
  settingName_ = true;
  CDialog::OnInitDialog();
  settingName_ = false;
  HWND h = GetSafeHwnd();
  if (!calendar_) {
    for (int id : {IDC_SUB_PROGRESS, IDC_CAL_PROGRESS_LABEL, IDC_CAL_STEP_TEXT}) {
      ::ShowWindow(GetItem(id), SW_SHOW);
      ::EnableWindow(GetItem(id), TRUE);
    }
    ApplyProgressSteps(h, IDC_SUB_PROGRESS, 5);
  }
  if (IsEditing()) {
    ::ShowWindow(GetItem(IDC_SUB_NOTE_OPTIONAL), SW_HIDE);
    ::EnableWindow(GetItem(IDC_SUB_SEARCH), FALSE);
    ::EnableWindow(GetItem(IDC_CAL_BROWSE), FALSE);
    ::SendDlgItemMessageA(h, IDC_CAL_ADDRESS, EM_SETREADONLY, TRUE, 0);
    ::SendDlgItemMessageA(h, IDC_CAL_FILE, EM_SETREADONLY, TRUE, 0);
    ::SetDlgItemTextA(h, IDOK, "OK");
    ::EnableWindow(GetItem(IDC_SUB_PREVIEW), FALSE);
    if (calendar_->published) {
      for (int id : {IDC_CAL_PUBLISH_ALARMS, IDC_CAL_PUBLISH_AUTO}) {
        ::EnableWindow(GetItem(id), TRUE);
        ::ShowWindow(GetItem(id), SW_SHOW);
      }
    }
    ::SetFocus(GetItem(IDC_CAL_NAME));
    ::SendDlgItemMessageA(h, IDC_CAL_NAME, EM_SETSEL, 0, -1);
    return FALSE;
  }
  return TRUE;
}

void CCalSubscribeDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_CAL_NAME, name);
  framework::ExchangeText(dx, IDC_CAL_ADDRESS, address);
  framework::ExchangeText(dx, IDC_CAL_FILE, localFile);
  framework::ExchangeText(dx, IDC_CAL_USER, userName);
  framework::ExchangeText(dx, IDC_CAL_PASSWORD, password);
  framework::ExchangeCheck(dx, IDC_SUB_REFRESH_STARTUP, refreshAtStartup);
  framework::ExchangeCheck(dx, IDC_CAL_PUBLISH_ALARMS, publishAlarms);
  framework::ExchangeCheck(dx, IDC_CAL_PUBLISH_AUTO, publishAuto);
}

void CCalSubscribeDlg::OnNameChange() {
  if (!settingName_) nameFromAddress = false;
}

bool CCalSubscribeDlg::CheckNames() {
  if (!UpdateData(true)) return false;
  if (name.empty()) {
    name = CProgramSettings::CalendarNameFromPath(address);
    nameFromAddress = true;
  }
  if (localFile.empty()) localFile = SubscriptionFileName(name);
  settingName_ = true;
  UpdateData(false);
  settingName_ = false;
  if (IsPreview()) return true;
  const std::string problem = CheckSubscriptionNames(doc_.calendars(), calendar_, name, address);
  if (problem.empty()) return true;
  framework::MessageBox(problem, MB_OK);
  return false;
}

void CCalSubscribeDlg::SaveEdit() {
  CCalendarFile& c = *calendar_;
  c.name = name;
  c.nameFromPath = nameFromAddress ? 1 : 0;
  c.userName = userName;
  c.password = password;
  c.refreshAtStartup = refreshAtStartup ? 1 : 0;
  if (c.published) {
    c.publishAfterSave = publishAuto ? 1 : 0;
    c.publishAlarms = publishAlarms ? 1 : 0;
  }
  if (c.IsFileOpen()) c.WriteCalInfo();
}

void CCalSubscribeDlg::OnOK() {
  if (framework::TransferRunsIn(GetSafeHwnd()) || !CheckNames()) return;
  if (IsEditing()) {
    SaveEdit();
    EndDialog(IDOK);
    return;
  }
  SubscribeForm form{name, nameFromAddress, address, userName, password, refreshAtStartup != 0, localFile};
  CProgressSender progress(GetSafeHwnd());
  framework::CWaitCursor wait;
  framework::CCancelScope cancel(GetSafeHwnd());
  if (SubscribeCalendar(doc_, calendar_, form, &progress)) EndDialog(IDOK);
}

void CCalSubscribeDlg::OnPreview() {
  if (framework::TransferRunsIn(GetSafeHwnd()) || IsEditing() || !CheckNames()) return;
  if (calendar_ && calendar_->previewFlag) {
    EndDialog(IDCANCEL);
    return;
  }
  SubscribeForm form{name, nameFromAddress, address, userName, password, refreshAtStartup != 0, localFile};
  CProgressSender progress(GetSafeHwnd());
  framework::CWaitCursor wait;
  framework::CCancelScope cancel(GetSafeHwnd());
  EndDialog(PreviewCalendar(doc_, calendar_, form, &progress) ? IDOK : IDCANCEL);
}

void CCalSubscribeDlg::OnSearch() {
  if (GetSharingHooks().calendarSearch) GetSharingHooks().calendarSearch();
  EndDialog(IDOK);
}

void CCalSubscribeDlg::OnBrowse() {
  char text[MAX_PATH] = "";
  ::GetDlgItemTextA(GetSafeHwnd(), IDC_CAL_FILE, text, sizeof text);
  std::string path;
  if (BrowseForNewDataFile(GetSafeHwnd(), text, &path)) ::SetDlgItemTextA(GetSafeHwnd(), IDC_CAL_FILE, path.c_str());
}

void CCalSubscribeDlg::OnHelpButton() { ShowSharingHelp(kHelpTopic); }

LRESULT CCalSubscribeDlg::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}

LRESULT CCalSubscribeDlg::OnSteps(WPARAM wParam, LPARAM) {
  ApplyProgressSteps(GetSafeHwnd(), IDC_SUB_PROGRESS, wParam);
  return 0;
}

LRESULT CCalSubscribeDlg::OnStep(WPARAM wParam, LPARAM lParam) {
  ApplyProgressStep(GetSafeHwnd(), IDC_SUB_PROGRESS, IDC_CAL_STEP_TEXT, wParam, lParam);
  return 0;
}

void CCalSubscribeDlg::OnCancel() {
  if (!framework::CancelTransferOf(GetSafeHwnd())) CDialog::OnCancel();
}
