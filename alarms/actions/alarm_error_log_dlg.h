// CAlarmErrorLogDlg: the "Alarm Error Log" window (dialog 329): the whole
// alarm error log, read-only, scrolled to its end. Run modally by the
// Alarm Log command, or kept modeless by the main window for the worker's
// notice; every show reloads the file, so a window shown again is never
// stale. A missing log shows empty.
#pragma once

#include "framework/dialogs/dialog.h"

namespace alarms {

class CAlarmErrorLogDlg : public framework::CDialog {
 public:
  explicit CAlarmErrorLogDlg(HWND parent = nullptr);

  void LoadLog();
  // Modeless use (the worker's notice): reloads; a window not on screen
  // (or minimised) comes up at its own size without taking the focus from
  // what the user is doing.
  void ShowLog();

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override { OnOK(); }

 private:
  bool modeless_ = false;
};

}  // namespace alarms
