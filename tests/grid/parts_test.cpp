// Headings, scroll bars, sheet tabs and the hint window driven by
// messages and read back through the grid.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "grid/parts/cell_area.h"
#include "grid/parts/hint_wnd.h"
#include "grid/parts/sheet_tabs.h"
#include "tests/grid/input_fixture.h"

namespace {

struct PartsFixture : ::testing::Test {
  TestHost host{500, 300};
  InputGrid grid;
  HWND top = nullptr, area = nullptr;
  void SetUp() override {
    ASSERT_TRUE(CreateHostedGrid(grid, host, 500, 300));
    grid.SetColumnCount(8);
    grid.SetRowCount(30);
    top = grid.GetPartWindow(CGridCore::kTopHeadingId);
    area = grid.GetPartWindow(CGridCore::kCellAreaId);
  }
  // A cell's x span in the column heading's coordinates.
  RECT HeadingSpan(int col) {
    RECT r;
    grid.GetCellRect(col, 0, &r);
    ::MapWindowPoints(area, top, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  HCURSOR CursorAt(int x, int y) {
    ::SendMessageA(top, WM_MOUSEMOVE, 0, Pt(x, y));
    ::SendMessageA(top, WM_SETCURSOR, reinterpret_cast<WPARAM>(top), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
  }
};

}  // namespace

TEST_F(PartsFixture, EdgeOfAHiddenColumnDragsItOpen) {
  grid.SetColumnWidth(2, 0);
  const int edge = HeadingSpan(1).right;
  ::SendMessageA(top, WM_MOUSEMOVE, 0, Pt(edge, 10));
  ::SendMessageA(top, WM_LBUTTONDOWN, MK_LBUTTON, Pt(edge, 10));
  ::SendMessageA(top, WM_MOUSEMOVE, MK_LBUTTON, Pt(edge + 30, 10));
  ::SendMessageA(top, WM_LBUTTONUP, 0, Pt(edge + 30, 10));
  EXPECT_EQ(grid.ColumnWidth(2), 30);
  EXPECT_EQ(grid.ColumnWidth(1), 75);
}

TEST_F(PartsFixture, ColumnDroppedOnTheRightHalfLandsAfterThatColumn) {
  grid.SetColumnWidth(5, 50);
  grid.EnableColumnMove(1);
  grid.SetCellText(2, -1, "Moved");
  grid.SetCellText(2, 0, "body");
  const RECT from = HeadingSpan(2), onto = HeadingSpan(5);
  ::SendMessageA(top, WM_LBUTTONDOWN, MK_LBUTTON, Pt((from.left + from.right) / 2, 10));
  ::SendMessageA(top, WM_MOUSEMOVE, MK_LBUTTON, Pt(onto.right - 5, 10));
  ::SendMessageA(top, WM_LBUTTONUP, 0, Pt(onto.right - 5, 10));
  EXPECT_TRUE(grid.Logged("dropped 2 5"));
  CGridCell heading, body;
  grid.GetCell(5, -1, &heading);
  grid.GetCell(5, 0, &body);
  EXPECT_STREQ(heading.GetTextPtr(), "Moved");
  EXPECT_STREQ(body.GetTextPtr(), "body");
}

namespace {
HWND g_top = nullptr;
void CALLBACK ReleaseOverHeading(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::PostMessageA(g_top, WM_LBUTTONUP, 0, Pt(5, 10));
}
}  // namespace

TEST_F(PartsFixture, ColumnDraggedPastTheEdgeScrollsUntilTheButtonComesUp) {
  grid.SetColumnCount(20);
  grid.EnableColumnMove(1);
  const RECT from = HeadingSpan(2);
  ::SendMessageA(top, WM_LBUTTONDOWN, MK_LBUTTON, Pt((from.left + from.right) / 2, 10));
  g_top = top;
  ::SetTimer(nullptr, 0, 500, ReleaseOverHeading);
  ::SendMessageA(top, WM_MOUSEMOVE, MK_LBUTTON, Pt(grid.Sheet().cellAreaWidth + 10, 10));
  EXPECT_GE(grid.GetFirstVisibleColumn(), 2);
  EXPECT_LE(grid.GetFirstVisibleColumn(), 5);
  PumpMessages();
  EXPECT_NE(::GetCapture(), top);
}

TEST_F(PartsFixture, ResizeCursorFollowsTheOptionAndDoubleClickAutoSizes) {
  const int edge = HeadingSpan(1).right;
  const HCURSOR sizeWE = grid.Sheet().sizeWECursor;
  EXPECT_EQ(CursorAt(edge, 10), sizeWE);
  EXPECT_NE(CursorAt(edge - 20, 10), sizeWE);
  grid.MutableSheet().headingResizeOption = 0;
  for (int x : {edge - 3, edge, edge + 3}) EXPECT_NE(CursorAt(x, 10), sizeWE);
  grid.MutableSheet().headingResizeOption = 1;
  grid.SetCellText(1, 3, "a text much wider than one column");
  ::SendMessageA(top, WM_MOUSEMOVE, 0, Pt(edge, 10));
  ::SendMessageA(top, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(edge, 10));
  EXPECT_GT(grid.ColumnWidth(1), 120);
}

TEST_F(PartsFixture, ScaledVerticalBarMapsThumbToRows) {
  grid.SetUniformRowHeight(1);
  grid.SetRowCount(6000);
  grid.SetRowCount(6000 + 5000 - grid.Sheet().lastFirstVisibleRow);
  ASSERT_EQ(grid.Sheet().lastFirstVisibleRow, 5000);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(grid.GetPartWindow(CGridCore::kVScrollId), SB_CTL, &si);
  EXPECT_EQ(si.nMax, 1000);
  ::SendMessageA(grid.GetSafeHwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 500), 0);
  EXPECT_EQ(grid.GetFirstVisibleRow(), 2500);
}

TEST_F(PartsFixture, ThumbTrackShowsTheRowInTheHintAndFollowsInModeOne) {
  grid.MutableSheet().vThumbTipOption = true;
  HWND hint = grid.GetHintWindow()->GetSafeHwnd();
  ::SendMessageA(grid.GetSafeHwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
  auto shown = [&] { return (::GetWindowLongA(hint, GWL_STYLE) & WS_VISIBLE) != 0; };   // the host is hidden
  EXPECT_TRUE(shown());
  EXPECT_EQ(grid.GetHintWindow()->GetText(), "Row 7");
  EXPECT_EQ(grid.GetFirstVisibleRow(), 0);   // mode 0: the view waits for the release
  ::SendMessageA(grid.GetSafeHwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
  EXPECT_FALSE(shown());
  EXPECT_EQ(grid.GetFirstVisibleRow(), 7);
  grid.SetVScrollMode(1);
  ::SendMessageA(grid.GetSafeHwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
  EXPECT_EQ(grid.GetFirstVisibleRow(), 3);
}

TEST_F(PartsFixture, SheetTabsHoldSixtyFourAndReportTheClickedValue) {
  grid.SetTabBarWidth(300);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(grid.AddSheetTab("Tab" + std::to_string(i), 100 + i), 0);
  EXPECT_EQ(grid.AddSheetTab("one too many", 1), 1);
  CGridSheetTabs* tabs = grid.GetSheetTabs();
  ::SendMessageA(grid.GetPartWindow(CGridCore::kTabBarId), WM_LBUTTONDOWN, MK_LBUTTON, Pt(tabs->TabLeft(2) + 12, 5));
  EXPECT_TRUE(grid.Logged("tab 102"));
  EXPECT_EQ(tabs->GetSelected(), 2);
}

TEST_F(PartsFixture, HintPlacedByFlagsStaysInsideTheGrid) {
  CGridHintWnd* hint = grid.GetHintWindow();
  hint->SetPlacement(0x14);
  hint->SetText("Row 12", false);
  const struct {
    int x, expectLeft;   // -1: centred on x
  } cases[] = {{3, 0}, {200, -1}};
  for (const auto& c : cases) {
    hint->ShowAt(c.x, 100, 60);
    RECT r;
    ::GetWindowRect(hint->GetSafeHwnd(), &r);
    ::MapWindowPoints(nullptr, grid.GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.bottom, 100);
    EXPECT_GE(r.right - r.left, 60);
    EXPECT_EQ(r.left, c.expectLeft >= 0 ? c.expectLeft : c.x - (r.right - r.left) / 2);
  }
}

TEST_F(PartsFixture, CellTipsAskForTheTextOfTheCellUnderTheMouse) {
  EXPECT_EQ(grid.GetCellArea()->GetTipWindow(), nullptr);
  grid.ShowCellTips(1);
  HWND tips = grid.GetCellArea()->GetTipWindow();
  ASSERT_NE(tips, nullptr);
  for (POINT cell : {POINT{2, 3}, POINT{0, 1}}) {
    const POINT p = CellCentre(grid, cell.x, cell.y);
    ::SendMessageA(area, WM_MOUSEMOVE, 0, Pt(p.x, p.y));
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = tips;
    info.hdr.code = TTN_GETDISPINFOA;
    ::SendMessageA(area, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_EQ(std::string(info.lpszText), "Col:" + std::to_string(cell.x) + " Row:" + std::to_string(cell.y));
  }
}
