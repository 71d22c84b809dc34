// CGridButtonType: a cell drawn as a push button, raised, or sunken while
// it is pressed in the current cell. Reports through OnCellTypeEvent: 2 on
// the press, 3 on the release and 1 (clicked) only when released on the
// cell it was pressed in while it still shows pressed; Enter in the current
// cell reports 1. A double click acts as a press.
#pragma once

#include "grid/celltypes/cell_type.h"

class CGridButtonType : public CGridCellType {
 public:
  enum : int { kClicked = 1, kPressed = 2, kReleased = 3 };

  std::string GetName() const override { return "Button cell"; }
  GUID GetTypeGuid() const override;
  int OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) override;
  int OnDoubleClick(int col, int row, const RECT* rect, POINT pt) override;
  int OnMouseMove(int col, int row, POINT* pt, UINT keyFlags) override;
  int OnKeyDown(int col, int row, UINT* key) override;
  // A button has no text to edit, and acts on Enter (in a dialog too).
  int CanEdit() const override { return 0; }
  int WantsKey(UINT vk) const override { return vk == VK_RETURN; }
  void OnLeaveCell(int col, int row, const CGridCell& cell) override;
  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;

  bool IsPressed() const { return pressed_; }

 protected:
  // The raised or sunken frame of a button in rect.
  void DrawButtonFrame(HDC dc, RECT* rect, const CGridCell& cell, bool sunken);

  bool pressed_ = false;
  bool down_ = false;
  int pressCol_ = -1, pressRow_ = -1;
  RECT pressRect_{};
};
