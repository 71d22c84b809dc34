// COptionsType: the "Event Types" page (dialog 208, help 5): the event
// types with their colours, the default type of new events and the colour
// of events whose type is not listed. The list is edited in a CTypeRows
// (dialogs/core/type_rows.h) that the grid shows row for row.
#pragma once

#include <string>

#include "dialogs/core/type_rows.h"
#include "dialogs/options/color_picture.h"
#include "dialogs/options/options_page.h"
#include "dialogs/options/type_list_grid.h"

namespace options {

class COptionsType : public COptionsPage {
 public:
  static constexpr DWORD kHelpContext = 5;
  COptionsType();

  const CTypeRows& Rows() const { return rows_; }
  COLORREF CurrentColor() const { return currentColor_; }
  COLORREF BlankColor() const { return blankColor_; }
  CTypeListGrid& Grid() { return grid_; }

  BOOL OnKillActive() override;
  void OnOK() override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;

 private:
  void OnAdd();
  void OnModify();
  void OnDelete();
  void OnSetDefault();
  void OnClearDefault();
  void OnTypeColor();
  void OnBlankColor();
  void OnNameChange();
  LRESULT OnRowChanged(WPARAM, LPARAM);
  HBRUSH OnCtlColor(HDC dc, HWND control);
  void ShowRowsAndSelect(int row);
  void ShowDefault();

  CTypeListGrid grid_;
  CColorPicture typePicture_;
  COLORREF currentColor_ = 0x800000;
  CColorPicture blankPicture_;
  COLORREF blankColor_ = 0;
  CTypeRows rows_;
};

}  // namespace options
