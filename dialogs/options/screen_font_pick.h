// The system font dialog opened on a font as it is drawn: the face the
// system draws a stored font with (a face it does not have is drawn with
// another) is the one the dialog is given, so that it opens on that face,
// style and size and not on its first face and smallest size. Options and
// the print settings both pick their fonts through it.
#pragma once

#include <windows.h>

namespace options {

// Runs the font dialog (screen fonts) on *font (its height as the dialog
// takes it, in logical units); with `color`, also effects and that colour.
// OK: *font holds the choice (the stored face name kept when the user kept
// the face it is drawn with), *pointTenths the size in tenths of a point,
// *color the colour; true. Cancel changes nothing; false.
bool PickScreenFont(HWND owner, LOGFONTA* font, int* pointTenths, COLORREF* color);

}  // namespace options
