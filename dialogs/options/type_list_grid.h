// CTypeListGrid: the one-column grid of event types on the Event Types
// page and in the type colours dialog. A row is one type, its name drawn
// in its colour. It tells its parent dialog of every change of the
// current row and every click on a cell with WM_USER+4 (wParam the old
// row or -1 for a click, lParam the new or clicked row).
#pragma once

#include <vector>

#include "dialogs/core/type_rows.h"
#include "grid/core/grid_core.h"

namespace options {

constexpr UINT WM_TYPEROWCHANGED = WM_USER + 4;

class CTypeListGrid : public CGridCore {
 public:
  CTypeListGrid() = default;
  ~CTypeListGrid() override;

  // Takes the place of control `id` of `dialog` and sets up the look; false
  // when the control is missing.
  bool Attach(HWND dialog, int id);
  // Shows exactly these rows, redrawn.
  void ShowRows(const std::vector<TypeRow>& rows);
  // The current row, -1 without rows.
  int CurrentRow() const { return GetRowCount() > 0 ? GetCurrentRow() : -1; }
  void SelectRow(int row);

 protected:
  void OnCurrentRowChanged(int oldRow, int newRow) override;
  void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;

 private:
  HWND parent_ = nullptr;
  HFONT font_ = nullptr;
};

// The small dialog grids' font ("MS Sans Serif", height 12, weight 400)
// and row height (the text height x 1.1).
HFONT CreateDialogGridFont();
int DialogGridRowHeight(HWND window, HFONT font);

}  // namespace options
