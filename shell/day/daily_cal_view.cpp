#include "shell/day/daily_cal_view.h"

#include "model/events/cal_event.h"
#include "shell/commands/occurrence_menu.h"

#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

bool CDailyCalView::OnCreate(const CREATESTRUCTA& cs) {
  if (!CView::OnCreate(cs)) return false;
  mini_.SetOwnerView(this);
  if (auto* doc = dynamic_cast<CShellDocument*>(GetDocument())) mini_.SetPage(&doc->GetCalPage());
  if (!mini_.CreateGrid(WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, GetSafeHwnd(), 1)) return false;
  // The current cell is the shown day: drawn in the highlight colours, so
  // the pane says which day the schedule beside it shows.
  mini_.SetHighlightStyle(3);
  return true;
}

void CDailyCalView::OnSize(UINT /*type*/, int cx, int cy) {
  if (!mini_.GetSafeHwnd() || cx <= 0 || cy <= 0) return;
  ::MoveWindow(mini_.GetSafeHwnd(), 0, 0, cx, cy, TRUE);
  if (mini_.GetMonth() == 0) mini_.GoToDate(CDateTime::Today());
}

bool CDailyCalView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_ERASEBKGND) {
    *result = 1;
    return true;
  }
  return CView::OnWndMsg(message, wParam, lParam, result);
}

void CDailyCalView::OnInitialUpdate() {}

void CDailyCalView::OnUpdate(framework::CView* /*sender*/, LPARAM hint, void* object) {
  switch (hint) {
    case kHintGoToDate:
      mini_.GoToDate(object ? *static_cast<const CDateTime*>(object) : CDateTime::Today());
      break;
    case kHintMarkInCalendar: {
      // The list's event: its next occurrence's day (today without one).
      if (occmenu::CalendarOnly()) break;
      const auto* ref = static_cast<const COccurrenceRef*>(object);
      if (!ref)
        mini_.GoToDate(CDateTime::Today());
      else if (ref->event && ref->event->listed)
        mini_.GoToDate(ref->event->nextOccurrence);
      break;
    }
    case kHintReload:
    case kHintTypesChanged:
    case kHintDayChanged:
      mini_.Refresh();
      break;
    default:
      break;
  }
}
