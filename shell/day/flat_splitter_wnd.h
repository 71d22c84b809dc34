// CFlatSplitterWnd: the splitters of the day layout, whose pane borders
// are drawn as a flat sunken edge.
#pragma once

#include "framework/docview/splitter_window.h"

class CFlatSplitterWnd : public framework::CSplitterWindow {
 public:
  // The last column's width plus the bar, as last painted.
  int GetLastColumnExtent() const { return lastColumnExtent_; }

 protected:
  void OnDrawSplitter(HDC dc, SplitType type, const RECT& rect) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;

 private:
  int lastColumnExtent_ = 0;
};
