// Cell types drawn into a 32-bit DIB section and checked by pixel, and the
// types' answers to clicks as a grid reports them.
#include <gtest/gtest.h>

#include <string>

#include "grid/celltypes/button_type.h"
#include "grid/celltypes/check_box_type.h"
#include "tests/grid/grid_fixture.h"

namespace {

const COLORREF kWindow = ::GetSysColor(COLOR_WINDOW);

void Draw(CGridCore& grid, Dib& dib, const CGridCell& cell, RECT rect) {
  grid.GetCellType(cell.GetCellType())->OnDraw(dib.dc(), 0, 0, &rect, cell, 0, 0);
}

bool SameImage(const Dib& a, const Dib& b) {
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

}  // namespace

TEST(GridCellTypes, BorderLinesByStyle) {
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  struct Case {
    std::uint16_t style;
    int gridLines;
    int x, y;
    COLORREF colour;
  } cases[] = {
      {0x1 | 0x2 | 0x4 | 0x8, 0, 0, 10, red},  {0x1 | 0x2 | 0x4 | 0x8, 0, 20, 0, red},
      {0x1 | 0x2 | 0x4 | 0x8, 0, 39, 10, red}, {0x1 | 0x2 | 0x4 | 0x8, 0, 20, 19, red},
      {0x1, 0, 1, 10, kWindow},                {0x10, 0, 1, 10, red},
      {0x100, 0, 2, 10, red},                  {0x100, 0, 3, 10, kWindow},
      {0, 1, 39, 10, 0xDCDCDC},                {0, 1, 20, 19, 0xDCDCDC},
      {0, 1, 0, 10, kWindow},                  {0, 0, 39, 10, kWindow},
      {0x1000, 1, 0, 10, shadow},              {0x1000, 1, 39, 10, light},
      {0x2000, 1, 0, 10, light},               {0x2000, 1, 39, 10, shadow},
  };
  HPEN pen = ::CreatePen(PS_SOLID, 1, red);
  for (const Case& k : cases) {
    CGridCore grid;
    grid.ShowGridLines(k.gridLines);
    CGridCell cell;
    cell.SetBorder(k.style);
    cell.SetBorderObject(pen);
    Dib dib(40, 20);
    Draw(grid, dib, cell, RECT{0, 0, 40, 20});
    EXPECT_EQ(dib.Pixel(k.x, k.y), k.colour) << "style " << k.style << " at " << k.x << "," << k.y;
  }
  ::DeleteObject(pen);
}

TEST(GridCellTypes, CheckBoxSquareAndMark) {
  struct Case {
    const char* value;
    int x, y;
    COLORREF colour;
  } cases[] = {
      {"0", 3, 4, RGB(0, 0, 0)},  {"0", 14, 15, RGB(0, 0, 0)}, {"0", 9, 10, kWindow},
      {"1", 9, 10, RGB(0, 0, 0)}, {"1", 3, 4, RGB(0, 0, 0)},   {"1", 2, 10, kWindow},
  };
  for (const Case& k : cases) {
    CGridCore grid;
    grid.ShowGridLines(0);
    CGridCell cell;
    cell.SetCellType(CGridCore::kTypeCheckBox);
    cell.SetText(k.value);
    Dib dib(75, 20);
    Draw(grid, dib, cell, RECT{0, 0, 75, 20});
    EXPECT_EQ(dib.Pixel(k.x, k.y), k.colour) << k.value << " at " << k.x << "," << k.y;
  }
  // The system's size (13 at least), across as the alignment says, and
  // no box in a cell too low for more than 5 pixels.
  const int size = CGridCheckBoxType::BoxSize();
  EXPECT_GE(size, 13);
  const struct {
    RECT cell;
    unsigned align;
    int left, width;
  } boxes[] = {
      {{0, 0, 75, 30}, 0, 3, size},
      {{0, 0, 75, 30}, 0x24, (75 - size) / 2, size},
      {{0, 0, 75, 30}, 0x2, 72 - size, size},
      {{0, 0, 75, 10}, 0, 3, 9},
      {{0, 0, 75, 6}, 0, 0, 0},
  };
  for (const auto& b : boxes) {
    const RECT box = CGridCheckBoxType::BoxRect(b.cell, b.align);
    EXPECT_EQ(box.left, b.left) << b.align << " " << b.cell.bottom;
    EXPECT_EQ(box.right - box.left, b.width) << b.align << " " << b.cell.bottom;
  }
}

TEST(GridCellTypes, CentredTextStandsInTheMiddle) {
  CGridCore grid;
  grid.ShowGridLines(0);
  CGridCell cell;
  cell.SetText("X");
  cell.SetAlignment(0x24);
  Dib dib(100, 40);
  Draw(grid, dib, cell, RECT{0, 0, 100, 40});
  RECT ink;
  ASSERT_TRUE(dib.InkBox(kWindow, &ink));
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 50, 3);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 20, 3);
}

