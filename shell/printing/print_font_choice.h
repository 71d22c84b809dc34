// The font and colour choices of the print settings dialogs. A print font
// is kept as the settings keep it (height in tenths of a point); the font
// dialog is shown it at its screen height and hands back the point size.
#pragma once

#include <windows.h>

#include <string>

#include "model/settings/settings_fonts.h"

// Runs the font dialog (screen fonts, starting from *font; with effects and
// colour when `color` is given) on a copy: OK writes the font (height in
// tenths of a point), its text into *text and the colour; Cancel changes
// nothing. True on OK.
bool ChoosePrintFont(HWND owner, LogFont* font, std::string* text, COLORREF* color);
// The colour dialog starting at *color, with the light greys
// 0xF0F0F0, 0xE0E0E0, 0xD0D0D0, 0xC0C0C0 as its first custom colours.
bool ChoosePrintColor(HWND owner, COLORREF* color);
