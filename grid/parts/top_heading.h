// CGridTopHeading: the column heading above the cell area, showing the heading rows (negative rows) of every visible column. Resizing, clicks and dragging arrive with the
// headings' input handling.
#pragma once

#include "grid/parts/part_window.h"

class CGridTopHeading : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  bool CreateHeading(HWND grid);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
};
