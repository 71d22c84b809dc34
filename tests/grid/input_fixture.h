// Shared by the input tests: a grid logging the notifications of clicks,
// drops, tabs and edits with answers a test sets, and helpers sending
// mouse messages at cell points.
#pragma once

#include <string>
#include <vector>

#include "tests/grid/grid_fixture.h"

class InputGrid : public LoggingGrid {
 public:
  int editEndAnswer = 1, editKeyAnswer = 1, choiceAnswer = 1;
  std::vector<std::string> choices;   // the list of the last code 100
  void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  void OnCellRightClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  int OnColumnDropped(int from, int to) override;
  void OnSheetTabClicked(int value) override;
  int OnEditEnd(int col, int row, HWND editor, std::string* text, int cancelled) override;
  int OnEditKey(int col, int row, HWND editor, UINT* ch) override;
  int OnCellTypeEvent(int type, int col, int row, int code, void* param) override;
  int OnVScrollThumbText(int row, std::string* text) override;
  bool Logged(const std::string& line) const;
};

LPARAM Pt(int x, int y);
// The centre of a cell in cell-area coordinates.
POINT CellCentre(CGridCore& grid, int col, int row);
// A press and release of the left (or right) button.
void Click(HWND hwnd, POINT pt, bool left = true);
std::string WindowText(HWND hwnd);
