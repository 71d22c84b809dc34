// CSelectMonthDlg: dialog 234, a month of a year to go to. The caller sets
// year and monthIndex (0 = January); IDOK means month monthIndex + 1 of
// year. "Select" takes the controls (the year must be 1753..9999, else the
// dialog stays with the standard message); "Current Month" ends with IDOK
// without reading them, so the preset values come back.
#pragma once

#include "framework/dialogs/dialog.h"

namespace dialogs {

class CSelectMonthDlg : public framework::CDialog {
 public:
  explicit CSelectMonthDlg(HWND parent = nullptr);

  int year = 0;
  int monthIndex = -1;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnCurrentMonth();
};

}  // namespace dialogs
