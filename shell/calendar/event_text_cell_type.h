// CEventTextCellType: draws a day cell of the month and week calendar:
// the day heading (the cell's text), an optional ISO week number, one line
// per occurrence in its colour with a mark on lines that run on into the
// next day, and a red more-items box when not every line fits. A cell
// whose back colour is not white is the marked cell: its heading is drawn
// in the highlight colours. Its fonts are the settings' calendar fonts.
#pragma once

#include "grid/celltypes/cell_type.h"

class CMonthGridCtrl;
struct LogFont;

class CEventTextCellType : public CGridCellType {
 public:
  ~CEventTextCellType() override;
  void SetMonthGrid(CMonthGridCtrl* grid) { grid_ = grid; }
  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;
  // The calendar fonts were changed: fonts of its own are made again from
  // the settings at the next draw.
  void FontsChanged();

 private:
  // The settings' ready font when there is one, else one of its own made
  // from the settings' description.
  HFONT Font(HFONT* own, void* ready, const LogFont& logFont);
  void DropFonts();
  CMonthGridCtrl* grid_ = nullptr;
  HFONT heading_ = nullptr;
  HFONT weekHeading_ = nullptr;
  HFONT item_ = nullptr;
  HFONT weekNumber_ = nullptr;
};
