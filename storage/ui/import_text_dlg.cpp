#include "storage/ui/import_text_dlg.h"

#include <commctrl.h>

#include <fstream>
#include <vector>

#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/import_export_options.h"
#include "storage/ui/sharing_hooks.h"

namespace {

constexpr DWORD kHelpTopic = 79;
constexpr char kCaption[] = "Import";

void Fill(HWND combo, const std::vector<const char*>& items) {
  for (const char* item : items) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

}  // namespace

CImportTextDlg::CImportTextDlg(HWND parent) : CDialog(IDD_IMPORT_TEXT, parent) {
  const CProgramSettings& s = g_Settings;
  columnDelimiter_ = s.ImportColumnDelimeter.substr(0, 1);
  dateDelimiter_ = s.ImportDateDelimeter.substr(0, 1);
  dateOrder_ = s.ImportDateOrder >= 0 && s.ImportDateOrder <= 2 ? s.ImportDateOrder : 0;
  alarm_ = s.ImportAlarmEnabled != 0 ? 1 : 0;
  lead_ = s.ImportLeadTime;
  units_ = s.ImportLeadUnits;
  freqChoice_ = importexport::FreqToChoice(s.ImportDefaultFreq);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CImportTextDlg, framework::CDialog)
  framework::OnControl<&CImportTextDlg::UpdateButtons>(LBN_SELCHANGE, IDC_IMPORT_COLUMNS),
  framework::OnCommand<&CImportTextDlg::OnUp>(IDC_IMPORT_UP),
  framework::OnCommand<&CImportTextDlg::OnDown>(IDC_IMPORT_DOWN),
  framework::OnCommand<&CImportTextDlg::OnBrowse>(IDC_IMPORT_BROWSE),
  framework::OnCommand<&CImportTextDlg::UpdateAlarm>(IDC_IMPORT_ALARM),
  framework::OnControl<&CImportTextDlg::UpdateFirstLine>(EN_KILLFOCUS, IDC_IMPORT_FILE),
  framework::OnControl<&CImportTextDlg::UpdateExample>(CBN_SELCHANGE, IDC_IMPORT_DATE_ORDER),
  framework::OnControl<&CImportTextDlg::UpdateExample>(CBN_EDITCHANGE, IDC_IMPORT_DATE_DELIMITER),
  framework::OnControl<&CImportTextDlg::UpdateExample>(CBN_SELCHANGE, IDC_IMPORT_DATE_DELIMITER),
  framework::OnCommand<&CImportTextDlg::OnHelpButton>(IDC_IMPORT_HELP),
  framework::OnMessage<&CImportTextDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

std::string CImportTextDlg::Text(int id) const {
  char text[512] = "";
  ::GetDlgItemTextA(GetSafeHwnd(), id, text, sizeof text);
  return text;
}

BOOL CImportTextDlg::OnInitDialog() {
  Fill(GetItem(IDC_IMPORT_COLUMN_DELIMITER), {",", "~", ";"});
  Fill(GetItem(IDC_IMPORT_DATE_DELIMITER), {"/", "-"});
  Fill(GetItem(IDC_IMPORT_DATE_ORDER), {"month - day - year", "day - month - year", "year - month - day"});
  Fill(GetItem(IDC_IMPORT_UNITS), {"Minutes", "Hours", "Days", "Weeks"});
  Fill(GetItem(IDC_IMPORT_FREQ), {"One Time", "Daily", "Weekly", "Monthly", "Yearly"});
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_IMPORT_COLUMN_DELIMITER, CB_LIMITTEXT, 1, 0);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_IMPORT_DATE_DELIMITER, CB_LIMITTEXT, 1, 0);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_IMPORT_LEAD_SPIN, UDM_SETRANGE32, 0, 1000);
  HWND list = GetItem(IDC_IMPORT_COLUMNS);
  for (int kind : importexport::ParseColumnOrder(g_Settings.ImportColumnOrder))
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(importexport::ColumnKindName(kind)));
  ::SendMessageA(list, LB_SETCURSEL, 0, 0);
  CDialog::OnInitDialog();
  UpdateButtons();
  UpdateExample();
  UpdateAlarm();
  return TRUE;
}

void CImportTextDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_IMPORT_FILE, fileName);
  framework::ExchangeComboText(dx, IDC_IMPORT_COLUMN_DELIMITER, columnDelimiter_);
  framework::ExchangeComboText(dx, IDC_IMPORT_DATE_DELIMITER, dateDelimiter_);
  framework::ExchangeComboIndex(dx, IDC_IMPORT_DATE_ORDER, dateOrder_);
  framework::ExchangeCheck(dx, IDC_IMPORT_ALARM, alarm_);
  framework::ExchangeText(dx, IDC_IMPORT_LEAD, lead_);
  framework::ValidateRange(dx, lead_, 0, 1000);
  framework::ExchangeComboText(dx, IDC_IMPORT_UNITS, units_);
  framework::ExchangeComboIndex(dx, IDC_IMPORT_FREQ, freqChoice_);
}

