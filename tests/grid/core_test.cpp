// The grid window's operations, driven as a program grid drives them: a
// grid in a test window, with a subclass and a data source that log every
// notification in order.
#include <gtest/gtest.h>

#include <string>

#include "grid/celltypes/arrow_type.h"
#include "grid/celltypes/button_type.h"
#include "grid/celltypes/drop_button_type.h"
#include "tests/grid/grid_fixture.h"

namespace {

// A grid over a logging source with cols x rows and the cursor at (0, 0).
struct Fixture {
  TestHost host{400, 300};
  LoggingGrid grid;
  LoggingSource source{&grid.log};
  Fixture(int width, int height, int cols, int rows) {
    grid.SelectDataSource(grid.AddDataSource(&source));
    CreateHostedGrid(grid, host, width, height);
    grid.SetColumnCount(cols);
    grid.SetRowCount(rows);
    grid.log.clear();
  }
};

std::string Text(CGridCore& grid, int col, int row) {
  CGridCell c;
  grid.GetCell(col, row, &c);
  return c.GetTextPtr() ? c.GetTextPtr() : "";
}

}  // namespace

TEST(GridCore, NewGridDefaults) {
  CGridCore grid;
  grid.SetColumnCount(2);
  EXPECT_EQ(grid.ColumnWidth(0), 75);
  EXPECT_EQ(grid.GetDefaultRowHeight(), 20);
  EXPECT_EQ(grid.GetTopHeadingHeight(), 20);
  EXPECT_EQ(grid.GetSideHeadingWidth(), 40);
  CGridCell heading;
  grid.GetHeadingDefaultCell(&heading);
  EXPECT_EQ(heading.GetBackColor(), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(heading.GetBorder(), 0x2000);
  EXPECT_EQ(heading.GetAlignment(), 0x24);
  EXPECT_EQ(grid.GetCellType(0)->GetName(), "Text cell (default)");
  EXPECT_EQ(grid.GetCellType(1)->GetName(), "Drop list cell");
  EXPECT_EQ(grid.GetCellType(2)->GetName(), "Check box cell");
  EXPECT_NE(dynamic_cast<CGridArrowType*>(grid.GetCellType(3)), nullptr);
  EXPECT_EQ(grid.GetCellType(-1), grid.GetCellType(0));
  EXPECT_EQ(grid.GetCellType(77), grid.GetCellType(0));
  EXPECT_EQ(grid.AddCellType(nullptr), -1);
  EXPECT_EQ(grid.GetDataSource(0), grid.GetDataSource(0));
  EXPECT_NE(grid.GetDataSource(0), nullptr);
  EXPECT_EQ(grid.GetDataSource(1), nullptr);
  EXPECT_EQ(grid.GetDataSource(-1), nullptr);
}

TEST(GridCore, Limits) {
  CGridCore grid;
  grid.SetColumnCount(3);
  EXPECT_EQ(grid.SetColumnCount(32001), 1);
  EXPECT_EQ(grid.GetColumnCount(), 3);
  EXPECT_EQ(grid.SetColumnCount(-1), 1);
  EXPECT_EQ(grid.SetSheetCount(1025), 1);
  EXPECT_EQ(grid.SetSheetCount(0), 1);
  EXPECT_EQ(grid.SetDefaultRowHeight(0), 1);
  EXPECT_EQ(grid.SetDefaultRowHeight(1025), 1);
  EXPECT_EQ(grid.SetHighlightStyle(4), 1);
  EXPECT_EQ(grid.SetRowCount(-1), 1);
  EXPECT_FALSE(grid.IsUniformRowHeight());
  EXPECT_EQ(grid.SetRowCount(64001), 0);
  EXPECT_TRUE(grid.IsUniformRowHeight());
  grid.SetRowCount(10);
  EXPECT_TRUE(grid.IsUniformRowHeight());
  EXPECT_EQ(grid.SetColumnCount(0), 0);
  EXPECT_EQ(grid.GetCurrentColumn(), -1);
}

TEST(GridCore, HeadingSizes) {
  struct Case {
    int first, second, total, wantFirst, wantSecond;
  } cases[] = {{10, 10, 30, 15, 15}, {0, 0, 30, 15, 15}, {0, 0, 31, 15, 16}, {10, 30, 20, 5, 15}};
  for (const Case& k : cases) {
    CGridCore grid;
    ASSERT_EQ(grid.SetHeadingRowCount(2), 0);
    grid.SetHeadingRowHeight(-1, k.first);
    grid.SetHeadingRowHeight(-2, k.second);
    EXPECT_EQ(grid.SetTopHeadingHeight(k.total), 0);
    EXPECT_EQ(grid.GetHeadingRowHeight(-1), k.wantFirst) << k.first << "," << k.second << " -> " << k.total;
    EXPECT_EQ(grid.GetHeadingRowHeight(-2), k.wantSecond);
    EXPECT_EQ(grid.GetTopHeadingHeight(), k.total);
  }
  CGridCore grid;
  EXPECT_EQ(grid.SetTopHeadingHeight(1025), 1);
  EXPECT_EQ(grid.SetHeadingRowHeight(-2, 5), 1);
  EXPECT_EQ(grid.SetHeadingRowHeight(-1, 1025), 2);
  EXPECT_EQ(grid.SetColumnWidth(-1, 60), 1);
  EXPECT_EQ(grid.GetHeadingColumnWidth(-1), 60);
  EXPECT_EQ(grid.GetSideHeadingWidth(), 60);
}

TEST(GridCore, JoinedBlocksAreHitAsOne) {
  Fixture f(300, 200, 4, 5);
  EXPECT_EQ(f.grid.MergeCells(2, 3, 1, 3), 1);
  EXPECT_EQ(f.grid.MergeCells(0, 0, 4, 0), 1);
  EXPECT_EQ(f.grid.MergeCells(-2, 0, 0, 0), 1);
  ASSERT_EQ(f.grid.MergeCells(1, 1, 2, 2), 0);
  int col = -1, row = -1;
  RECT r{};
  ASSERT_EQ(f.grid.HitTest(75 * 2 + 10, 20 * 2 + 5, &col, &row, &r), 0);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(r.left, 75);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 225);
  EXPECT_EQ(r.bottom, 60);
  EXPECT_EQ(f.grid.HitTest(5, 5, &col, &row, &r), 0);
  EXPECT_EQ(col, 0);
  EXPECT_EQ(f.grid.HitTest(5, 150, &col, &row, &r), 1);   // below the last row
}

