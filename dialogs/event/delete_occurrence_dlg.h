// CDeleteOccurrenceDlg: dialog 310, whether one occurrence (choice 0) or all
// occurrences (1) of a recurring event are deleted. The caller sets the
// prompt and the choice, runs DoModal and reads the choice after IDOK;
// Cancel deletes nothing. Help and F1 show the dialog's own topic.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

namespace dialogs {

class CDeleteOccurrenceDlg : public framework::CDialog {
 public:
  explicit CDeleteOccurrenceDlg(HWND parent = nullptr);

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
