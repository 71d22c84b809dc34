// CExportSelect: dialog 337 "Event Export", the choice between an
// iCalendar file (index 0) and a text file (1). The list opens on the
// first entry with its description; OK keeps `choice`. Help and F1 show
// topic 157.
#pragma once

#include "framework/dialogs/dialog.h"

class CExportSelect : public framework::CDialog {
 public:
  explicit CExportSelect(HWND parent = nullptr);

  int choice = 0;

  // The description of an index (empty beyond the two entries).
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
