// CRightSplitterView: the right column of the day layout, a flat splitter
// of two rows: the day mini-calendar pane (CDailyCalView) above the
// all-day list (CAllDayView).
#pragma once

#include "framework/docview/view.h"
#include "shell/day/flat_splitter_wnd.h"

class CRightSplitterView : public framework::CView {
 public:
  CFlatSplitterWnd& GetSplitter() { return splitter_; }

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  CFlatSplitterWnd splitter_;
};
