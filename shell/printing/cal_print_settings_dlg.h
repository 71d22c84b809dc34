// CCalendarPrintSettingsDlg: dialog 295 "Calendar Print Settings", from the
// "Print" dialog's settings button for the calendar types: the four fonts of
// the calendar page with their colours, the line size and the line and day
// heading colours (buttons showing the colour), ages and colour coding.
// Font and colour choices work on the dialog's copies; only OK stores them
// in the settings (Cancel changes nothing). A change of "Show Ages In
// Calendar" tells the views (hint 11).
#pragma once

#include <windows.h>

#include <string>

#include "dialogs/options/color_picture.h"
#include "framework/dialogs/dialog.h"
#include "model/settings/settings_fonts.h"

class CCalendarPrintSettingsDlg : public framework::CDialog {
 public:
  explicit CCalendarPrintSettingsDlg(HWND parent);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  struct Font {
    LogFont font;
    std::string text;
    COLORREF color;
  };
  void OnMonthFont() { PickFont(fonts_[0]); }
  void OnDayHeadingFont() { PickFont(fonts_[1]); }
  void OnDayFont() { PickFont(fonts_[2]); }
  void OnItemFont() { PickFont(fonts_[3]); }
  void OnLineColor();
  void OnHeadingColor();
  void PickFont(Font& font);

  Font fonts_[4];
  COLORREF lineColor_ = 0, headingColor_ = 0;
  options::CColorPicture linePicture_, headingPicture_;
};
