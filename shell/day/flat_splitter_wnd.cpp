#include "shell/day/flat_splitter_wnd.h"

#include "shell/day/flat_border.h"

void CFlatSplitterWnd::OnDrawSplitter(HDC dc, SplitType type, const RECT& rect) {
  if (type == kSplitBorder && dc) {
    DrawFlatBorder(dc, rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    return;
  }
  CSplitterWindow::OnDrawSplitter(dc, type, rect);
}

void CFlatSplitterWnd::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  CSplitterWindow::OnPaint(dc, ps);
  int current = 0, minimum = 0;
  if (GetColumnInfo(GetColumnCount() - 1, &current, &minimum)) lastColumnExtent_ = current + kBarSize;
}
