// CCalRefreshDeleteDlg: dialog 356 "Calendar Refresh - Delete Events", the
// local events a refresh did not find on the server, in a check list
// ticked as `ticked` says at the start (every item when it is empty). It
// only chooses: the caller deletes. IDOK ("Delete Selected") with `ticked`
// one flag per item, IDCANCEL with nothing ticked. With a `warning` (most
// of the calendar would go) its text replaces the heading and Cancel is the
// default button, so Enter deletes nothing.
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
  std::string warning;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
};
