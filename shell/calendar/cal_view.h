// CCalView: the month and week calendar of the lower pane. It fills its
// client area with CMonthGridCtrl (child 123) and turns the document's
// hints into the grid's moves: go to a date (7), month or week (18),
// reload (17), marking the list's event (2, 15) or clearing the mark (5),
// a new day (8) and new colours (11). It prints (57607) and previews
// (57609) the month or week page the frame chose with SetPrintWeek: the
// shown month, the shown week, or from the month sheet the week that begins
// on the shown day; before the grid's first fill it refuses with the
// "Calendar Printing" message. A preview, when it closes, brings "Print"
// back.
#pragma once

#include <memory>

#include "framework/docview/view.h"
#include "shell/calendar/day_events_popup.h"
#include "shell/calendar/month_grid_ctrl.h"

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

  // Printing: the page the next 57607/57609 prints (false the month).
  void SetPrintWeek(bool week) { m_bPrintWeek = week; }
  bool GetPrintWeek() const { return m_bPrintWeek; }
  // True while the last job was started as a preview.
  bool GetPreviewFlag() const { return m_bPreview; }
  // The first day the page of the current print flag starts from: day 1 of
  // the shown month; for the week page the shown week, or from the month
  // sheet the shown day.
  CDateTime PrintStart() const;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void MarkOccurrence(const COccurrenceRef* ref, bool goThere);
  // False, after the "Calendar Printing" message, while the first fill is
  // still pending.
  bool CanPrint() const;
  void OnFilePrint();
  void OnFilePrintPreview();

  CMonthGridCtrl grid_;
  CDayEventsPopup popup_;  // the grid's day pop-up
  CDateTime start_;
  bool m_bPrintWeek = false;
  bool m_bPreview = false;
};
