#include "storage/ui/cal_new_dlg.h"

#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "platform/os_file.h"
#include "res/resource.h"
// The calendar file's CreateFile, not the system's macro.
#undef CreateFile
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/services/storage_services.h"
#include "storage/sharing/sharing_texts.h"

CCalNewDlg::CCalNewDlg(CAlmacoraDoc& doc, HWND parent) : CDialog(IDD_CAL_NEW, parent), doc_(doc) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalNewDlg, framework::CDialog)
  framework::OnControl<&CCalNewDlg::OnNameChange>(EN_CHANGE, IDC_CAL_NAME),
  framework::OnCommand<&CCalNewDlg::OnBrowse>(IDC_CAL_BROWSE),
FRAMEWORK_END_MESSAGE_MAP()

void CCalNewDlg::SetCalendar(CCalendarFile* calendar) {
  calendar_ = calendar;
  if (calendar) {
    name = calendar->name;
    file = calendar->path;
  }
}

BOOL CCalNewDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (calendar_) {
    ::SetWindowTextA(GetSafeHwnd(), "Edit Calendar");
    ::SendDlgItemMessageA(GetSafeHwnd(), IDC_CAL_FILE, EM_SETREADONLY, TRUE, 0);
    ::EnableWindow(GetItem(IDC_CAL_BROWSE), FALSE);
  }
  ready_ = true;
  return TRUE;
}

void CCalNewDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_CAL_NAME, name);
  framework::ExchangeText(dx, IDC_CAL_FILE, file);
}

void CCalNewDlg::OnNameChange() {
  if (!ready_ || calendar_) return;
  char text[260] = "";
  ::GetDlgItemTextA(GetSafeHwnd(), IDC_CAL_NAME, text, sizeof text);
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_CAL_FILE, (std::string(text) + ".akv").c_str());
}

bool BrowseForNewDataFile(HWND owner, const std::string& current, std::string* path) {
  framework::CFileDialog dlg(false, "akv", current, OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                             "Event Files (*.akv)|*.akv|All Files (*.*)|*.*||", owner);
  dlg.title = "Select Name for New Empty Data File";
  if (dlg.DoModal() != IDOK) return false;
  *path = dlg.GetPathName();
  return true;
}

void CCalNewDlg::OnBrowse() {
  std::string path;
  char text[MAX_PATH] = "";
  ::GetDlgItemTextA(GetSafeHwnd(), IDC_CAL_FILE, text, sizeof text);
  if (BrowseForNewDataFile(GetSafeHwnd(), text, &path)) ::SetDlgItemTextA(GetSafeHwnd(), IDC_CAL_FILE, path.c_str());
}

void CCalNewDlg::OnOK() {
  if (!UpdateData(true)) return;
  if (name.empty() && file.empty()) {
    framework::MessageBox("Please enter calendar name", MB_OK);
    return;
  }
  if (name.empty()) name = CProgramSettings::CalendarNameFromPath(file);
  if (file.empty()) file = name + ".akv";
  if (calendar_) {
    SaveEdit();
  } else if (!CreateNew()) {
    UpdateData(false);
    return;
  }
  EndDialog(IDOK);
}

void CCalNewDlg::SaveEdit() {
  CCalendarFile& calendar = *calendar_;
  if (calendar.openState != CCalendarFile::kOpen && calendar.openState != CCalendarFile::kPreview) {
    calendar.openState = CCalendarFile::kOpen;
    if (calendar.OpenFile(&doc_.events(), calendar.path)) doc_.RecountAndRefresh();
    else calendar.openState = CCalendarFile::kClosed;
  }
  calendar.name = name;
  if (calendar.openState != CCalendarFile::kPreview && calendar.IsFileOpen()) calendar.WriteCalInfo();
}

bool CCalNewDlg::CreateNew() {
  if (doc_.calendars().FindByName(name) != nullptr) {
    framework::MessageBox(sharing_text::kNameInUse, MB_OK);
    return false;
  }
  char full[MAX_PATH] = "";
  if (::GetFullPathNameA(file.c_str(), sizeof full, full, nullptr) == 0) {
    framework::MessageBox("Invalid file name: " + file, MB_OK);
    return false;
  }
  // Replacing the file of a listed calendar would destroy its events.
  if (doc_.calendars().FindByPath(full) != nullptr) {
    framework::MessageBox(sharing_text::kAlreadyOpen, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (platform::OsFileExists(full) &&
      framework::MessageBox("File already exists.  Do you want to replace it?", MB_YESNO | MB_ICONQUESTION,
                            "File exists warning") != IDYES)
    return false;
  auto* calendar = new CCalendarFile();
  calendar->name = name;
  if (!calendar->CreateFile(full)) {
    delete calendar;
    return true;
  }
  doc_.calendars().AddCalendar(calendar);
  StorageUpdateAllViews(3);
  return true;
}
