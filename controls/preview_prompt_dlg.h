// CPreviewPromptDlg: dialog 361 "Almacora Calendar", asked when a calendar
// file is opened: IDOK ("Add") adds it to the calendar list, IDCANCEL
// ("Preview") opens it for a look only.
#pragma once

#include "framework/dialogs/dialog.h"

namespace shellcontrols {

class CPreviewPromptDlg : public framework::CDialog {
 public:
  explicit CPreviewPromptDlg(HWND parent = nullptr);
};

}  // namespace shellcontrols
