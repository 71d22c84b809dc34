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
  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;
  void OnSysColorChange() override;

  // The box inside a cell rectangle; empty when the cell is too small.
  static RECT BoxRect(const RECT& cell);

 private:
  // Writes the toggled state back through the grid; false when read-only.
  bool Toggle(int col, int row, int* newState);
  void CreatePens();
  void DeletePens();

  HPEN lightPen_ = nullptr, shadowPen_ = nullptr, facePen_ = nullptr;
};
