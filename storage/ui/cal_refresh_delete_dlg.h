// CCalRefreshDeleteDlg: dialog 356 "Calendar Refresh - Delete Events", the
// local events a refresh did not find on the server, in a check list
// (every item ticked at the start). It only chooses: the caller deletes.
// IDOK ("Delete Selected") with `ticked` one flag per item, IDCANCEL with
// nothing ticked.
#pragma once

#include <string>
#include <vector>

#include "framework/dialogs/dialog.h"
#include "storage/services/storage_prompts.h"

class CCalRefreshDeleteDlg : public framework::CDialog {
 public:
  explicit CCalRefreshDeleteDlg(HWND parent = nullptr);

  std::vector<RefreshDeleteItem> items;
  std::vector<bool> ticked;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
};