TEST(GridCellTypes, EllipsisOnlyWithItsStyleAndOnlyWhenTheTextDoesNotFit) {
  CGridCore grid;
  grid.ShowGridLines(0);
  auto draw = [&](const char* text, int style, Dib& dib) {
    CGridCell cell;
    cell.SetText(text);
    cell.SetCellTypeStyle(style);
    Draw(grid, dib, cell, RECT{0, 0, 60, 20});
  };
  Dib shortPlain(60, 20), shortStyled(60, 20), longPlain(60, 20), longStyled(60, 20);
  draw("ab", 0, shortPlain);
  draw("ab", 4, shortStyled);
  draw("WWWWWWWWWWWWWWWW", 0, longPlain);
  draw("WWWWWWWWWWWWWWWW", 4, longStyled);
  EXPECT_TRUE(SameImage(shortPlain, shortStyled));
  EXPECT_FALSE(SameImage(longPlain, longStyled));
  // The last thing drawn is a dot: ink low in the line, none at the top.
  RECT ink;
  ASSERT_TRUE(longStyled.InkBox(kWindow, &ink));
  RECT textInk = ink;
  int lastTop = 1000;
  for (int y = 0; y < 20; ++y) {
    if (longStyled.Pixel(ink.right, y) != kWindow) {
      lastTop = y;
      break;
    }
  }
  EXPECT_GT(lastTop, (textInk.top + textInk.bottom) / 2);
}

TEST(GridCellTypes, ScaledDrawingOfARowWithoutHeightDrawsUnscaled) {
  CGridCore grid;
  grid.SetColumnCount(1);
  grid.SetRowCount(1);
  grid.SetRowHeight(0, 0);
  HFONT font = ::CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  CGridCell cell;
  cell.SetText("Ab");
  cell.SetFont(font);
  Dib scaled(60, 40), plain(60, 40);
  RECT r{0, 0, 60, 40};
  grid.GetCellType(0)->DrawScaled(scaled.dc(), &r, 0, 0, cell);
  grid.GetCellType(0)->OnDraw(plain.dc(), 0, 0, &r, cell, 0, 0);
  EXPECT_TRUE(SameImage(scaled, plain));
  ::DeleteObject(font);
}

TEST(GridCellTypes, CheckBoxTogglesOnlyOnAReleaseInsideItsBox) {
  struct Case {
    int col, pressed, x;
    const char* after;
    bool reported;
  } cases[] = {
      {0, 0, 9, "1", true},     // release inside the box
      {0, 1, 9, "0", false},    // the press alone
      {0, 0, 40, "0", false},   // beside the box
      {1, 0, 9, "0", false},    // read-only
  };
  for (const Case& k : cases) {
    LoggingGrid grid;
    grid.SetColumnCount(2);
    grid.SetRowCount(1);
    for (int c = 0; c < 2; ++c) {
      CGridCell cell;
      cell.SetCellType(CGridCore::kTypeCheckBox);
      cell.SetText("0");
      if (c == 1) cell.SetReadOnly(1);
      grid.SetCell(c, 0, cell);
    }
    RECT r{0, 0, 75, 20};
    grid.log.clear();
    grid.GetCellType(CGridCore::kTypeCheckBox)->OnLeftClick(k.col, 0, k.pressed, &r, POINT{k.x, 10});
    CGridCell out;
    grid.GetCell(k.col, 0, &out);
    EXPECT_STREQ(out.GetTextPtr(), k.after) << k.col << " " << k.pressed << " " << k.x;
    EXPECT_EQ(!grid.log.empty(), k.reported);
    if (k.reported) {
      EXPECT_EQ(grid.log.back(), "type 2 at 0 0 code 53");
    }
  }
}

TEST(GridCellTypes, ButtonReleasedInAnotherCellIsNotClicked) {
  LoggingGrid grid;
  CGridButtonType button;
  const int index = grid.AddCellType(&button);
  ASSERT_EQ(index, 4);
  grid.SetColumnCount(3);
  grid.SetRowCount(2);
  const RECT a{75, 20, 150, 40}, b{150, 20, 225, 40};
  const std::string p = "type 4 at ";
  grid.log.clear();
  button.OnLeftClick(1, 1, 1, &a, POINT{100, 30});
  button.OnLeftClick(2, 1, 0, &b, POINT{170, 30});
  EXPECT_EQ(grid.log, (Log{p + "1 1 code 2", p + "2 1 code 3"}));
  grid.log.clear();
  button.OnLeftClick(1, 1, 1, &a, POINT{100, 30});
  button.OnLeftClick(1, 1, 0, &a, POINT{101, 31});
  EXPECT_EQ(grid.log, (Log{p + "1 1 code 2", p + "1 1 code 3", p + "1 1 code 1"}));
}
