#include "storage/ui/import_type_dlg.h"

#include "res/resource.h"
#include "storage/ui/sharing_hooks.h"

namespace {
constexpr DWORD kHelpTopic = 135;
constexpr int kEntries = 4;
}  // namespace

CImportTypeDlg::CImportTypeDlg(HWND parent) : CDialog(IDD_IMPORT_TYPE, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CImportTypeDlg, framework::CDialog)
  framework::OnControl<&CImportTypeDlg::OnSelChange>(LBN_SELCHANGE, IDC_IMPORT_TYPE_LIST),
  framework::OnCommand<&CImportTypeDlg::OnHelpButton>(IDC_IMPORT_TYPE_HELP),
  framework::OnMessage<&CImportTypeDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

const char* CImportTypeDlg::Entry(int index) {
  static const char* const entries[kEntries] = {"iCalendar File (.ics)", "Almacora Event File (.akv)", "Text File",
                                                "vCalendar File (.vcs)"};
  return index >= 0 && index < kEntries ? entries[index] : "";
}

const char* CImportTypeDlg::Description(int index) {
  static const char* const texts[kEntries] = {
      "Imports events from an Internet Calendar (iCalendar) file.  These files have a .ics extension.  Many "
      "calendaring applications are now capable of exporting events in iCalendar format.",
      "Imports events from a Almacora event file into the currently opened event file.  These files normally have a "
      ".akv extension.",
      "Imports events from a delimited text file.  Import options that may be selected include delimeter, column "
      "order, date format, and event defaults.",
      "Imports events from a standard vCalendar file.  These files have a .vcs extension."};
  return index >= 0 && index < kEntries ? texts[index] : "";
}

BOOL CImportTypeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND list = GetItem(IDC_IMPORT_TYPE_LIST);
  for (int i = 0; i < kEntries; ++i) ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Entry(i)));
  ::SendMessageA(list, LB_SETCURSEL, 0, 0);
  OnSelChange();
  return TRUE;
}

void CImportTypeDlg::OnSelChange() {
  const int index = static_cast<int>(::SendMessageA(GetItem(IDC_IMPORT_TYPE_LIST), LB_GETCURSEL, 0, 0));
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_IMPORT_TYPE_DESCRIPTION, Description(index));
}

void CImportTypeDlg::OnOK() {
  const int index = static_cast<int>(::SendMessageA(GetItem(IDC_IMPORT_TYPE_LIST), LB_GETCURSEL, 0, 0));
  if (index < 0) return;
  choice = index;
  EndDialog(IDOK);
}

void CImportTypeDlg::OnHelpButton() { ShowSharingHelp(kHelpTopic); }

LRESULT CImportTypeDlg::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}
