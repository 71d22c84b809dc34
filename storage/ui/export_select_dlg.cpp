#include "storage/ui/export_select_dlg.h"

#include "res/resource.h"
#include "storage/ui/sharing_hooks.h"

namespace {
constexpr DWORD kHelpTopic = 157;
}

CExportSelect::CExportSelect(HWND parent) : CDialog(IDD_EXPORT_SELECT, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CExportSelect, framework::CDialog)
  framework::OnControl<&CExportSelect::OnSelChange>(LBN_SELCHANGE, IDC_EXPORT_SELECT_LIST),
  framework::OnCommand<&CExportSelect::OnHelpButton>(IDC_EXPORT_SELECT_HELP),
  framework::OnMessage<&CExportSelect::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

const char* CExportSelect::Description(int index) {
  switch (index) {
    case 0:
      return "Exports events to an Internet Calendar (iCalendar) file.  These files have a .ics extension.  Many "
             "calendaring applications are now capable of importing events in iCalendar format.";
    case 1:
      return "Exports events to a delimited text file.  Export options that may be selected include delimeter, "
             "column order, date format, and event defaults.";
    default:
      return "";
  }
}

BOOL CExportSelect::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND list = GetItem(IDC_EXPORT_SELECT_LIST);
  ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("iCalendar File (.ics)"));
  ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Text File"));
  ::SendMessageA(list, LB_SETCURSEL, 0, 0);
  OnSelChange();
  return TRUE;
}

void CExportSelect::OnSelChange() {
  const int index = static_cast<int>(::SendMessageA(GetItem(IDC_EXPORT_SELECT_LIST), LB_GETCURSEL, 0, 0));
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_EXPORT_SELECT_DESCRIPTION, Description(index));
}

void CExportSelect::OnOK() {
  const int index = static_cast<int>(::SendMessageA(GetItem(IDC_EXPORT_SELECT_LIST), LB_GETCURSEL, 0, 0));
  if (index < 0) return;
  choice = index;
  EndDialog(IDOK);
}

void CExportSelect::OnHelpButton() { ShowSharingHelp(kHelpTopic); }

LRESULT CExportSelect::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}
