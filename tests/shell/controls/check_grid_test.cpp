// The check grid in a host window: what a double click and a release send
// to the parent and change, and a sort over a mixed column.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "grid/cell/grid_cell.h"
#include "controls/check_grid.h"
#include "tests/support/win/png_file.h"
#include "tests/support/win/window_shot.h"

namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_notices;

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == shellcontrols::WM_GRIDCHECKCHANGED) g_notices.emplace_back(w, l);
  return ::DefWindowProcA(h, m, w, l);
}

LPARAM Pt(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

class CheckGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "AlmacoraCheckGridHost";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassA(&wc);
    host_ = ::CreateWindowExA(0, "AlmacoraCheckGridHost", "Check grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                              320, 220, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(grid_.CreateGrid(WS_CHILD | WS_VISIBLE, RECT{0, 0, 300, 180}, host_, 100));
    grid_.SetColumnCount(2);
    grid_.SetRowCount(3);
    const char* names[] = {"beta", "10", "Alpha"};
    for (int row = 0; row < 3; ++row) {
      CGridCell check;
      check.SetNumber(0);
      if (row != 1) check.SetCellType(CGridCore::kTypeCheckBox);
      grid_.SetCell(0, row, check);
      grid_.SetCellText(1, row, names[row]);
    }
    g_notices.clear();
  }
  void TearDown() override { ::DestroyWindow(host_); }
  // The middle of a cell in the cell area, where the mouse goes.
  POINT At(int col, int row) {
    RECT r{};
    grid_.GetCellRect(col, row, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  HWND Cells() { return grid_.GetPartWindow(CGridCore::kCellAreaId); }
  // A double click as the system delivers its second press.
  void DoubleClick(int col, int row) {
    ::SendMessageA(Cells(), WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(At(col, row)));
  }
  double Check(int row) {
    CGridCell c;
    grid_.GetCell(0, row, &c);
    return c.GetNumber();
  }

  HWND host_ = nullptr;
  shellcontrols::CCheckGrid grid_;
};

TEST_F(CheckGridTest, DoubleClickFlipsOnlyCheckCellsAndAlwaysNotifies) {
  DoubleClick(1, 1);  // column 0 of row 1 is no check box
  EXPECT_EQ(Check(1), 0);
  DoubleClick(1, 2);
  EXPECT_EQ(Check(2), 1);
  DoubleClick(1, 2);
  EXPECT_EQ(Check(2), 0);
  ::SendMessageA(Cells(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(At(1, 0)));  // the press says nothing
  ::SendMessageA(Cells(), WM_LBUTTONUP, 0, Pt(At(1, 0)));
  const std::vector<std::pair<WPARAM, LPARAM>> want = {
      {static_cast<WPARAM>(-1), 1}, {static_cast<WPARAM>(-1), 2}, {static_cast<WPARAM>(-1), 2},
      {static_cast<WPARAM>(-1), 0}};
  EXPECT_EQ(g_notices, want);
}

// The grid's window as drawn; written as <name>.png when a name is given.
std::vector<COLORREF> Capture(HWND hwnd, int w, int h, const char* name) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  wintest::Dib dib(w, h);
  HDC src = ::GetDC(hwnd);
  ::BitBlt(dib.dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
  ::ReleaseDC(hwnd, src);
  ::GdiFlush();
  std::vector<COLORREF> out = dib.Pixels();
  if (name) wintest::WritePng(wintest::ArtifactPath(std::string(name) + ".png"), w, h, out);
  return out;
}

TEST_F(CheckGridTest, ATickedBoxIsDrawn) {
  HWND grid = grid_.GetSafeHwnd();
  auto before = Capture(grid, 300, 180, nullptr);
  DoubleClick(1, 0);
  auto after = Capture(grid, 300, 180, "check-grid");
  EXPECT_EQ(Check(0), 1);
  EXPECT_NE(before, after);  // the tick shows
}

TEST_F(CheckGridTest, MixedColumnSortsBothWays) {
  struct Case {
    const char* a;
    short typeA;
    const char* b;
    short typeB;
    int order;
  };
  const Case cases[] = {
      {"10", 2, "9", 3, 1},        // both numeric: as numbers
      {"10", 2, "9", 1, -1},       // mixed: as texts
      {"alpha", 1, "Beta", 1, -1}, // case does not count
      {"", 1, "x", 1, 1},          // no text after text
      {"", 1, "", 1, 0},
  };
  for (const Case& c : cases) {
    CGridCell a, b;
    a.SetText(c.a);
    a.SetDataType(c.typeA);
    b.SetText(c.b);
    b.SetDataType(c.typeB);
    EXPECT_EQ(grid_.CompareCells(&a, &b, 0), c.order) << c.a << " " << c.b;
    EXPECT_EQ(grid_.CompareCells(&a, &b, kGridSortDescending), -c.order) << c.a << " " << c.b;
  }
  grid_.SortRowsByColumn(1, 0);
  CGridCell first;
  grid_.GetCell(1, 0, &first);
  EXPECT_STREQ(first.GetTextPtr(), "10");
}

}  // namespace
