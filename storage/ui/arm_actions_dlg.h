// CArmActionsDlg: dialog 376 "Almacora - Alarm Actions From Elsewhere",
// the question about the actions a calendar brought from elsewhere. Its
// text (every line of it, however many: the box scrolls) names the
// calendar, its file and each program, recipient and publish address.
// Ask answers true only for Yes; No has the focus and is the default, so
// Enter, Escape and the close box keep the actions off.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CArmActionsDlg : public framework::CDialog {
 public:
  explicit CArmActionsDlg(HWND parent = nullptr);

  bool Ask(const std::string& text);

 protected:
  BOOL OnInitDialog() override;

 private:
  std::string text_;
};
