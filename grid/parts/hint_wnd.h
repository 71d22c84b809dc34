// CGridHintWnd: the small topmost hint that shows scroll-thumb texts,
// created hidden with the grid (its own child id). ShowAt places it by the
// placement flags and then keeps it inside the grid's client area.
#pragma once

#include <string>

#include "grid/parts/part_window.h"

class CGridHintWnd : public CGridPartWindow {
 public:
  // Placement flags: the window ends at x, is centred on x, ends at y, is
  // centred on y; none: it starts at x and y.
  enum : int { kEndX = 0x2, kCentreX = 0x4, kEndY = 0x10, kCentreY = 0x20 };

  using CGridPartWindow::CGridPartWindow;
  bool CreateHint(HWND grid);
  void SetText(const std::string& text, bool redraw);
  const std::string& GetText() const { return text_; }
  void SetPlacement(int flags) { flags_ = flags; }
  // Sizes the window to the text (at least minWidth wide), places it at
  // (x, y) in the grid's client coordinates and paints it at once.
  void ShowAt(int x, int y, int minWidth);
  void Show();
  // Hides the window and repaints the cell area under it.
  void Hide();

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;

 private:
  std::string text_;
  COLORREF textColor_ = RGB(0, 0, 0);
  COLORREF backColor_ = 0xE0FFFF;
  int flags_ = 0;
  int textHeight_ = 0;
};
