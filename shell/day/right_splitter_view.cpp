#include "shell/day/right_splitter_view.h"

#include "framework/frame_window.h"
#include "shell/day/all_day_view.h"
#include "shell/day/daily_cal_view.h"

bool CRightSplitterView::OnCreate(const CREATESTRUCTA& cs) {
  if (!CView::OnCreate(cs)) return false;
  if (!splitter_.CreateStatic(GetSafeHwnd(), 2, 1, WS_CHILD | WS_VISIBLE, framework::kIdPaneFirst)) return false;
  framework::CCreateContext context;
  context.document = GetDocument();
  if (!splitter_.CreateView(0, 0, new CDailyCalView, SIZE{0, 150}, &context)) return false;
  if (!splitter_.CreateView(1, 0, new CAllDayView, SIZE{0, 50}, &context)) return false;
  splitter_.SetRowInfo(0, 125, 20);
  splitter_.SetRowInfo(1, 50, 20);
  return true;
}

void CRightSplitterView::OnSize(UINT /*type*/, int cx, int cy) {
  if (!splitter_.GetSafeHwnd()) return;
  ::MoveWindow(splitter_.GetSafeHwnd(), -2, -2, cx + 4, cy + 4, TRUE);
  splitter_.RecalcLayout();
}
