// CImportTypeDlg: dialog 301 "Event Import", which format to import: 0
// iCalendar, 1 an event file, 2 delimited text, 3 vCalendar. Opens on the
// first entry with its description; OK sets `choice`, Cancel leaves it -1.
// Help and F1 show topic 135.
#pragma once

#include "framework/dialogs/dialog.h"

class CImportTypeDlg : public framework::CDialog {
 public:
  explicit CImportTypeDlg(HWND parent = nullptr);

  int choice = -1;

  static const char* Entry(int index);
  static const char* Description(int index);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnSelChange();
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM, LPARAM);
};
