// CGridArrowType: a cell filled with its back colour (the highlight back
// colour when selected or current) showing a small arrow in its text
// colour. Style 0x10 or 0: one arrow right; 0x20 left; 0x40 a double arrow
// right; 0x80 a double arrow left; any other style no arrow.
#pragma once

#include "grid/celltypes/cell_type.h"

class CGridArrowType : public CGridCellType {
 public:
  std::string GetName() const override { return "Arrow cell"; }
  // An arrow shows no text to edit.
  int CanEdit() const override { return 0; }
  GUID GetTypeGuid() const override;
  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;
};
