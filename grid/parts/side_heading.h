// CGridSideHeading: the row heading left of the cell area, showing the
// heading columns (negative columns) of every visible row. Its edges
// resize rows (in uniform-height mode the shared height, scaled by the
// rows above the dragged edge) and heading columns; clicks are reported.
#pragma once

#include "grid/parts/part_window.h"

class CGridSideHeading : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  bool CreateHeading(HWND grid);
  bool HitTest(POINT pt, int* col, int* row, RECT* rect) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;

 private:
  enum Armed { kNone, kRow, kHeadingCol };
  void OnMouseMove(UINT keys, POINT pt);
  void OnButtonDown(POINT pt);
  void OnButtonUp(POINT pt);
  void OnDoubleClick(POINT pt);
  void OnRightButton(bool down, POINT pt);
  void FindEdge(POINT pt);

  Armed armed_ = kNone;
  bool resizing_ = false, clicked_ = false;
  int resizeIndex_ = 0, startSize_ = 0, startPos_ = 0, rowsAbove_ = 1;
};
