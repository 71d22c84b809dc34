// CSplitterView: the day layout, a flat splitter of one row and two
// columns: the day schedule (CDailyView) on the left and CRightSplitterView
// on the right. The right column keeps its width when the view is resized;
// the schedule takes the rest.
#pragma once

#include "framework/docview/view.h"
#include "shell/day/flat_splitter_wnd.h"

class CSplitterView : public framework::CView {
 public:
  CFlatSplitterWnd& GetSplitter() { return splitter_; }
  int GetRightWidth() const { return rightWidth_; }

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  int rightWidth_ = 200;
  int restoreWidth_ = 200;
  CFlatSplitterWnd splitter_;
};
