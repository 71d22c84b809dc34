// CGridCornerButton: the corner button where the two headings meet, showing the heading cell (-1, -1). Resizing and clicks arrive with the
// headings' input handling.
#pragma once

#include "grid/parts/part_window.h"

class CGridCornerButton : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  bool CreateHeading(HWND grid);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
};