TEST(GridCore, MovedColumnsKeepTheirHeadings) {
  CGridCore grid;
  grid.SetColumnCount(5);
  grid.SetRowCount(2);
  for (int c = 0; c < 5; ++c) {
    grid.SetCellText(c, -1, "H" + std::to_string(c));
    grid.SetCellText(c, 0, "D" + std::to_string(c));
  }
  EXPECT_EQ(grid.MoveColumn(2, 3, 1), 0);
  EXPECT_EQ(grid.GetColumnMapping(2), 2);
  EXPECT_EQ(grid.MoveColumn(5, 0, 1), 1);
  EXPECT_EQ(grid.MoveColumn(0, 5, 1), 0);
  EXPECT_EQ(grid.GetColumnMapping(4), 0);
  EXPECT_EQ(grid.MoveColumn(4, 0, 1), 0);
  ASSERT_EQ(grid.MoveColumn(1, 4, 1), 0);
  const int order[] = {0, 2, 3, 1, 4};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(grid.GetColumnMapping(c), order[c]);
    EXPECT_EQ(Text(grid, c, -1).substr(1), Text(grid, c, 0).substr(1)) << c;
  }
}

TEST(GridCore, ScrollBarsShowOnlyWhenNeeded) {
  struct Case {
    int cols, rows, tabWidth;
    bool vBar, hBar;
  } cases[] = {{3, 3, 0, false, false}, {3, 100, 0, true, false}, {10, 3, 0, false, true},
               {3, 3, 50, false, true}};
  for (const Case& k : cases) {
    Fixture f(300, 200, k.cols, k.rows);
    f.grid.SetTabBarWidth(k.tabWidth);
    f.grid.AdjustLayout();
    const CGridSheetInfo& s = f.grid.Sheet();
    EXPECT_EQ(s.vScrollRect.right > s.vScrollRect.left, k.vBar) << k.cols << "x" << k.rows;
    EXPECT_EQ(s.hScrollRect.bottom > s.hScrollRect.top, k.hBar) << k.cols << "x" << k.rows;
    RECT bar;
    ::GetClientRect(f.grid.GetPartWindow(CGridCore::kVScrollId), &bar);
    EXPECT_EQ(bar.right > 0, k.vBar);
  }
}

