// CGridCellType: how a cell looks and answers the mouse and the keyboard.
// The grid keeps registered types by index (AddCellType); a cell names its
// type by that index, 0 or an unknown index being this normal text type.
// Types are referenced by the grid, never owned by it.
//
// Mouse and key handlers answer nonzero when they handled the event (a
// left press answered nonzero captures later mouse moves for the type).
// Rectangles and points are in the coordinates of the part that drew the
// cell. Drawing reads the sheet's options (grid lines, margins, pens)
// through the grid the type is registered with; an unregistered type draws
// with the defaults.
#pragma once

#include <windows.h>

#include <string>

#include "grid/cell/grid_cell.h"

class CGridCore;
class CGridSheetInfo;

class CGridCellType {
 public:
  CGridCellType() = default;
  virtual ~CGridCellType() = default;
  CGridCellType(const CGridCellType&) = delete;
  CGridCellType& operator=(const CGridCellType&) = delete;

  // Set by CGridCore::AddCellType.
  void Attach(CGridCore* grid, int index) {
    grid_ = grid;
    index_ = index;
  }
  CGridCore* GetGrid() const { return grid_; }
  int GetIndex() const { return index_; }
  bool AllowsOverflow() const { return allowOverflow_; }

  virtual std::string GetName() const { return "Text cell (default)"; }
  virtual GUID GetTypeGuid() const;
  // 0: the in-place editor covers the whole cell; a type may narrow rect
  // and answer 1.
  virtual int AdjustEditRect(RECT* /*rect*/) { return 0; }
  // Nonzero when the in-place editor may edit cells of this type.
  virtual int CanEdit() const { return 1; }
  // Nonzero when the type acts on a key a dialog would otherwise take
  // (Enter), so that the cell area asks for it.
  virtual int WantsKey(UINT /*vk*/) const { return 0; }

  virtual int OnLeftClick(int /*col*/, int /*row*/, int /*pressed*/, const RECT* /*rect*/, POINT /*pt*/) { return 0; }
  virtual int OnRightClick(int /*col*/, int /*row*/, int /*pressed*/, const RECT* /*rect*/, POINT /*pt*/) { return 0; }
  virtual int OnDoubleClick(int /*col*/, int /*row*/, const RECT* /*rect*/, POINT /*pt*/) { return 0; }
  virtual int OnKeyDown(int /*col*/, int /*row*/, UINT* /*key*/) { return 0; }
  virtual int OnCharTyped(int /*col*/, int /*row*/, UINT* /*ch*/) { return 0; }
  virtual int OnMouseMove(int /*col*/, int /*row*/, POINT* /*pt*/, UINT /*keyFlags*/) { return 0; }

  // Draws the cell: border, then content. selected is the selection range
  // index + 1 (0 not selected), current nonzero for the current cell.
  virtual void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current);
  // Draws into a rectangle of another height (printing): the font scaled
  // by rect height / row height; a row without height draws unscaled.
  virtual void DrawScaled(HDC dc, const RECT* rect, int col, int row, const CGridCell& cell);
  virtual void OnEnterCell(int /*col*/, int /*row*/, const CGridCell& /*cell*/) {}
  virtual void OnLeaveCell(int /*col*/, int /*row*/, const CGridCell& /*cell*/) {}
  virtual void OnSysColorChange() {}
  // The text's extent plus 6 by 2 in the cell's font; 9 by 5 without text.
  virtual void MeasureBestSize(HDC dc, SIZE* size, const CGridCell& cell);

  // Draws the border bits of the cell and narrows rect to what is left for
  // the content.
  virtual void DrawBorder(HDC dc, RECT* rect, const CGridCell& cell);
  // Draws the text (or label) in the content rectangle.
  void DrawCellText(HDC dc, const RECT* rect, const CGridCell& cell, int selected, int current);

 protected:
  const CGridSheetInfo* Sheet() const;
  HFONT SheetFont() const;
  // Reports a user action through the grid's OnCellTypeEvent.
  int Report(int col, int row, int code, void* param);
  void Redraw(int col, int row);

  CGridCore* grid_ = nullptr;
  int index_ = -1;
  bool showLabel_ = false;
  bool allowOverflow_ = true;

 private:
  bool DrawOverflow(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell);
};
