// Reading grid cells back from a screenshot: the box around what a cell
// drew, for the tests that check a cell type's drawing on a real dialog.
#pragma once

#include <windows.h>

#include "grid/core/grid_core.h"
#include "tests/support/win/window_shot.h"

namespace wintest {

// The box around every pixel of a grid cell that differs from the cell's
// top-left pixel (its back colour), in the cell's own coordinates; empty
// when the cell drew nothing else. `shotWindow` is the window the shot was
// taken of.
inline RECT CellInk(const Shot& shot, HWND shotWindow, CGridCore& grid, int col, int row) {
  RECT cell{}, frame{};
  grid.GetCellRect(col, row, &cell);
  ::MapWindowPoints(grid.GetPartWindow(CGridCore::kCellAreaId), nullptr, reinterpret_cast<POINT*>(&cell), 2);
  ::GetWindowRect(shotWindow, &frame);
  ::OffsetRect(&cell, -frame.left, -frame.top);
  RECT ink{cell.right, cell.bottom, cell.left, cell.top};
  if (cell.left < 0 || cell.top < 0 || cell.right > shot.width || cell.bottom > shot.height) return RECT{};
  const COLORREF back = shot.At(cell.left, cell.top);
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x)
      if (shot.At(x, y) != back) {
        if (x < ink.left) ink.left = x;
        if (y < ink.top) ink.top = y;
        if (x + 1 > ink.right) ink.right = x + 1;
        if (y + 1 > ink.bottom) ink.bottom = y + 1;
      }
  if (ink.right <= ink.left) return RECT{};
  ::OffsetRect(&ink, -cell.left, -cell.top);
  return ink;
}

}  // namespace wintest
