// CFilterDlg: "Filtering" (dialog 191, help 35): which event types the
// views show, and whether the choice is re-applied at start-up. OK sets
// the document's show flags and filter, stores `StartupFilter` at once
// (so it survives a run that ends without the exit save), updates the
// Filter menu item and refreshes the views (hint 3). Cancel changes
// nothing.
#pragma once

#include "dialogs/options/filter_grid.h"
#include "framework/dialogs/dialog.h"

namespace options {

class CFilterDlg : public framework::CDialog {
 public:
  static constexpr DWORD kHelpContext = 35;
  explicit CFilterDlg(HWND parent = nullptr);

  int reapply = 0;  // check 1353
  CFilterGrid& Grid() { return grid_; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnShowAll();
  void OnShowNone();
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  CFilterGrid grid_;
};

// Runs the Filtering dialog over `parent`; IDOK or IDCANCEL.
int RunFilterDialog(HWND parent);

}  // namespace options
