#include "dialogs/small/backup_dlg.h"

#include <shlobj.h>

#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

CBackupDlg::CBackupDlg(HWND parent) : CDialog(IDD_BACKUP, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CBackupDlg, framework::CDialog)
  framework::OnCommand<&CBackupDlg::OnBrowse>(IDC_BACKUP_BROWSE),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CBackupDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetWindowTextA(GetSafeHwnd(), "Backup Current Events File");
  ::SetDlgItemTextA(GetSafeHwnd(), IDOK, "Backup");
  return TRUE;
}

void CBackupDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_BACKUP_DIR, directory);
}

void CBackupDlg::OnBrowse() {
  BROWSEINFOA bi{};
  bi.hwndOwner = GetSafeHwnd();
  bi.lpszTitle = "Select Backup Directory";
  LPITEMIDLIST list = ::SHBrowseForFolderA(&bi);
  if (!list) return;
  char path[MAX_PATH] = "";
  if (::SHGetPathFromIDListA(list, path)) ::SetDlgItemTextA(GetSafeHwnd(), IDC_BACKUP_DIR, path);
  ::CoTaskMemFree(list);
}

}  // namespace dialogs
