#include "storage/ui/export_data_dlg.h"

#include <cstdio>

#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/import_export_options.h"
#include "storage/ui/sharing_hooks.h"

namespace {
constexpr DWORD kHelpTopic = 69;
const char* const kDelimiterNames[] = {",", "Tab", ";", "Space", "~"};
}  // namespace

CExportDataDlg::CExportDataDlg(HWND parent) : CDialog(IDD_EXPORT_DATA, parent) {
  const CProgramSettings& s = g_Settings;
  fileName = s.ExportFilename;
  delimiterChoice = importexport::DelimiterChoice(s.ExportDelimiter);
  fieldFormat = s.ExportFileFormat != 0 ? 1 : 0;
  headings = s.ExportHeadings != 0 ? 1 : 0;
  yearlyOption = s.ExportShowAge != 0 ? 0 : 1;
  autoWrite = s.AutoExport != 0 ? 1 : 0;
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CExportDataDlg, framework::CDialog)
  framework::OnCommand<&CExportDataDlg::OnFixed>(IDC_EXPORT_FIXED),
  framework::OnCommand<&CExportDataDlg::OnDelimited>(IDC_EXPORT_DELIMITED),
  framework::OnCommand<&CExportDataDlg::OnBrowse>(IDC_EXPORT_BROWSE),
  framework::OnCommand<&CExportDataDlg::OnHelpButton>(IDC_EXPORT_HELP),
  framework::OnMessage<&CExportDataDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CExportDataDlg::OnInitDialog() {
  HWND combo = GetItem(IDC_EXPORT_DELIMITER);
  for (const char* name : kDelimiterNames) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  CDialog::OnInitDialog();
  EnableDelimiter(fieldFormat == 1);
  return TRUE;
}

void CExportDataDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_EXPORT_FILE, fileName);
  framework::ExchangeComboIndex(dx, IDC_EXPORT_DELIMITER, delimiterChoice);
  framework::ExchangeRadio(dx, IDC_EXPORT_FIXED, fieldFormat);
  framework::ExchangeCheck(dx, IDC_EXPORT_HEADINGS, headings);
  framework::ExchangeRadio(dx, IDC_EXPORT_SHOW_AGE, yearlyOption);
  framework::ExchangeCheck(dx, IDC_EXPORT_AUTO, autoWrite);
}

void CExportDataDlg::EnableDelimiter(bool on) {
  ::EnableWindow(GetItem(IDC_EXPORT_DELIMITER), on);
  ::EnableWindow(GetItem(IDC_EXPORT_DELIMITER_LABEL), on);
}

void CExportDataDlg::OnBrowse() {
  framework::CFileDialog dlg(true, "txt", "", OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                             "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", GetSafeHwnd());
  dlg.title = "Select Export Text File";
  if (dlg.DoModal() == IDOK) ::SetDlgItemTextA(GetSafeHwnd(), IDC_EXPORT_FILE, dlg.GetPathName().c_str());
}

void CExportDataDlg::StoreSettings() {
  CProgramSettings& s = g_Settings;
  s.ExportFilename = fileName;
  s.ExportFileFormat = static_cast<int16_t>(fieldFormat);
  s.ExportHeadings = static_cast<int16_t>(headings);
  s.ExportShowAge = static_cast<int16_t>(yearlyOption == 0 ? 1 : 0);
  s.AutoExport = autoWrite;
  s.ExportDelimiter = static_cast<int16_t>(importexport::DelimiterCharacter(delimiterChoice));
  s.SaveSettings();
}

void CExportDataDlg::OnOK() {
  if (!UpdateData(true)) return;
  StoreSettings();
  if (!fileName.empty() && ::GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES &&
      framework::MessageBox("File Exists.   Overwrite?", MB_YESNO | MB_ICONQUESTION, "File Exists") != IDYES)
    return;
  // A name that cannot be written is said here rather than found missing
  // later; the dialog stays for another name.
  std::FILE* probe = fileName.empty() ? nullptr : std::fopen(fileName.c_str(), "ab");
  if (probe == nullptr) {
    framework::MessageBox("Could not write the file \"" + fileName + "\".", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  std::fclose(probe);
  if (writeList) writeList(fileName);
  EndDialog(IDOK);
}

void CExportDataDlg::OnHelpButton() { ShowSharingHelp(kHelpTopic); }

LRESULT CExportDataDlg::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}
