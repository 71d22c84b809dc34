#include "shell/day/splitter_view.h"

#include "framework/frame_window.h"
#include "shell/day/daily_view.h"
#include "shell/day/right_splitter_view.h"

bool CSplitterView::OnCreate(const CREATESTRUCTA& cs) {
  if (!CView::OnCreate(cs)) return false;
  if (!splitter_.CreateStatic(GetSafeHwnd(), 1, 2, WS_CHILD | WS_VISIBLE, framework::kIdPaneFirst)) return false;
  framework::CCreateContext context;
  context.document = GetDocument();
  if (!splitter_.CreateView(0, 0, new CDailyView, SIZE{300, 150}, &context)) return false;
  if (!splitter_.CreateView(0, 1, new CRightSplitterView, SIZE{rightWidth_, 150}, &context)) return false;
  splitter_.SetColumnInfo(1, rightWidth_, 20);
  restoreWidth_ = rightWidth_;
  return true;
}

void CSplitterView::OnSize(UINT /*type*/, int cx, int cy) {
  if (cx <= 0 || cy <= 0 || !splitter_.GetSafeHwnd()) return;
  splitter_.SetColumnInfo(1, restoreWidth_, 20);
  ::MoveWindow(splitter_.GetSafeHwnd(), -2, -2, cx + 4, cy + 4, TRUE);
  const int left = cx - restoreWidth_;
  if (left > 0) splitter_.SetColumnInfo(0, left, 20);
  splitter_.RecalcLayout();
}
