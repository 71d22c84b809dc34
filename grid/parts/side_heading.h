// CGridSideHeading: the row heading left of the cell area, showing the heading columns (negative columns) of every visible row. Resizing, clicks and dragging arrive with the
// headings' input handling.
#pragma once

#include "grid/parts/part_window.h"

class CGridSideHeading : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  bool CreateHeading(HWND grid);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
};
