// CWarningDlg: dialog 149, a question or notice with a box that silences
// the warning for good. The dialog stores nothing: a caller whose user
// ticked the box (doNotShow 1 after DoModal) clears its own setting.
//
// DoModal: IDYES from Yes (IDOK when buttons is 0, the button then reads
// "OK" and No is gone), IDNO from No, IDCANCEL from Escape or the close box.
// Yes and No read the check box into doNotShow; Escape leaves it 0.
// helpContext -1: no Help button, and F1 shows no topic.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

namespace dialogs {

class CWarningDlg : public framework::CDialog {
 public:
  explicit CWarningDlg(HWND parent = nullptr);

  std::string checkText = "Do not show this warning in the future";
  int buttons = MB_YESNO;  // 0: a single OK button
  std::string caption = "Warning";
  int helpContext = -1;
  int doNotShow = 0;
  std::string message;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnYes();
  void OnNo();
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM wParam, LPARAM lParam);
};

}  // namespace dialogs
