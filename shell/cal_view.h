// CCalView: the month and week calendar of the lower pane. It fills its
// client area with CMonthGridCtrl (child 123) and turns the document's
// hints into the grid's moves: go to a date (7), month or week (18),
// reload (17), marking the list's event (2, 15) or clearing the mark (5),
// a new day (8) and new colours (11). Printing comes with the printing
// commands; until then 57607 and 57609 stay grey.
#pragma once

#include "framework/docview/view.h"
#include "shell/day_events_popup.h"
#include "shell/month_grid_ctrl.h"

class CCalView : public framework::CView {
 public:
  static constexpr UINT kGridId = 123;

  CCalView();
  CMonthGridCtrl& GetGrid() { return grid_; }
  CDayEventsPopup& GetDayPopup() { return popup_; }
  // Rebuilds the page of the shown range and writes every cell's text (the
  // first fill when it is still pending).
  void FillEventTexts();
  void OnUpdate(framework::CView* sender, LPARAM hint, void* object) override;
  void OnInitialUpdate() override;

  // Asked before marking the list's event: 2 means calendar only (no list
  // to follow). Installed by the main frame; 0 without one.
  static int (*layoutModeHook)();

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void MarkOccurrence(const COccurrenceRef* ref, bool goThere);

  CMonthGridCtrl grid_;
  CDayEventsPopup popup_;  // the grid's day pop-up
  CDateTime start_;
};
