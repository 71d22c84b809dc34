// CUpcomingDaysDlg: dialog 300, how many days before an event it counts
// as upcoming. The arrows run 0..365; a typed value may be larger but must
// fit an int (the days are counted signed), else the dialog stays open
// with the standard message. Help and F1 show topic 62.
#pragma once

#include "framework/dialogs/dialog.h"

namespace dialogs {

class CUpcomingDaysDlg : public framework::CDialog {
 public:
  explicit CUpcomingDaysDlg(HWND parent = nullptr);

  static constexpr DWORD kHelpContext = 62;
  UINT daysPrior = 0;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM wParam, LPARAM lParam);
};

}  // namespace dialogs
