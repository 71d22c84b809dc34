// CGridCellArea: the child window showing the cells of the current sheet.
// It paints the cells its paint region covers, each through its cell type;
// the current cell in the highlight of the sheet's style.
#pragma once

#include "grid/parts/part_window.h"

class CGridCellArea : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  bool CreateArea(HWND grid);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
};
