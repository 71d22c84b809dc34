// CLogDlg: dialog 238, a text shown read-only with a Close button. The
// whole text is shown however long, and bare "\n" line ends break lines.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

namespace dialogs {

class CLogDlg : public framework::CDialog {
 public:
  explicit CLogDlg(HWND parent = nullptr);

  std::string text;

  // `text` with every line end as "\r\n" (what a multi-line edit breaks on).
  static std::string WithCrLf(const std::string& text);

 protected:
  BOOL OnInitDialog() override;
};

}  // namespace dialogs
