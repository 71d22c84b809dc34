// CCheckGrid: a grid whose column 0 holds a check box (number 0 or 1) in
// each row. Every button release on a row and every double click sends
// WM_GRIDCHECKCHANGED (WM_USER+6, wParam -1, lParam the row) to the
// parent; a double click also flips the box when column 0 of that row is a
// check-box cell. Sorting compares numbers only when both cells are
// numeric, else texts without regard to case (a cell without text after
// one with text), so a mixed column still sorts.
#pragma once

#include <initializer_list>

#include "grid/core/grid_core.h"

namespace shellcontrols {

constexpr UINT WM_GRIDCHECKCHANGED = WM_USER + 6;

struct CheckGridColumn {
  int width;
  const char* heading;
};

class CCheckGrid : public CGridCore {
 public:
  // Takes the place of dialog item `item` with the look the check-grid
  // dialogs share: white rows of `font`, left and vertically centred text,
  // rows 1.1 times the font's height (and room for a full check box),
  // whole-row selection, no grid lines, side headings or horizontal bar;
  // one heading per column, no rows.
  void SetUpInDialog(HWND dialog, int item, HFONT font, std::initializer_list<CheckGridColumn> columns);

  int CompareCells(const CGridCell* a, const CGridCell* b, int flags) override;

 protected:
  void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  void OnCellDoubleClick(int col, int row, const RECT* rect, POINT pt, int processed) override;

 private:
  void NotifyParent(int row);
};

}  // namespace shellcontrols
