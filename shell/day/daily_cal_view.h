// CDailyCalView: the upper pane of the day layout's right column. It hosts
// the mini month (child 1), forwards its size and the document's hints to
// it and reads the document's calendar page for its bold days. The day
// views' own parts of this pane come with them.
#pragma once

#include "framework/docview/view.h"
#include "shell/day/mini_month_cal.h"

class CDailyCalView : public framework::CView {
 public:
  CMiniMonthCal& GetMiniMonth() { return mini_; }
  void OnUpdate(framework::CView* sender, LPARAM hint, void* object) override;
  void OnInitialUpdate() override;

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  CMiniMonthCal mini_;
};