TEST(GridCore, MovesNotifyInOrderUnderVeto) {
  Fixture f(300, 120, 5, 10);
  EXPECT_EQ(f.grid.MoveToCell(0, 0), 0);
  EXPECT_TRUE(f.grid.log.empty());
  f.grid.allowMove = 0;
  EXPECT_EQ(f.grid.MoveToRow(3), 2);
  EXPECT_EQ(f.grid.log, (Log{"can 0 0 0 3"}));
  EXPECT_EQ(f.grid.GetCurrentRow(), 0);
  f.grid.allowMove = 1;
  f.source.allowMove = 0;
  f.grid.log.clear();
  EXPECT_EQ(f.grid.MoveToColumn(2), 2);
  EXPECT_EQ(f.grid.log, (Log{"source can 0 0 2 0"}));
  f.source.allowMove = 1;
  f.grid.log.clear();
  EXPECT_EQ(f.grid.MoveToCell(2, 3), 0);
  EXPECT_EQ(f.grid.log, (Log{"source can 0 0 2 3", "can 0 0 2 3", "source col 0 2", "grid col 0 2", "source row 0 3",
                             "grid row 0 3", "cell 0 2 0 3"}));
}

TEST(GridCore, MovesPastTheLastRowAskForRows) {
  Fixture f(300, 120, 2, 10);
  f.grid.MoveToRow(4);
  f.grid.log.clear();
  EXPECT_EQ(f.grid.MoveToRow(50), 0);
  EXPECT_EQ(f.grid.GetCurrentRow(), 9);
  ASSERT_GE(f.grid.log.size(), 2u);
  EXPECT_EQ(f.grid.log[0], "source rows 10 41");
  EXPECT_EQ(f.grid.log[1], "grid rows 10 41 param 77");
  f.grid.log.clear();
  EXPECT_EQ(f.grid.MoveToRow(50), 1);
  EXPECT_EQ(f.grid.log, (Log{"source rows 10 41", "grid rows 10 41 param 77"}));
  f.source.rowsToAdd = 5;
  EXPECT_EQ(f.grid.MoveToRow(50), 0);
  EXPECT_EQ(f.grid.GetRowCount(), 15);
  EXPECT_EQ(f.grid.GetCurrentRow(), 14);
}

TEST(GridCore, StepsAndPages) {
  // Rows 20 high under a 20-pixel heading in 120 pixels: a page of 100.
  Fixture f(300, 120, 3, 40);
  ASSERT_EQ(f.grid.Sheet().cellAreaHeight, 100);
  struct Case {
    int how, row;
  } cases[] = {{CGridCore::kPageForward, 6}, {CGridCore::kNext, 7}, {CGridCore::kPageForward, 13},
               {CGridCore::kPageBack, 7},    {CGridCore::kLast, 39}, {CGridCore::kPrev, 38},
               {CGridCore::kFirst, 0},       {CGridCore::kPrev, 0},  {99, 0}};
  for (const Case& k : cases) {
    f.grid.MoveRows(k.how);
    EXPECT_EQ(f.grid.GetCursorRow(), k.row) << "code " << k.how;
  }
  f.grid.MoveToRow(39);
  EXPECT_EQ(f.grid.GetFirstVisibleRow(), 35);   // the cursor is kept in view
  EXPECT_EQ(f.grid.ScrollRows(CGridCore::kFirst), 0);
  EXPECT_EQ(f.grid.GetFirstVisibleRow(), 0);
  struct Bar {
    int code, first;
  } bar[] = {{SB_LINEDOWN, 1}, {SB_PAGEDOWN, 7}, {SB_BOTTOM, 35}, {SB_LINEDOWN, 35}, {SB_TOP, 0}};
  for (const Bar& k : bar) {
    ::SendMessageA(f.grid.GetSafeHwnd(), WM_VSCROLL, static_cast<WPARAM>(k.code), 0);
    EXPECT_EQ(f.grid.GetFirstVisibleRow(), k.first) << "scroll code " << k.code;
  }
}

TEST(GridCore, TipsAndPopupCommands) {
  Fixture f(300, 200, 2, 2);
  std::string tip;
  EXPECT_EQ(f.grid.OnGetCellTip(3, 12, 1, &tip), 1);
  EXPECT_EQ(tip, "Col:3 Row:12");
  ::SendMessageA(f.grid.GetSafeHwnd(), WM_COMMAND, 999, 0);
  EXPECT_TRUE(f.grid.log.empty());
  ::SendMessageA(f.grid.GetSafeHwnd(), WM_COMMAND, 1000, 0);
  EXPECT_EQ(f.grid.log, (Log{"menu -1 -1 0 1000"}));
  EXPECT_EQ(f.grid.ShowPopupMenu(0, 0, POINT{10, 10}, 1), 1);   // the option is off
}

