// CGridTopHeading: the column heading above the cell area, showing the
// heading rows (negative rows) of every visible column. Its edges resize
// columns (an edge whose right column is 0 wide belongs to that column, so
// hidden columns can be reopened) and heading rows; a press on a heading
// cell may drag the column to a new place; a double click on a column edge
// auto-sizes the column.
#pragma once

#include "grid/parts/heading_window.h"

class CGridTopHeading : public CGridHeadingWindow {
 public:
  using CGridHeadingWindow::CGridHeadingWindow;
  bool CreateHeading(HWND grid);
  bool HitTest(POINT pt, int* col, int* row, RECT* rect) const override;
  // Nonzero while a column or heading-row edge is armed for resizing.
  bool IsResizeArmed() const { return armed_ != kNone; }

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
  enum Armed { kNone, kColumn, kHeadingRow };
  void FindEdge(POINT pt);
  void DrawDropMarker(int position);
  // The dotted line following a live resize over the cell area (-1: none).
  void DrawTrackingLine(int x);

  Armed armed_ = kNone;
  bool resizing_ = false;
  int resizeIndex_ = 0, startSize_ = 0, startPos_ = 0, startTotal_ = 0;
  int dragCol_ = -1, dropPos_ = -1;
  int clickCol_ = 0, clickRow_ = 0;
  bool clicked_ = false;
  RECT marker_{};
  bool markerShown_ = false;
  int trackX_ = -1;
};
