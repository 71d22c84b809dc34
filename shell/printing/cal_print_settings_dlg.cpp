#include "shell/printing/cal_print_settings_dlg.h"

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/frame/main_frame.h"
#include "shell/printing/print_font_choice.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

namespace {
constexpr int kLineSizes = 5;
}

CCalendarPrintSettingsDlg::CCalendarPrintSettingsDlg(HWND parent) : framework::CDialog(IDD_CAL_PRINT_SETTINGS, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalendarPrintSettingsDlg, framework::CDialog)
  framework::OnCommand<&CCalendarPrintSettingsDlg::OnMonthFont>(IDC_CPS_MONTH_FONT),
  framework::OnCommand<&CCalendarPrintSettingsDlg::OnDayHeadingFont>(IDC_CPS_DAY_HEADING_FONT),
  framework::OnCommand<&CCalendarPrintSettingsDlg::OnDayFont>(IDC_CPS_DAY_FONT),
  framework::OnCommand<&CCalendarPrintSettingsDlg::OnItemFont>(IDC_CPS_ITEM_FONT),
  framework::OnCommand<&CCalendarPrintSettingsDlg::OnLineColor>(IDC_CPS_LINE_COLOR),
  framework::OnCommand<&CCalendarPrintSettingsDlg::OnHeadingColor>(IDC_CPS_HEADING_COLOR),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CCalendarPrintSettingsDlg::OnInitDialog() {
  const CProgramSettings& s = g_Settings;
  fonts_[0] = Font{s.MonthHeadingLogFont, s.MonthHeadingFont, static_cast<COLORREF>(s.rgb_MonthHeading)};
  fonts_[1] = Font{s.DayHeadingLogFont, s.DayHeadingFont, static_cast<COLORREF>(s.rgb_DayHeading)};
  fonts_[2] = Font{s.DayLogFont, s.DayFont, static_cast<COLORREF>(s.rgb_Day)};
  fonts_[3] = Font{s.ItemLogFont, s.ItemFont, static_cast<COLORREF>(s.rgb_Item)};
  lineColor_ = static_cast<COLORREF>(s.rgb_CalLineColor);
  headingColor_ = static_cast<COLORREF>(s.rgb_CalHeadingBkColor);
  HWND dlg = GetSafeHwnd();
  for (int size = 1; size <= kLineSizes; ++size) {
    const std::string text = std::to_string(size);
    ::SendDlgItemMessageA(dlg, IDC_CPS_LINE_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  const int index = s.cal_line_width >= 1 && s.cal_line_width <= kLineSizes ? s.cal_line_width - 1 : 1;
  ::SendDlgItemMessageA(dlg, IDC_CPS_LINE_SIZE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::CheckDlgButton(dlg, IDC_CPS_SHOW_AGE, s.show_age ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(dlg, IDC_CPS_COLOR_CODE, s.ColorCodePrinting ? BST_CHECKED : BST_UNCHECKED);
  linePicture_.Show(dlg, IDC_CPS_LINE_COLOR, lineColor_);
  headingPicture_.Show(dlg, IDC_CPS_HEADING_COLOR, headingColor_);
  return framework::CDialog::OnInitDialog();
}

void CCalendarPrintSettingsDlg::PickFont(Font& font) { ChoosePrintFont(GetSafeHwnd(), &font.font, &font.text, &font.color); }

void CCalendarPrintSettingsDlg::OnLineColor() {
  if (ChoosePrintColor(GetSafeHwnd(), &lineColor_)) linePicture_.Show(GetSafeHwnd(), IDC_CPS_LINE_COLOR, lineColor_);
}

void CCalendarPrintSettingsDlg::OnHeadingColor() {
  if (ChoosePrintColor(GetSafeHwnd(), &headingColor_))
    headingPicture_.Show(GetSafeHwnd(), IDC_CPS_HEADING_COLOR, headingColor_);
}

void CCalendarPrintSettingsDlg::OnOK() {
  CProgramSettings& s = g_Settings;
  HWND dlg = GetSafeHwnd();
  const int16_t showAge = ::IsDlgButtonChecked(dlg, IDC_CPS_SHOW_AGE) == BST_CHECKED ? 1 : 0;
  const bool ageChanged = showAge != s.show_age;
  s.show_age = showAge;
  s.ColorCodePrinting = ::IsDlgButtonChecked(dlg, IDC_CPS_COLOR_CODE) == BST_CHECKED ? 1 : 0;
  const LRESULT index = ::SendDlgItemMessageA(dlg, IDC_CPS_LINE_SIZE, CB_GETCURSEL, 0, 0);
  if (index >= 0) s.cal_line_width = static_cast<int32_t>(index) + 1;
  s.rgb_CalLineColor = static_cast<int32_t>(lineColor_);
  s.rgb_CalHeadingBkColor = static_cast<int32_t>(headingColor_);
  LogFont* logFonts[4] = {&s.MonthHeadingLogFont, &s.DayHeadingLogFont, &s.DayLogFont, &s.ItemLogFont};
  std::string* texts[4] = {&s.MonthHeadingFont, &s.DayHeadingFont, &s.DayFont, &s.ItemFont};
  int32_t* colors[4] = {&s.rgb_MonthHeading, &s.rgb_DayHeading, &s.rgb_Day, &s.rgb_Item};
  for (int i = 0; i < 4; ++i) {
    *logFonts[i] = fonts_[i].font;
    *texts[i] = fonts_[i].text;
    *colors[i] = static_cast<int32_t>(fonts_[i].color);
  }
  if (ageChanged)
    if (CMainFrame* frame = CMainFrame::Get())
      if (CShellDocument* doc = frame->GetShellDocument()) doc->UpdateAllViews(nullptr, kHintTypesChanged);
  framework::CDialog::OnOK();
}
