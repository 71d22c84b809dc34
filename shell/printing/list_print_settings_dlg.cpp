#include "shell/printing/list_print_settings_dlg.h"

#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/core/print_layout.h"
#include "shell/printing/print_font_choice.h"

namespace {

using printcore::kListColumnCount;

// In the printed order: Name, Day, Date, Days Left, Time, Age, Type.
constexpr int kChecks[kListColumnCount] = {IDC_LPS_NAME, IDC_LPS_DAY, IDC_LPS_DATE, IDC_LPS_DAYS_LEFT,
                                           IDC_LPS_TIME, IDC_LPS_AGE, IDC_LPS_TYPE};
constexpr int kWidths[kListColumnCount] = {IDC_LPS_WIDTH_NAME, IDC_LPS_WIDTH_DAY, IDC_LPS_WIDTH_DATE,
                                           IDC_LPS_WIDTH_DAYS_LEFT, IDC_LPS_WIDTH_TIME, IDC_LPS_WIDTH_AGE,
                                           IDC_LPS_WIDTH_TYPE};

struct ColumnSettings {
  int16_t* shown[kListColumnCount];
  int32_t* width[kListColumnCount];
};

ColumnSettings Columns(CProgramSettings& s) {
  return ColumnSettings{
      {&s.print_name, &s.print_day, &s.print_date, &s.print_days_left, &s.print_time, &s.print_age, &s.print_type},
      {&s.print_width_name, &s.print_width_day, &s.print_width_date, &s.print_width_days_left, &s.print_width_time,
       &s.print_width_age, &s.print_width_type}};
}

}  // namespace

CListPrintSettingsDlg::CListPrintSettingsDlg(HWND parent) : framework::CDialog(IDD_LIST_PRINT_SETTINGS, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CListPrintSettingsDlg, framework::CDialog)
  framework::OnCommand<&CListPrintSettingsDlg::OnHeadingFont>(IDC_LPS_HEADING_FONT),
  framework::OnCommand<&CListPrintSettingsDlg::OnItemFont>(IDC_LPS_ITEM_FONT),
  framework::OnCommand<&CListPrintSettingsDlg::OnReset>(IDC_LPS_RESET),
FRAMEWORK_END_MESSAGE_MAP()

const char* CListPrintSettingsDlg::RangeMessage(bool metric) {
  return metric ? "Please enter a width between 0 and 508." : "Please enter a width between 0 and 20.";
}

BOOL CListPrintSettingsDlg::OnInitDialog() {
  CProgramSettings& s = g_Settings;
  headingFont_ = s.PrintListHeadingLogFont;
  headingText_ = s.PrintListHeadingFont;
  itemFont_ = s.PrintListItemLogFont;
  itemText_ = s.PrintListItemFont;
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_LPS_WIDTH_CAPTION, printcore::ColumnWidthCaption(s.Metric != 0));
  ShowColumns(s);
  return framework::CDialog::OnInitDialog();
}

void CListPrintSettingsDlg::ShowColumns(CProgramSettings& from) {
  HWND dlg = GetSafeHwnd();
  const bool metric = g_Settings.Metric != 0;
  const ColumnSettings columns = Columns(from);
  for (int i = 0; i < kListColumnCount; ++i) {
    ::CheckDlgButton(dlg, kChecks[i], *columns.shown[i] != 0 ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemTextA(dlg, kWidths[i], printcore::FormatColumnWidth(*columns.width[i], metric).c_str());
  }
}

void CListPrintSettingsDlg::OnHeadingFont() { ChoosePrintFont(GetSafeHwnd(), &headingFont_, &headingText_, nullptr); }

void CListPrintSettingsDlg::OnItemFont() { ChoosePrintFont(GetSafeHwnd(), &itemFont_, &itemText_, nullptr); }

void CListPrintSettingsDlg::OnReset() {
  CProgramSettings defaults;
  defaults.SetPrintColumnDefaults();
  ShowColumns(defaults);
}

void CListPrintSettingsDlg::OnOK() {
  HWND dlg = GetSafeHwnd();
  const bool metric = g_Settings.Metric != 0;
  int widths[kListColumnCount];
  for (int i = 0; i < kListColumnCount; ++i) {
    char text[64] = "";
    ::GetDlgItemTextA(dlg, kWidths[i], text, sizeof text);
    if (!printcore::ParseColumnWidth(text, metric, &widths[i])) {
      framework::MessageBox(RangeMessage(metric), MB_OK | MB_ICONEXCLAMATION);
      ::SetFocus(::GetDlgItem(dlg, kWidths[i]));
      ::SendDlgItemMessageA(dlg, kWidths[i], EM_SETSEL, 0, -1);
      return;
    }
  }
  CProgramSettings& s = g_Settings;
  ColumnSettings columns = Columns(s);
  for (int i = 0; i < kListColumnCount; ++i) {
    *columns.shown[i] = ::IsDlgButtonChecked(dlg, kChecks[i]) == BST_CHECKED ? 1 : 0;
    *columns.width[i] = widths[i];
  }
  s.PrintListHeadingLogFont = headingFont_;
  s.PrintListHeadingFont = headingText_;
  s.PrintListItemLogFont = itemFont_;
  s.PrintListItemFont = itemText_;
  framework::CDialog::OnOK();
}