void CImportTextDlg::UpdateButtons() {
  HWND list = GetItem(IDC_IMPORT_COLUMNS);
  const int index = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  ::EnableWindow(GetItem(IDC_IMPORT_UP), index > 0);
  ::EnableWindow(GetItem(IDC_IMPORT_DOWN), index >= 0 && index < count - 1);
}

void CImportTextDlg::Move(int by) {
  HWND list = GetItem(IDC_IMPORT_COLUMNS);
  const int index = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  const int to = index + by;
  if (index < 0 || to < 0 || to >= count) return;
  char text[32] = "";
  ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  ::SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(text));
  ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(to), 0);
  UpdateButtons();
}

void CImportTextDlg::UpdateExample() {
  const int order = static_cast<int>(::SendDlgItemMessageA(GetSafeHwnd(), IDC_IMPORT_DATE_ORDER, CB_GETCURSEL, 0, 0));
  // A choice picked from the list is not in the edit part yet.
  HWND combo = GetItem(IDC_IMPORT_DATE_DELIMITER);
  std::string delimiter = Text(IDC_IMPORT_DATE_DELIMITER);
  const LRESULT picked = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (picked != CB_ERR && ::GetFocus() == combo) {
    char text[8] = "";
    ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(picked), reinterpret_cast<LPARAM>(text));
    delimiter = text;
  }
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_IMPORT_EXAMPLE, importexport::ExampleDate(order < 0 ? 0 : order, delimiter).c_str());
}

void CImportTextDlg::UpdateAlarm() {
  const bool on = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_IMPORT_ALARM) == BST_CHECKED;
  ::EnableWindow(GetItem(IDC_IMPORT_LEAD), on);
  ::EnableWindow(GetItem(IDC_IMPORT_LEAD_SPIN), on);
  ::EnableWindow(GetItem(IDC_IMPORT_UNITS), on);
}

void CImportTextDlg::UpdateFirstLine() {
  const std::string name = Text(IDC_IMPORT_FILE);
  std::string line;
  if (!name.empty()) {
    std::ifstream in(name, std::ios::binary);
    char buffer[201] = "";
    in.read(buffer, 200);
    line.assign(buffer, static_cast<size_t>(in.gcount()));
    const size_t end = line.find_first_of("\r\n");
    if (end != std::string::npos) line.resize(end);
  }
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_IMPORT_FIRST_LINE, line.empty() ? "n/a" : line.c_str());
}

void CImportTextDlg::OnBrowse() {
  framework::CFileDialog dlg(true, "txt", Text(IDC_IMPORT_FILE).substr(0, 256), OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                             "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", GetSafeHwnd());
  dlg.title = "Select Import File";
  if (dlg.DoModal() == IDOK) ::SetDlgItemTextA(GetSafeHwnd(), IDC_IMPORT_FILE, dlg.GetPathName().c_str());
  UpdateFirstLine();
}

void CImportTextDlg::OnOK() {
  if (!UpdateData(true)) return;
  const DWORD attributes = ::GetFileAttributesA(fileName.c_str());
  if (fileName.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    framework::MessageBox("The file you have specified does not exist.\nPlease select a valid file.",
                          MB_OK | MB_ICONINFORMATION, kCaption);
    ::SetFocus(GetItem(IDC_IMPORT_FILE));
    return;
  }
  if (columnDelimiter_.empty()) {
    framework::MessageBox("You must supply a Column Delimiter", MB_OK, kCaption);
    ::SetFocus(GetItem(IDC_IMPORT_COLUMN_DELIMITER));
    return;
  }
  if (dateDelimiter_.empty()) {
    framework::MessageBox("You must supply a Date Delimiter", MB_OK, kCaption);
    ::SetFocus(GetItem(IDC_IMPORT_DATE_DELIMITER));
    return;
  }
  std::vector<int> kinds;
  HWND list = GetItem(IDC_IMPORT_COLUMNS);
  for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    char text[32] = "";
    ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    const std::string name = text;
    kinds.push_back(name == "Type" ? importexport::kType
                    : name == "Name" ? importexport::kName
                    : name == "Time" ? importexport::kTime
                                     : importexport::kDate);
  }
  CProgramSettings& s = g_Settings;
  s.ImportColumnOrder = importexport::ColumnOrderText(kinds);
  s.ImportColumnDelimeter = columnDelimiter_.substr(0, 1);
  s.ImportDateDelimeter = dateDelimiter_.substr(0, 1);
  s.ImportDateOrder = static_cast<int16_t>(dateOrder_);
  s.ImportDefaultFreq = static_cast<int16_t>(importexport::ChoiceToFreq(freqChoice_));
  s.ImportAlarmEnabled = static_cast<int16_t>(alarm_ != 0 ? 1 : 0);
  s.ImportLeadTime = static_cast<int16_t>(lead_);
  s.ImportLeadUnits = units_;
  s.SaveSettings();
  EndDialog(IDOK);
}

void CImportTextDlg::OnHelpButton() { ShowSharingHelp(kHelpTopic); }

LRESULT CImportTextDlg::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}
