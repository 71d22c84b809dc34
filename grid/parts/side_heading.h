// CGridSideHeading: the row heading left of the cell area, showing the
// heading columns (negative columns) of every visible row. Its edges
// resize rows (in uniform-height mode the shared height, scaled by the
// rows above the dragged edge) and heading columns; clicks are reported.
#pragma once

#include "grid/parts/heading_window.h"

class CGridSideHeading : public CGridHeadingWindow {
 public:
  using CGridHeadingWindow::CGridHeadingWindow;
  bool CreateHeading(HWND grid);
  bool HitTest(POINT pt, int* col, int* row, RECT* rect) const override;
  // After a move: scrolls what it shows with the rows and repaints the
  // uncovered rows and the previous and new current row (all of it when
  // the rows moved further than it is high, or a paint is pending).
  void Update();

 protected:
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void OnMouseMove(UINT keys, POINT pt) override;
  void OnButtonDown(POINT pt) override;
  void OnButtonUp(POINT pt) override;
  void OnDoubleClick(POINT pt) override;
  int Part() const override;
  HCURSOR ArmedCursor() const override;
  void NotifyLeftClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) override;
  void NotifyRightClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) override;

 private:
  enum Armed { kNone, kRow, kHeadingCol };
  void FindEdge(POINT pt);

  Armed armed_ = kNone;
  bool resizing_ = false, clicked_ = false;
  int resizeIndex_ = 0, startSize_ = 0, startPos_ = 0, rowsAbove_ = 1;
  int startColSize_ = 0;   // the dragged heading column's width at the press
  int shownFirstRow_ = -1, shownCurRow_ = -1;   // as last shown
  void InvalidateRow(int row);
};
