// CAllDayView: the "All Day Events" strip of the day layout, under the mini
// month. It lists the shown day's all-day occurrences, which the schedule
// leaves out, from the document's calendar page (rebuilt here when it holds
// another month). A selected line sends hint 4 (the list follows), a
// double-click modifies it, a right-click offers the occurrence menu, or
// only "Add" (a new all-day event on the shown day) on empty space.
//
// Hints: 7 shows the given day (today without one), 17 (and 3) the shown
// day again with nothing selected, 15 the day of the list event's next
// occurrence, 11 redraws, 14 drops the lines of the event being freed.
// The strip loads its day at its initial update.
#pragma once

#include "framework/docview/view.h"
#include "framework/gdi/gdi.h"
#include "model/dates/date_time.h"
#include "model/events/occurrence_ref.h"
#include "shell/day/all_day_list_box.h"

class CShellDocument;

class CAllDayView : public framework::CView {
 public:
  static constexpr UINT kListId = 100;

  CAllDayView();
  void OnInitialUpdate() override;
  void OnUpdate(framework::CView* sender, LPARAM hint, void* object) override;

  void LoadAllDay(const CDateTime& date);
  // The strip's menu at the cursor (from the list's right button).
  void OpenMenu();

  CAllDayListBox& GetList() { return list_; }
  const CDateTime& GetShownDay() const { return shownDay_; }
  int GetTitleHeight() const { return titleHeight_; }
  // The selected line's occurrence (a copy), or an empty reference.
  COccurrenceRef GetSelectedOccurrence() const;

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnDraw(HDC dc) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  CShellDocument* Doc() const;
  void OnSelChange();
  void OnDblClk();
  void OnCommand(UINT id);
  void RedrawNow();

  int listIndex_ = -1;
  bool menuOpen_ = false;
  framework::CFont font_;
  CDateTime shownDay_;
  CAllDayListBox list_;
  int titleHeight_ = 16;
};
