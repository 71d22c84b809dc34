// The painters of the calendar page: a whole month or week page on any
// device context, for printing, the print preview and the clipboard month
// picture. The page is drawn with its top-left corner at the device point
// (0, 0) and the size of `rect`; callers move the viewport origin to where
// it should appear. The page must have been built in the matching mode.
#pragma once

#include <windows.h>

#include <string>

class CCalPage;
class CDateTime;

namespace calpaint {

constexpr short kPrintScheme = 0;
constexpr short kPictureScheme = 1;

void PaintMonth(const CCalPage& page, HDC dc, const RECT& rect, short pictureStyle);
void PaintWeek(const CCalPage& page, HDC dc, const RECT& rect, short pictureStyle);
// The triangle that marks an item running on into the next day, at the
// right edge of r, in `colour`.
void DrawContinuationMark(HDC dc, const RECT& r, COLORREF colour);

// Whether items are drawn in their own colours: "ColorCodePrinting" on and
// either the picture scheme or a device with more than 2 colours (or -1,
// more than a palette holds).
bool UsesItemColours(HDC dc, short pictureStyle);

// Locale date texts ("MMMM", "MMMM d", "ddd", "dddd, MMMM d") of a date.
std::string FormatDate(const CDateTime& day, const char* picture);
// "December 29 - January 4, 2026", "December 1 - 7, 2025": the week title.
std::string WeekTitle(const CDateTime& start);

}  // namespace calpaint
