// CAlmacoraSplitter: the main window's splitter, the event list above the
// calendar frame. Each time it draws its bars it works out the layout mode
// (0 calendar and list, 1 list only, 2 calendar only), keeps the active
// pane in a shown row and enables "TODAY !" unless only the list shows.
#pragma once

#include "framework/docview/splitter_window.h"

class CAlmacoraSplitter : public framework::CSplitterWindow {
 public:
  // -1 until the bars were first drawn.
  int GetLayoutMode() const { return layoutMode_; }
  // Works the mode out now (the painting does it too).
  int UpdateLayoutMode();

 protected:
  void OnDrawSplitter(HDC dc, SplitType type, const RECT& rect) override;

 private:
  int layoutMode_ = -1;
};
