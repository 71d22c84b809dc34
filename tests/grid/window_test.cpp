// A sample grid on screen: headings, coloured cells, a check box, an arrow
// and a joined block, captured as a screenshot and checked by pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/grid/grid_fixture.h"

TEST(GridWindow, SampleGridPaintsItsCellsAndHeadings) {
  TestHost host(420, 220, true);
  LoggingGrid grid;
  ASSERT_TRUE(CreateHostedGrid(grid, host, 420, 220));
  grid.SetColumnCount(5);
  grid.SetRowCount(8);
  const char* headings[] = {"Date", "Event", "Done", "Next", "Notes"};
  for (int c = 0; c < 5; ++c) grid.SetCellText(c, -1, headings[c]);
  for (int r = 0; r < 8; ++r) {
    grid.SetCellText(-1, r, std::to_string(r + 1));
    grid.SetCellText(0, r, "2026-12-" + std::to_string(10 + r));
    grid.SetCellText(1, r, r % 2 ? "Dentist" : "Birthday");
    CGridCell check;
    check.SetCellType(CGridCore::kTypeCheckBox);
    check.SetText(r % 3 ? "0" : "1");
    check.SetLabel("done");
    grid.SetCell(2, r, check);
    CGridCell arrow;
    arrow.SetCellType(CGridCore::kTypeArrow);
    arrow.SetCellTypeStyle(r % 2 ? 0x20 : 0x10);
    grid.SetCell(3, r, arrow);
  }
  CGridCell red;
  red.SetText("red");
  red.SetBackColor(RGB(230, 40, 40));
  red.SetAlignment(0x24);
  grid.SetCell(1, 1, red);
  grid.SetCellText(4, 2, "a joined block of notes");
  grid.MergeCells(4, 2, 4, 4);

  Dib shot(420, 220);
  shot.CaptureWindow(host.hwnd());
  EXPECT_TRUE(shot.SaveBmp(ArtifactPath("grid_sample.bmp")));
  // Cell (1, 1): right of the 40-pixel row heading and one 75-pixel column,
  // below the 20-pixel column heading and one row.
  EXPECT_EQ(shot.Pixel(40 + 75 + 5, 20 + 20 + 3), RGB(230, 40, 40));
  EXPECT_EQ(shot.Pixel(40 + 75 + 5, 20 + 40 + 3), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(shot.Pixel(3, 20 + 20 + 10), ::GetSysColor(COLOR_BTNFACE));
  // The check box of row 0 is ticked: its box frame is black.
  EXPECT_EQ(shot.Pixel(40 + 150 + 3, 20 + 4), RGB(0, 0, 0));
  FILE* f = std::fopen(ArtifactPath("grid_sample.bmp").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
}
