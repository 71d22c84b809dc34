// CCalOverwrite: dialog 358 "Calendar Publish Warning", shown when the
// publish address already holds a calendar. DoModal returns 2001 for
// "Refresh First", 2000 for "Overwrite", IDCANCEL for Cancel (also Escape
// and the close box).
#pragma once

#include "framework/dialogs/dialog.h"

class CCalOverwrite : public framework::CDialog {
 public:
  static constexpr int kOverwrite = 2000;
  static constexpr int kRefreshFirst = 2001;

  explicit CCalOverwrite(HWND parent = nullptr);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 private:
  void OnRefreshFirst() { EndDialog(kRefreshFirst); }
  void OnOverwrite() { EndDialog(kOverwrite); }
};
