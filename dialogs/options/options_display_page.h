// COptionsDisplay: the "Display" page (dialog 195, help 32): the list and
// calendar fonts, the acknowledged-events colour, colour coding, ages,
// week numbers, the first day of the week and the day view's scale. Its
// OK marks what the views must redo: the display-changed flag, and the
// fonts-changed flag when a font was chosen.
#pragma once

#include "dialogs/options/color_picture.h"
#include "dialogs/options/options_page.h"
#include "model/settings/settings_fonts.h"

namespace options {

class COptionsDisplay : public COptionsPage {
 public:
  static constexpr DWORD kHelpContext = 32;
  static constexpr int kFonts = 4;  // list heading, list item, day numbers, events
  COptionsDisplay();

  LogFont fonts[kFonts];
  bool fontChosen[kFonts] = {};
  bool fontsChanged = false;
  COLORREF acknowledgedColor = 0;
  int useAcknowledgedColor = 0, colorCode = 0, showAge = 0, weekNumbers = 0;
  int startDayIndex = -1;
  int scaleIndex = -1;  // -1: a stored scale the list does not hold

  void OnOK() override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void PickFont(int index);
  void OnHeadingFont() { PickFont(0); }
  void OnListFont() { PickFont(1); }
  void OnDayFont() { PickFont(2); }
  void OnEventFont() { PickFont(3); }
  void OnAcknowledgedColor();
  CColorPicture picture_;
};

}  // namespace options
