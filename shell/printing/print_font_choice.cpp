#include "shell/printing/print_font_choice.h"

#include <commdlg.h>

#include <cstring>

#include "dialogs/options/screen_font_pick.h"

bool ChoosePrintFont(HWND owner, LogFont* font, std::string* text, COLORREF* color) {
  LOGFONTA shown;
  std::memcpy(&shown, font, sizeof shown);
  HDC screen = ::GetDC(nullptr);
  shown.lfHeight = -::MulDiv(font->lfHeight, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
  ::ReleaseDC(nullptr, screen);
  int tenths = 0;
  if (!options::PickScreenFont(owner, &shown, &tenths, color)) return false;
  shown.lfHeight = tenths;
  std::memcpy(static_cast<void*>(font), &shown, sizeof shown);
  *text = FontText(*font);
  return true;
}

bool ChoosePrintColor(HWND owner, COLORREF* color) {
  static COLORREF custom[16] = {0xF0F0F0, 0xE0E0E0, 0xD0D0D0, 0xC0C0C0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = *color;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  if (!::ChooseColorA(&cc)) return false;
  *color = cc.rgbResult;
  return true;
}
