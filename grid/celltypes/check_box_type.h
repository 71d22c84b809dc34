// CGridCheckBoxType ("Check box cell"): the cell's number is the state (0
// unchecked, anything else checked), its label the caption. A release of
// the left button inside the box, or a space typed in the current cell,
// toggles the state unless the cell is read-only; code 53 is reported.
//
// Style bits: 0x100 sunken box, 0x200 raised box (else a black square);
// 0x1000 a tick (else a cross) for the checked state.
#pragma once

#include "grid/celltypes/cell_type.h"

class CGridCheckBoxType : public CGridCellType {
 public:
  CGridCheckBoxType();
  ~CGridCheckBoxType() override;

  std::string GetName() const override { return "Check box cell"; }
  GUID GetTypeGuid() const override;
  int OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) override;
  int OnCharTyped(int col, int row, UINT* ch) override;
  // The state is toggled, never typed.
  int CanEdit() const override { return 0; }
  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;
  void OnSysColorChange() override;

  // The side of the box: the system's check-box size, at least 13.
  static int BoxSize();
  // The box inside a cell rectangle, vertically centred and placed across
  // by the cell's alignment (left 3 pixels in, centred, or right 3 pixels
  // in); never taller than the cell less 1, empty when 5 or less.
  static RECT BoxRect(const RECT& cell, unsigned alignment = 0);

 private:
  // Writes the toggled state back through the grid; false when read-only
  // or refused by the store (the box keeps its state).
  bool Toggle(int col, int row, int* newState);
  void CreatePens();
  void DeletePens();

  HPEN lightPen_ = nullptr, shadowPen_ = nullptr, facePen_ = nullptr;
};