TEST(GridCore, ProgramSortOrderIsUsed) {
  struct Reversed : CGridCore {
    int CompareCells(const CGridCell* a, const CGridCell* b, int flags) override {
      return -CGridCore::CompareCells(a, b, flags);
    }
  } grid;
  grid.SetColumnCount(2);
  grid.SetRowCount(3);
  const char* texts[] = {"b", "c", "a"};
  for (int r = 0; r < 3; ++r) grid.SetCellText(1, r, texts[r]);
  grid.MoveColumn(1, 0, 1);   // sort by the grid column showing source column 1
  EXPECT_EQ(grid.SortRowsByColumn(0, 0), 0);
  EXPECT_EQ(Text(grid, 0, 0) + Text(grid, 0, 1) + Text(grid, 0, 2), "cba");
  int col = 0, row = -1;
  EXPECT_EQ(grid.FindText("a", &col, &row, 0), 0);
  EXPECT_EQ(col, 0);
  EXPECT_EQ(row, 2);
}

TEST(GridCore, SheetsAndRedrawSurviveTheirEdges) {
  Fixture f(300, 200, 2, 2);
  ASSERT_EQ(f.grid.SetSheetCount(3), 0);
  EXPECT_EQ(f.grid.log, (Log{"sheet 1", "sheet 2"}));
  EXPECT_EQ(f.grid.GetCurrentSheet(), 0);
  ASSERT_EQ(f.grid.SelectSheet(2), 0);
  f.grid.SetColumnCount(2);
  f.grid.SetRowCount(2);
  ASSERT_EQ(f.grid.SetSheetCount(1), 0);
  EXPECT_EQ(f.grid.GetCurrentSheet(), 0);
  EXPECT_EQ(f.grid.GetColumnCount(), 2);
  f.grid.SetCellText(1, 1, "still here");
  EXPECT_EQ(Text(f.grid, 1, 1), "still here");
  // A resize inside the owner's EnableRedraw(0) leaves it off.
  f.grid.EnableRedraw(0);
  ::SetWindowPos(f.grid.GetSafeHwnd(), nullptr, 0, 0, 250, 150, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_EQ(f.grid.IsRedrawEnabled(), 0);
  EXPECT_EQ(f.grid.Sheet().cellAreaHeight, 130);
}

TEST(GridCore, TakesThePlaceOfADialogControl) {
  TestHost host(300, 200);
  HWND item = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 30, 200, 100, host.hwnd(),
                                reinterpret_cast<HMENU>(55), ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(item, nullptr);
  LoggingGrid missing;
  EXPECT_EQ(missing.CreateFromDialogItem(host.hwnd(), 56), 1);
  EXPECT_EQ(missing.GetSafeHwnd(), nullptr);
  LoggingGrid grid;
  ASSERT_EQ(grid.CreateFromDialogItem(host.hwnd(), 55), 0);
  EXPECT_EQ(::GetDlgItem(host.hwnd(), 55), grid.GetSafeHwnd());
  EXPECT_FALSE(::IsWindow(item));
  RECT r;
  ::GetWindowRect(grid.GetSafeHwnd(), &r);
  ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.bottom - r.top, 100);
  EXPECT_EQ(grid.log, (Log{"created"}));
}

TEST(GridCore, GridHoldingProgramTypesByValueIsDestroyedCleanly) {
  struct ProgramGrid : CGridCore {
    CGridButtonType button;
    CGridDropButtonType drop;
    int b = AddCellType(&button), d = AddCellType(&drop);
  };
  TestHost host(300, 200);
  {
    ProgramGrid grid;
    ASSERT_TRUE(CreateHostedGrid(grid, host, 300, 200));
    EXPECT_EQ(grid.b, 4);
    EXPECT_EQ(grid.d, 5);
    ::SendMessageA(grid.GetSafeHwnd(), WM_SYSCOLORCHANGE, 0, 0);
  }
  PumpMessages();
  EXPECT_EQ(::GetWindow(host.hwnd(), GW_CHILD), nullptr);
}

