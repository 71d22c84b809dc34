// CICalErrorDlg: dialog 370 "Almacora - iCalendar Import", shown for an
// event the iCalendar import has to skip. Ask shows the message and
// answers 1 "Skip Event" or 2 "Cancel Import" (also the close box).
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CICalErrorDlg : public framework::CDialog {
 public:
  explicit CICalErrorDlg(HWND parent = nullptr);

  int Ask(const std::string& message);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override { EndDialog(1); }
  void OnCancel() override { EndDialog(2); }

 private:
  std::string message_;
};
