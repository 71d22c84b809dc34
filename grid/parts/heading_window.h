// CGridHeadingWindow: what the row and the column heading share: the
// message dispatch, the paint of the heading cells with the heading colour
// past them, and telling the cell's type and then the grid of a click on a
// heading cell (a right press also opens the grid's popup menu when set).
// Each heading keeps its own hit test, resize edges and drag handling.
#pragma once

#include "grid/parts/part_window.h"

class CGridHeadingWindow : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  // The heading cell under a point; false when none.
  virtual bool HitTest(POINT pt, int* col, int* row, RECT* rect) const = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  virtual void OnMouseMove(UINT keys, POINT pt) = 0;
  virtual void OnButtonDown(POINT pt) = 0;
  virtual void OnButtonUp(POINT pt) = 0;
  virtual void OnDoubleClick(POINT pt) = 0;
  // CGridCore::kPartTopHeading or kPartSideHeading.
  virtual int Part() const = 0;
  // The cursor for the edge armed by the last mouse move (arrow when none).
  virtual HCURSOR ArmedCursor() const = 0;
  // The grid's notices of a click on one of this heading's cells.
  virtual void NotifyLeftClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) = 0;
  virtual void NotifyRightClick(int col, int row, int updn, RECT* rect, POINT pt, int processed) = 0;

  // Paints this heading's cells and fills what they leave with the
  // heading colour.
  void PaintHeading(HDC dc, const PAINTSTRUCT& ps);
  // A left press (updn 1) or release (0) on a heading cell: the cell's
  // type first, then the grid with what the type answered.
  void ReportLeftClick(int col, int row, int updn, RECT* rect, POINT pt);
  // The same for the cell under pt; nothing when there is none.
  void ReportLeftClickAt(POINT pt, int updn);
  // A double click on a heading cell told to the cell's type first; its
  // answer goes on to the grid's notice.
  int TypeDoubleClick(int col, int row, RECT* rect, POINT pt);
  void OnRightButton(bool down, POINT pt);
};
