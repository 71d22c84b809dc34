// CTypeColorsDlg: "Event Type Colors" (dialog 360), shown after a calendar
// refresh brought event types the settings do not list. The caller points
// `typeMarks` at the importer's map (type name -> "EXIST" or "NEW") before
// DoModal; the new types are listed at the blank colour, and on OK those
// the user coloured are appended to the settings' types (not saved: the
// caller's business). With no new type the dialog ends at once with IDOK.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialogs/core/type_rows.h"
#include "dialogs/options/color_picture.h"
#include "dialogs/options/type_list_grid.h"
#include "framework/dialogs/dialog.h"

namespace options {

class CTypeColorsDlg : public framework::CDialog {
 public:
  explicit CTypeColorsDlg(HWND parent = nullptr);

  const std::map<std::string, std::string>* typeMarks = nullptr;

  const std::vector<TypeRow>& Rows() const { return rows_; }
  CTypeListGrid& Grid() { return grid_; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnColor();
  LRESULT OnRowChanged(WPARAM, LPARAM);

  CTypeListGrid grid_;
  CColorPicture picture_;
  COLORREF currentColor_ = 0;
  std::vector<TypeRow> rows_;
};

}  // namespace options
