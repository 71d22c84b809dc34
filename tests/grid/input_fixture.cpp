#include "tests/grid/input_fixture.h"

#include <algorithm>

void InputGrid::OnCellLeftClick(int col, int row, int down, const RECT*, POINT, int) {
  log.push_back("left " + std::to_string(col) + " " + std::to_string(row) + " " + std::to_string(down));
}
void InputGrid::OnCellRightClick(int col, int row, int down, const RECT*, POINT, int) {
  log.push_back("right " + std::to_string(col) + " " + std::to_string(row) + " " + std::to_string(down));
}
int InputGrid::OnColumnDropped(int from, int to) {
  log.push_back("dropped " + std::to_string(from) + " " + std::to_string(to));
  return 1;
}
void InputGrid::OnSheetTabClicked(int value) { log.push_back("tab " + std::to_string(value)); }
int InputGrid::OnEditEnd(int col, int row, HWND, std::string*, int cancelled) {
  log.push_back("end " + std::to_string(col) + " " + std::to_string(row) + " cancelled " + std::to_string(cancelled));
  return editEndAnswer;
}
int InputGrid::OnEditKey(int, int, HWND, UINT*) { return editKeyAnswer; }
int InputGrid::OnCellTypeEvent(int type, int col, int row, int code, void* param) {
  LoggingGrid::OnCellTypeEvent(type, col, row, code, param);
  if (code == 100) choices = *static_cast<std::vector<std::string>*>(param);
  return code == 101 ? choiceAnswer : 1;
}
int InputGrid::OnVScrollThumbText(int row, std::string* text) {
  *text = "Row " + std::to_string(row);
  return 1;
}
bool InputGrid::Logged(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

LPARAM Pt(int x, int y) { return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))); }

POINT CellCentre(CGridCore& grid, int col, int row) {
  RECT r{};
  grid.GetCellRect(col, row, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Click(HWND hwnd, POINT pt, bool left) {
  ::SendMessageA(hwnd, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, left ? MK_LBUTTON : MK_RBUTTON, Pt(pt.x, pt.y));
  ::SendMessageA(hwnd, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, Pt(pt.x, pt.y));
}

std::string WindowText(HWND hwnd) {
  char buf[256] = "";
  ::GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}
