// CBackupDlg: dialog 210 shown as "Backup Current Events File", the folder
// a backup goes to. "Browse" picks a folder; cancelling it, or a folder
// with no file-system path, leaves the edit as it was.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

namespace dialogs {

class CBackupDlg : public framework::CDialog {
 public:
  explicit CBackupDlg(HWND parent = nullptr);

  std::string directory;
  int mode = 1;  // 1: backup

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnBrowse();
};

}  // namespace dialogs
