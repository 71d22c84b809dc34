// CGridCornerButton: the corner where the two headings meet, showing the
// heading cell (-1, -1). Its right edge resizes the row heading, its
// bottom edge the column heading; clicks are reported.
#pragma once

#include "grid/parts/part_window.h"

class CGridCornerButton : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  bool CreateHeading(HWND grid);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;

 private:
  enum Armed { kNone, kWidth, kHeight };
  void FindEdge(POINT pt);
  void OnMouseMove(UINT keys, POINT pt);
  void OnButton(UINT message, POINT pt);

  Armed armed_ = kNone;
  bool captured_ = false;
};
