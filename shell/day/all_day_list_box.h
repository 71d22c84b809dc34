// CAllDayListBox: the owner-drawn list of CAllDayView. Each line holds a
// copy of its occurrence (never a pointer into the document's page, which
// every load of the schedule rebuilds) and is drawn in the occurrence's
// colour. A right-click selects the line under the mouse (none below the
// last line) and opens the strip's menu.
#pragma once

#include <vector>

#include "framework/controls/simple_controls.h"
#include "framework/gdi/gdi.h"
#include "model/dates/date_time.h"
#include "model/events/occurrence_ref.h"

class CAllDayView;

class CAllDayListBox : public framework::CListBox {
 public:
  CAllDayListBox();
  // Creates the list box as child `id` of the view.
  bool Create(CAllDayView* owner, UINT id);

  void Clear();
  void AddOccurrence(const COccurrenceRef& ref, const CDateTime& day);
  // Removes the lines of the event with `serial` (being freed), keeping the others.
  void DropEvent(int serial);
  // The occurrence of line `index`, or null.
  const COccurrenceRef* GetOccurrence(int index) const;
  int GetLineCount() const { return static_cast<int>(lines_.size()); }

  void MeasureItem(MEASUREITEMSTRUCT& mis);
  void DrawItem(const DRAWITEMSTRUCT& dis);

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  CAllDayView* owner_ = nullptr;
  std::vector<COccurrenceRef> lines_;
  CDateTime day_;
  framework::CFont font_;
};
