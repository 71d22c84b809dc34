// Painting checked by pixels of the screen: a 10,000-row grid whose back
// colours come from the row index shows the right rows after each kind of
// move, painting directly and double-buffered; and the sample grid shot.
#include <gtest/gtest.h>

#include "grid/celltypes/button_type.h"
#include "grid/parts/cell_area.h"
#include "grid/parts/sheet_tabs.h"
#include "tests/grid/input_fixture.h"

namespace {

class RowColourGrid : public CGridCore {
 public:
  void OnReadCell(int, int row, CGridCell* cell) override {
    if (row >= 0) cell->SetBackColor(RGB(row & 0xFF, (row >> 8) & 0xFF, 0x80));
  }
};

int RowOfColour(COLORREF c) {
  if (GetBValue(c) != 0x80) return -1;
  return GetRValue(c) | (GetGValue(c) << 8);
}

// Every fully visible row shows its own colour in column 2.
void ExpectRowsShown(RowColourGrid& grid, HWND area, const char* what) {
  PumpMessages();
  Dib shot(300, 200);
  shot.CaptureAsIs(area);
  for (int row = grid.GetFirstVisibleRow(); row < grid.GetFirstVisibleRow() + 8; ++row) {
    const POINT p = CellCentre(grid, 2, row);
    EXPECT_EQ(RowOfColour(shot.Pixel(p.x, p.y)), row) << what << " at y " << p.y;
  }
}

}  // namespace

TEST(GridPaint, RowColouredGridShowsTheRightRowsAfterEveryMove) {
  for (int buffered = 0; buffered <= 1; ++buffered) {
    TestHost host(360, 260, true);
    RowColourGrid grid;
    ASSERT_TRUE(CreateHostedGrid(grid, host, 360, 260));
    grid.SetColumnCount(4);
    grid.SetRowCount(10000);
    grid.SetDoubleBuffer(buffered);
    HWND area = grid.GetPartWindow(CGridCore::kCellAreaId);
    ExpectRowsShown(grid, area, "start");
    ::SendMessageA(grid.GetSafeHwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(grid.GetFirstVisibleRow(), 5);
    ExpectRowsShown(grid, area, "page down");
    ::SendMessageA(grid.GetSafeHwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
    EXPECT_GT(grid.GetFirstVisibleRow(), 2000);
    ExpectRowsShown(grid, area, "thumb");
    grid.MoveToCell(0, grid.GetFirstVisibleRow());
    for (int i = 0; i < 14; ++i) ::SendMessageA(area, WM_KEYDOWN, VK_DOWN, 0);
    ExpectRowsShown(grid, area, "arrows");
    for (int i = 0; i < 14; ++i) ::SendMessageA(area, WM_KEYDOWN, VK_UP, 0);
    ExpectRowsShown(grid, area, "arrows up");
    // A pending update region while the view moves.
    RECT small{0, 0, 20, 20};
    ::InvalidateRect(area, &small, FALSE);
    ::SendMessageA(area, WM_KEYDOWN, VK_NEXT, 0);
    ExpectRowsShown(grid, area, "invalidate then move");
    // A new off-screen bitmap is painted whole, not left as background.
    ::MoveWindow(grid.GetSafeHwnd(), 0, 0, 350, 250, TRUE);
    ExpectRowsShown(grid, area, "resized");
    EXPECT_EQ(grid.GetCellArea()->GetDoubleBuffer(), buffered);
  }
}

TEST(GridPaint, SampleGridScreenshot) {
  TestHost host(480, 260, true);
  InputGrid grid;
  ASSERT_TRUE(CreateHostedGrid(grid, host, 480, 260));
  CGridButtonType button;
  const int buttonType = grid.AddCellType(&button);
  grid.SetColumnCount(6);
  for (int c = 2; c < 6; ++c) grid.SetColumnWidth(c, 62);
  grid.SetRowCount(8);
  grid.SetHeadingRowCount(2);
  grid.SetTopHeadingHeight(40);
  grid.SetHeadingRowHeight(-2, 20);
  grid.SetHeadingRowHeight(-1, 20);
  grid.SetCellText(0, -2, "When");
  grid.MergeCells(0, -2, 1, -2);
  grid.SetCellText(2, -2, "State");
  grid.MergeCells(2, -2, 5, -2);
  const char* headings[] = {"Date", "Event", "Done", "Next", "Act", "Colour"};
  for (int c = 0; c < 6; ++c) grid.SetCellText(c, -1, headings[c]);
  for (int r = 0; r < 8; ++r) {
    grid.SetCellText(-1, r, std::to_string(r + 1));
    grid.SetCellText(0, r, "2026-12-" + std::to_string(10 + r));
    grid.SetCellText(1, r, r % 2 ? "Dentist" : "Birthday");
    CGridCell check;
    check.SetCellType(CGridCore::kTypeCheckBox);
    check.SetText(r % 3 ? "0" : "1");
    grid.SetCell(2, r, check);
    CGridCell arrow;
    arrow.SetCellType(CGridCore::kTypeArrow);
    arrow.SetCellTypeStyle(r % 2 ? 0x20 : 0x10);
    grid.SetCell(3, r, arrow);
  }
  CGridCell push;
  push.SetCellType(buttonType);
  push.SetText("Snooze");
  grid.SetCell(4, 0, push);
  CGridCell drop;
  drop.SetCellType(CGridCore::kTypeDropList);
  drop.SetText("Green");
  drop.SetLabel("Red\nGreen\nBlue\n");
  grid.SetCell(5, 0, drop);
  CGridCell red;
  red.SetText("red");
  red.SetBackColor(RGB(230, 40, 40));
  grid.SetCell(1, 1, red);
  grid.SetCellText(4, 2, "a joined block");
  grid.MergeCells(4, 2, 5, 4);
  grid.SetTabBarWidth(200);
  for (const char* tab : {"Home", "Work", "Family"}) grid.AddSheetTab(tab, 0);

  Dib shot(480, 260);
  shot.CaptureWindow(host.hwnd());
  EXPECT_TRUE(shot.SavePng(ArtifactPath("grid-sample.png")));
  RECT cell;
  grid.GetCellRect(1, 1, &cell);
  HWND area = grid.GetPartWindow(CGridCore::kCellAreaId);
  ::MapWindowPoints(area, host.hwnd(), reinterpret_cast<POINT*>(&cell), 2);
  EXPECT_EQ(shot.Pixel(cell.left + 5, cell.top + 3), RGB(230, 40, 40));
  // The drop cell's button face at the right edge of column 5, row 0.
  grid.GetCellRect(5, 0, &cell);
  ::MapWindowPoints(area, host.hwnd(), reinterpret_cast<POINT*>(&cell), 2);
  EXPECT_EQ(shot.Pixel(cell.right - 4, cell.top + 3), ::GetSysColor(COLOR_BTNFACE));
  // The selected (first) tab is white.
  RECT tabs;
  ::GetWindowRect(grid.GetPartWindow(CGridCore::kTabBarId), &tabs);
  ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&tabs), 2);
  const int x = tabs.left + grid.GetSheetTabs()->TabLeft(1) + 3;
  EXPECT_EQ(shot.Pixel(x, tabs.top + 3), RGB(255, 255, 255));
}
