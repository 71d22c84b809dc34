// COpenRecurringDlg: dialog 309, whether the event editor opens one
// occurrence (choice 0) or the whole series (1). The caller sets the prompt
// and the choice, runs DoModal and reads the choice after IDOK. Help and F1
// show the dialog's own topic.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

namespace dialogs {

class COpenRecurringDlg : public framework::CDialog {
 public:
  explicit COpenRecurringDlg(HWND parent = nullptr);

  std::string prompt;
  int choice = -1;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnHelp();
  LRESULT OnHelpKey(WPARAM, LPARAM);
};

}  // namespace dialogs
