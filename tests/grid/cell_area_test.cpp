// The cell area driven by messages: clicks, keys, the wheel and the drag
// loop, read back through the grid's operations and its notifications.
#include <gtest/gtest.h>

#include "tests/grid/input_fixture.h"

namespace {

struct AreaFixture : ::testing::Test {
  TestHost host{400, 300};
  InputGrid grid;
  HWND area = nullptr;
  void SetUp() override {
    ASSERT_TRUE(CreateHostedGrid(grid, host, 400, 300));
    grid.SetColumnCount(20);
    grid.SetRowCount(1000);
    area = grid.GetPartWindow(CGridCore::kCellAreaId);
  }
};

HWND g_area = nullptr;
void CALLBACK ReleaseButton(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::PostMessageA(g_area, WM_LBUTTONUP, 0, Pt(-10, 30));
}
void CALLBACK TakeCapture(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::ReleaseCapture();
}

}  // namespace

TEST_F(AreaFixture, ClickBelowTheRowsMovesNothingAndRightClickMovesWithoutMenu) {
  grid.SetRowCount(3);
  Click(area, POINT{10, 3 * 20 + 15});
  EXPECT_TRUE(grid.Logged("left -1 -1 1"));
  EXPECT_TRUE(grid.Logged("left -1 -1 0"));
  EXPECT_EQ(grid.GetCurrentColumn(), 0);
  EXPECT_EQ(grid.GetCurrentRow(), 0);
  Click(area, CellCentre(grid, 2, 1), false);   // pop-up option off: no menu blocks here
  EXPECT_TRUE(grid.Logged("right 2 1 1"));
  EXPECT_EQ(grid.GetCurrentColumn(), 2);
  EXPECT_EQ(grid.GetCurrentRow(), 1);
}

TEST_F(AreaFixture, KeyRepeatStepsGrowWithTheHoldAndStopAtTheCount) {
  grid.MutableSheet().keyRepeatDivisor = 4;
  const int steps[] = {1, 1, 1, 2, 2, 2, 2, 9, 9};
  for (int expected : steps) {
    const int before = grid.GetCursorRow();
    ::SendMessageA(area, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(grid.GetCursorRow() - before, expected);
  }
  ::SendMessageA(area, WM_KEYUP, VK_DOWN, 0);
  const int before = grid.GetCursorRow();
  ::SendMessageA(area, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(grid.GetCursorRow() - before, 1);
  // A very long hold: the cube would overflow; the step stays in the rows.
  grid.MutableSheet().keyRepeatDivisor = 1;
  for (int i = 0; i < 3000; ++i) ::SendMessageA(area, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(grid.GetCursorRow(), 0);
}

TEST_F(AreaFixture, WheelScrollsThreeRowsPerNotchKeepingFineRemainders) {
  const struct {
    std::vector<int> deltas;
    int rows;
  } cases[] = {{{-240}, 6}, {{-40, -40, -40}, 3}, {{-120}, 3}, {{120}, -3}, {{-60}, 0}};
  for (const auto& c : cases) {
    grid.SetFirstVisibleRow(30);
    for (int d : c.deltas) ::SendMessageA(area, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(d))), 0);
    EXPECT_EQ(grid.GetFirstVisibleRow() - 30, c.rows);
  }
}

TEST_F(AreaFixture, DragLeftOfTheAreaStepsPerDelayUntilButtonUpOrCaptureLoss) {
  g_area = area;
  for (TIMERPROC stop : {&ReleaseButton, &TakeCapture}) {
    grid.MoveToCell(12, 0);
    const POINT p = CellCentre(grid, 12, 0);
    ::SendMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON, Pt(p.x, p.y));
    ASSERT_EQ(::GetCapture(), area);
    ::SetTimer(nullptr, 0, 700, stop);
    const DWORD start = ::GetTickCount();
    ::SendMessageA(area, WM_MOUSEMOVE, MK_LBUTTON, Pt(-10, p.y));
    const DWORD spent = ::GetTickCount() - start;
    const int steps = 12 - grid.GetCursorColumn();
    EXPECT_GE(spent, 600u);
    EXPECT_LT(spent, 3000u);
    // One step at once, then one per 200 ms.
    EXPECT_GE(steps, 2);
    EXPECT_LE(steps, static_cast<int>(spent / 200) + 1);
    PumpMessages();
    EXPECT_NE(::GetCapture(), area);
  }
}
