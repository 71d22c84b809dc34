// The flat pane border of the splitters: a button-face frame, then one
// pixel in, `topLeft` at the top and left and `bottomRight` at the bottom
// and right.
#pragma once

#include <windows.h>

void DrawFlatBorder(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
