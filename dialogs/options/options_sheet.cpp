#include "dialogs/options/options_sheet.h"

#include "dialogs/options/options_host.h"
#include "model/settings/program_settings.h"

namespace options {

COptionsPropertySheet::COptionsPropertySheet(HWND parent, UINT startPage)
    : CPropertySheet("Options", parent, startPage) {
  AddPage(&startup);
  AddPage(&events);
  AddPage(&alarm);
  AddPage(&warnings);
  AddPage(&types);
  AddPage(&display);
  g_Settings.DisplayChanged = 0;
  g_Settings.FontsChanged = 0;
}

int COptionsPropertySheet::DoModal() {
  int result = CPropertySheet::DoModal();
  if (result != IDOK) return result;
  if (g_Settings.FontsChanged) OptionsHost().UpdateAllViews(kHintFonts);
  if (g_Settings.DisplayChanged) OptionsHost().UpdateAllViews(kHintDisplay);
  g_Settings.SaveSettings();
  return IDOK;
}

int RunOptionsSheet(HWND parent, UINT startPage) {
  COptionsPropertySheet sheet(parent, startPage);
  return sheet.DoModal();
}

}  // namespace options
