#include "dialogs/options/options_display_page.h"

#include <cstring>
#include <string>

#include "dialogs/core/options_rules.h"
#include "dialogs/options/options_host.h"
#include "framework/dialogs/data_exchange.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

static_assert(sizeof(LogFont) == sizeof(LOGFONTA), "the settings' LogFont is the system's LOGFONTA");

namespace options {

namespace {

struct FontSetting {
  std::string* text;
  LogFont* font;
};

FontSetting Font(int i) {
  CProgramSettings& s = g_Settings;
  switch (i) {
    case 0: return {&s.ListHeadingFont, &s.ListHeadingLogFont};
    case 1: return {&s.ListItemFont, &s.ListItemLogFont};
    case 2: return {&s.CalHeadingFont, &s.CalHeadingLogFont};
    default: return {&s.CalItemFont, &s.CalItemLogFont};
  }
}

// A setting replaced by the page's value; true when it differed.
template <class T, class U>
bool Replace(T& setting, U value) {
  if (setting == static_cast<T>(value)) return false;
  setting = static_cast<T>(value);
  return true;
}

}  // namespace

COptionsDisplay::COptionsDisplay() : COptionsPage(IDD_OPTIONS_DISPLAY, kHelpContext) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(COptionsDisplay, COptionsPage)
  framework::OnCommand<&COptionsDisplay::OnHeadingFont>(IDC_OPT_DISPLAY_HEADING_FONT),
  framework::OnCommand<&COptionsDisplay::OnListFont>(IDC_OPT_DISPLAY_LIST_FONT),
  framework::OnCommand<&COptionsDisplay::OnDayFont>(IDC_OPT_DISPLAY_DAY_FONT),
  framework::OnCommand<&COptionsDisplay::OnEventFont>(IDC_OPT_DISPLAY_EVENT_FONT),
  framework::OnCommand<&COptionsDisplay::OnAcknowledgedColor>(IDC_OPT_DISPLAY_ACK_COLOR),
FRAMEWORK_END_MESSAGE_MAP()

BOOL COptionsDisplay::OnInitDialog() {
  const CProgramSettings& s = g_Settings;
  for (int i = 0; i < kFonts; ++i) fonts[i] = *Font(i).font;
  acknowledgedColor = static_cast<COLORREF>(s.CalAcknowledgedColor);
  useAcknowledgedColor = s.UseAcknowledgedColor ? 1 : 0;
  colorCode = s.ColorCode ? 1 : 0;
  showAge = s.show_age ? 1 : 0;
  weekNumbers = s.ShowWeekNums ? 1 : 0;
  startDayIndex = s.CalendarStartDay == 0 || s.CalendarStartDay == 1 ? s.CalendarStartDay : -1;
  scaleIndex = options_rules::DailyScaleToIndex(s.DailyScale);
  HWND combo = GetItem(IDC_OPT_DISPLAY_SCALE);
  for (int scale : options_rules::kDailyScales)
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(scale).c_str()));
  picture_.Show(GetSafeHwnd(), IDC_OPT_DISPLAY_ACK_COLOR, acknowledgedColor);
  return COptionsPage::OnInitDialog();
}

void COptionsDisplay::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_OPT_DISPLAY_USE_ACK_COLOR, useAcknowledgedColor);
  framework::ExchangeCheck(dx, IDC_OPT_DISPLAY_COLOR_CODE, colorCode);
  framework::ExchangeCheck(dx, IDC_OPT_DISPLAY_SHOW_AGE, showAge);
  framework::ExchangeCheck(dx, IDC_OPT_DISPLAY_WEEK_NUMBERS, weekNumbers);
  framework::ExchangeRadio(dx, IDC_OPT_DISPLAY_SUNDAY, startDayIndex);
  framework::ExchangeComboIndex(dx, IDC_OPT_DISPLAY_SCALE, scaleIndex);
}

void COptionsDisplay::PickFont(int index) {
  LOGFONTA font;
  static_assert(sizeof font == sizeof fonts[index], "same layout");
  std::memcpy(static_cast<void*>(&font), static_cast<const void*>(&fonts[index]), sizeof font);
  HDC dc = ::GetDC(GetSafeHwnd());
  int pixelsPerInch = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(GetSafeHwnd(), dc);
  font.lfHeight = options_rules::TenthsToFontDialogHeight(fonts[index].lfHeight, pixelsPerInch);
  int tenths = 0;
  // On Cancel the page's copy is untouched, its stored height included.
  if (!OptionsHost().PickFont(GetSafeHwnd(), &font, &tenths)) return;
  font.lfHeight = tenths;
  std::memcpy(static_cast<void*>(&fonts[index]), static_cast<const void*>(&font), sizeof font);
  fontChosen[index] = true;
  fontsChanged = true;
}

void COptionsDisplay::OnAcknowledgedColor() {
  COLORREF color = acknowledgedColor;
  if (!OptionsHost().PickColor(GetSafeHwnd(), &color)) return;
  acknowledgedColor = color;
  picture_.Show(GetSafeHwnd(), IDC_OPT_DISPLAY_ACK_COLOR, acknowledgedColor);
}

void COptionsDisplay::OnOK() {
  CProgramSettings& s = g_Settings;
  for (int i = 0; i < kFonts; ++i) {
    FontSetting f = Font(i);
    *f.font = fonts[i];
    // The save writes the text, so a chosen font needs its text too.
    if (fontChosen[i]) *f.text = FontText(fonts[i]);
  }
  s.CalAcknowledgedColor = static_cast<int32_t>(acknowledgedColor);
  bool changed = false;
  changed |= Replace(s.DailyScale, options_rules::IndexToDailyScale(scaleIndex, s.DailyScale));
  changed |= Replace(s.show_age, showAge);
  changed |= Replace(s.ColorCode, colorCode);
  changed |= Replace(s.UseAcknowledgedColor, useAcknowledgedColor);
  if (fontsChanged) {
    s.RecreateFonts();
    changed = true;
    s.FontsChanged = 1;
  }
  if (startDayIndex >= 0) changed |= Replace(s.CalendarStartDay, startDayIndex);
  changed |= Replace(s.ShowWeekNums, weekNumbers);
  if (changed) s.DisplayChanged = 1;
}

}  // namespace options
