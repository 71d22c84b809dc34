// CListPrintSettingsDlg: dialog 297 "Event List Print Settings", from the
// "Print" dialog's settings button for the list types: the heading and text
// fonts of a printed list and its seven columns (shown or not, and their
// widths in inches, or millimetres with the metric flag). OK stores the
// flags and widths; a width that is no number or lies outside 0 to 20
// inches (508 mm) keeps the dialog open with the range message. "Reset
// Defaults" switches all columns on at their default widths.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialogs/dialog.h"
#include "model/settings/settings_fonts.h"

class CProgramSettings;

class CListPrintSettingsDlg : public framework::CDialog {
 public:
  explicit CListPrintSettingsDlg(HWND parent);

  // The message shown for a width out of range.
  static const char* RangeMessage(bool metric);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnHeadingFont();
  void OnItemFont();
  void OnReset();
  // Ticks the columns `from` prints and writes their widths.
  void ShowColumns(CProgramSettings& from);

  LogFont headingFont_, itemFont_;
  std::string headingText_, itemText_;
};
