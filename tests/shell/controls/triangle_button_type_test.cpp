// The triangle button cell drawn into a bitmap: an arrow tip where each
// style puts it, and the frame sunken while pressed.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "grid/cell/grid_cell.h"
#include "controls/triangle_button_type.h"

namespace {

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    HDC screen = ::GetDC(nullptr);
    dc_ = ::CreateCompatibleDC(screen);
    bmp_ = ::CreateCompatibleBitmap(screen, w, h);
    old_ = ::SelectObject(dc_, bmp_);
    ::ReleaseDC(nullptr, screen);
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bmp_);
    ::DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

TEST(TriangleButtonType, ArrowTipsPerStyleAndPressedFrame) {
  struct Case {
    int style;
    int tipDx;  // the tip's x from the inner centre
  };
  const Case cases[] = {{0x10, 3}, {0, 3}, {0x20, -3}, {0x40, 7}, {0x80, -7}};
  const COLORREF red = RGB(255, 0, 0), white = RGB(255, 255, 255);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    shellcontrols::CTriangleButtonType type;
    Canvas canvas(40, 24);
    CGridCell cell;
    cell.SetTextColor(red);
    cell.SetBackColor(white);
    cell.SetCellTypeStyle(c.style);
    RECT rect{0, 0, 40, 24};
    type.Paint(canvas.dc(), rect, cell, false);
    // The frame may take a pixel more on one side: look a pixel inside
    // the tip and a little beyond it.
    const int cx = 20, cy = 12, out = c.tipDx > 0 ? 1 : -1;
    EXPECT_EQ(canvas.At(cx + c.tipDx - out, cy), red);
    EXPECT_EQ(canvas.At(cx + c.tipDx + 3 * out, cy), white);
  }
  shellcontrols::CTriangleButtonType type;
  Canvas up(40, 24), down(40, 24);
  CGridCell cell;
  RECT rect{0, 0, 40, 24};
  type.Paint(up.dc(), rect, cell, false);
  type.Paint(down.dc(), rect, cell, true);
  EXPECT_NE(up.At(0, 0), down.At(0, 0));
}

}  // namespace
