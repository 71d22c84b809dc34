// CGridDropButtonType: a text cell with a button as wide as the system's
// vertical scroll bar at its right edge. A press inside the button shows
// it pressed; the release while pressed reports code 100 (kDropButton).
#pragma once

#include "grid/celltypes/cell_type.h"

class CGridDropButtonType : public CGridCellType {
 public:
  enum : int { kDropButton = 100 };

  CGridDropButtonType();
  ~CGridDropButtonType() override;

  std::string GetName() const override { return "Drop button cell"; }
  GUID GetTypeGuid() const override;
  int OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) override;
  int OnMouseMove(int col, int row, POINT* pt, UINT keyFlags) override;
  void OnLeaveCell(int col, int row, const CGridCell& cell) override;
  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;
  void OnSysColorChange() override;

  // The button's area inside a cell rectangle.
  RECT ButtonRect(const RECT& cell) const;

 protected:
  void DrawButton(HDC dc, const RECT& button, bool sunken);

  int buttonWidth_;
  bool pressed_ = false;
  bool down_ = false;
  int pressCol_ = -1, pressRow_ = -1;
  RECT pressRect_{};
  HPEN facePen_ = nullptr;
  HBRUSH faceBrush_ = nullptr;
};
