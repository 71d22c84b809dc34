// CGridHintWnd: the small topmost hint that shows scroll-thumb texts. It is
// created hidden with the grid; showing texts arrives with the scroll bars'
// thumb tracking.
#pragma once

#include <string>

#include "grid/parts/part_window.h"

class CGridHintWnd : public CGridPartWindow {
 public:
  using CGridPartWindow::CGridPartWindow;
  bool CreateHint(HWND grid);
  void SetText(const std::string& text, bool redraw);
  const std::string& GetText() const { return text_; }

 protected:
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;

 private:
  std::string text_;
  COLORREF textColor_ = RGB(0, 0, 0);
  COLORREF backColor_ = 0xE0FFFF;
};
