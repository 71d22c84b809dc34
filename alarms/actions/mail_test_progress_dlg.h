// CMailTestProgressDlg: the small modeless "Sending Email" window of the
// e-mail page's Test. The mail goes out on a worker, so a slow or silent
// server never stops the GUI thread (the clock, the alarm checks); Cancel
// shuts the connection and ends the test at once. When the send ends, the
// window goes and the result ("Email Sent" or the error) shows in a box
// titled "Email Test" over the page.
#pragma once

#include <windows.h>

#include <memory>

#include "alarms/core/job_snapshot.h"
#include "framework/dialogs/dialog.h"

namespace alarms {

class CAlarmMailTest;

class CMailTestProgressDlg : public framework::CDialog {
 public:
  // boxParent: the window the result box shows over.
  explicit CMailTestProgressDlg(HWND boxParent);
  // Cancels a send still running and destroys the window.
  ~CMailTestProgressDlg() override;

  // Shows the window over `owner`, which stays disabled while the test
  // runs, and starts the send. False when the window or the worker could
  // not start; the error has then been shown in the result box.
  bool Start(const AlarmJob& job, HWND owner);
  bool IsRunning() const { return GetSafeHwnd() != nullptr; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  void OnCancel() override;

 private:
  LRESULT OnSent(WPARAM, LPARAM);
  LRESULT OnDestroyMessage(WPARAM, LPARAM);
  // Ends the test: cancels the send, gives the owner back its input and
  // destroys the window.
  void Close();

  HWND boxParent_;
  HWND owner_ = nullptr;
  std::shared_ptr<CAlarmMailTest> test_;
};

}  // namespace alarms
