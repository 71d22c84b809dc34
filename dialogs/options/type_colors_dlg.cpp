#include "dialogs/options/type_colors_dlg.h"

#include "dialogs/options/options_host.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace options {

CTypeColorsDlg::CTypeColorsDlg(HWND parent) : CDialog(IDD_TYPE_COLORS, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CTypeColorsDlg, framework::CDialog)
  framework::OnCommand<&CTypeColorsDlg::OnColor>(IDC_TYPES_COLOR),
  framework::OnMessage<&CTypeColorsDlg::OnRowChanged>(WM_TYPEROWCHANGED),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CTypeColorsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const COLORREF blank = static_cast<COLORREF>(g_Settings.BlankTypeColor);
  rows_ = typeMarks ? NewTypeRows(*typeMarks, blank) : std::vector<TypeRow>();
  if (rows_.empty()) {
    EndDialog(IDOK);
    return TRUE;
  }
  grid_.Attach(GetSafeHwnd(), IDC_TYPES_GRID);
  grid_.ShowRows(rows_);
  currentColor_ = blank;
  picture_.Show(GetSafeHwnd(), IDC_TYPES_COLOR, currentColor_);
  return TRUE;
}

LRESULT CTypeColorsDlg::OnRowChanged(WPARAM, LPARAM) {
  int r = grid_.CurrentRow();
  if (r < 0 || r >= static_cast<int>(rows_.size())) return 0;
  currentColor_ = rows_[static_cast<size_t>(r)].color;
  picture_.Show(GetSafeHwnd(), IDC_TYPES_COLOR, currentColor_);
  return 0;
}

void CTypeColorsDlg::OnColor() {
  COLORREF color = currentColor_;
  if (!OptionsHost().PickColor(GetSafeHwnd(), &color)) return;
  currentColor_ = color;
  picture_.Show(GetSafeHwnd(), IDC_TYPES_COLOR, currentColor_);
  int r = grid_.CurrentRow();
  if (r < 0 || r >= static_cast<int>(rows_.size())) return;
  rows_[static_cast<size_t>(r)].color = color;
  grid_.SetCellTextColor(0, r, color);
  grid_.RedrawCell(0, r);
}

void CTypeColorsDlg::OnOK() {
  // The limit holds for the whole list, the types already listed included.
  if (AppendColoredTypes(rows_, static_cast<COLORREF>(g_Settings.BlankTypeColor), &g_Settings.EventTypeNames,
                         &g_Settings.EventTypeColors) < 0)
    framework::MessageBox("Cannot Add More Than 99 Event Types!", MB_OK | MB_ICONINFORMATION, "Almacora");
  EndDialog(IDOK);
}

}  // namespace options
