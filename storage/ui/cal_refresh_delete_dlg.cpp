#include "storage/ui/cal_refresh_delete_dlg.h"

#include <commctrl.h>

#include "res/resource.h"

CCalRefreshDeleteDlg::CCalRefreshDeleteDlg(HWND parent) : CDialog(IDD_CAL_REFRESH_DELETE, parent) {}

BOOL CCalRefreshDeleteDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND list = GetItem(IDC_REFRESH_DELETE_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client{};
  ::GetClientRect(list, &client);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  for (size_t i = 0; i < items.size(); ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(items[i].name.c_str());
    const int at = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    ListView_SetCheckState(list, at, (i < ticked.size() ? ticked[i] : ticked.empty()) ? TRUE : FALSE);
  }
  if (warning.empty()) return TRUE;
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_REFRESH_DELETE_TEXT, warning.c_str());
  ::SendMessageA(GetSafeHwnd(), DM_SETDEFID, IDCANCEL, 0);
  ::SendMessageA(GetItem(IDOK), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  ::SendMessageA(GetItem(IDCANCEL), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  ::SetFocus(GetItem(IDCANCEL));
  return FALSE;
}

void CCalRefreshDeleteDlg::OnOK() {
  HWND list = GetItem(IDC_REFRESH_DELETE_LIST);
  ticked.assign(items.size(), false);
  for (size_t i = 0; i < items.size(); ++i) ticked[i] = ListView_GetCheckState(list, static_cast<int>(i)) != FALSE;
  EndDialog(IDOK);
}

void CCalRefreshDeleteDlg::OnCancel() {
  ticked.assign(items.size(), false);
  EndDialog(IDCANCEL);
}
