// CTriangleButtonType: a push-button cell showing arrows instead of text,
// chosen by the cell's type style: 0x10 (or 0) one arrow right, 0x20 one
// left, 0x40 two right, 0x80 two left. The arrows take the cell's text
// colour over its back colour; a cell narrower than 4 pixels inside its
// frame shows the frame only.
#pragma once

#include "grid/celltypes/button_type.h"

namespace shellcontrols {

class CTriangleButtonType : public CGridButtonType {
 public:
  enum : int { kRight = 0x10, kLeft = 0x20, kDoubleRight = 0x40, kDoubleLeft = 0x80 };

  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;
  // The drawing itself, sunken (border 0x1000) or raised (0x2000).
  void Paint(HDC dc, const RECT& rect, const CGridCell& cell, bool sunken);
};

}  // namespace shellcontrols