TEST(GridCore, OwnersPopupWindowFollowsTheCurrentCell) {
  Fixture f(400, 200, 4, 5);
  // The grid stands at (0, 0) of the host; its cell area at (40, 20).
  HWND popup = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 30, f.host.hwnd(), nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  auto where = [&] {
    RECT r;
    ::GetWindowRect(popup, &r);
    ::MapWindowPoints(nullptr, f.host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  ASSERT_EQ(f.grid.SetPopupWindow(popup, 1), 0);
  EXPECT_EQ(where().left, 40 + 75 + 30);
  EXPECT_EQ(where().top, 20);
  f.grid.MoveToCell(1, 2);
  EXPECT_EQ(where().left, 40 + 150 + 30);
  EXPECT_EQ(where().top, 20 + 40);
  // Placement mode 0 leaves it where it is unless it covers the cell, then
  // shifts it right past the cell.
  ASSERT_EQ(f.grid.SetPopupWindow(popup, 0), 0);
  ::MoveWindow(popup, 40 + 80, 20 + 45, 50, 30, TRUE);
  f.grid.MoveToCell(3, 4);
  EXPECT_EQ(where().left, 40 + 80);
  f.grid.MoveToCell(1, 2);   // (75, 40)-(150, 60) lies under it
  EXPECT_EQ(where().left, 40 + 150 + 5);
  EXPECT_EQ(where().top, 20 + 45);
  EXPECT_EQ(f.grid.SetPopupWindow(reinterpret_cast<HWND>(0x1234), 0), 1);
}

TEST(GridCore, AutoSizeFitsTheWidestText) {
  Fixture f(400, 200, 3, 4);
  f.grid.SetCellText(1, 2, "a rather long text for one column");
  EXPECT_EQ(f.grid.AutoSizeColumns(-2, 1, 20, 0), 1);
  EXPECT_EQ(f.grid.AutoSizeColumns(0, 3, 20, 0), 2);
  EXPECT_EQ(f.grid.AutoSizeColumns(1, 0, 20, 0), 3);
  ASSERT_EQ(f.grid.AutoSizeColumns(0, 1, 20, 0), 0);
  EXPECT_EQ(f.grid.ColumnWidth(0), 9);   // cells without text measure 9 wide
  EXPECT_GT(f.grid.ColumnWidth(1), 120);
}

TEST(GridCore, ReadCellsAreLayered) {
  struct Upper : CGridCellCallback {
    void ReadCell(CGridCell& cell) override { cell.SetLabel("from callback"); }
  } callback;
  struct Reading : CGridCore {
    int reads = 0;
    void OnReadCell(int, int, CGridCell* cell) override {
      ++reads;
      cell->SetTextColor(RGB(0, 0, 255));
    }
  } grid;
  CGridCell def;
  def.SetBackColor(RGB(9, 9, 9));
  def.SetText("default");
  grid.SetDefaultCell(def);
  grid.SetColumnCount(2);
  grid.SetRowCount(2);
  CGridCell linked;
  linked.SetAlignment(0x4);
  CGridCell stored;
  stored.SetText("stored");
  stored.SetCallback(&callback);
  stored.SetLinkedCell(&linked);
  grid.SetCell(0, 0, stored);
  grid.reads = 0;
  CGridCell out;
  grid.GetCell(0, 0, &out);
  EXPECT_STREQ(out.GetTextPtr(), "stored");
  EXPECT_EQ(out.GetBackColor(), RGB(9, 9, 9));
  EXPECT_EQ(out.GetTextColor(), RGB(0, 0, 255));
  EXPECT_STREQ(out.GetLabelPtr(), "from callback");
  EXPECT_EQ(out.GetAlignment(), 0x4);
  EXPECT_EQ(grid.reads, 1);
  grid.GetCell(1, 5, &out);   // beyond the rows: the column default only
  EXPECT_STREQ(out.GetTextPtr(), "default");
  EXPECT_EQ(grid.reads, 1);
  grid.GetCell(7, 0, &out);   // beyond the columns: the heading default
  EXPECT_EQ(out.GetBorder(), 0x2000);
  EXPECT_EQ(grid.GetCellData(7, 0, &out), 1);
  CGridDataSource bare;
  grid.SelectDataSource(grid.AddDataSource(&bare));
  grid.SetColumnCount(3);
  EXPECT_EQ(grid.SetCellText(2, 0, "refused"), 2);
  EXPECT_EQ(grid.AppendRow(), -1);
  EXPECT_EQ(grid.GetRowCount(), 2);
}
