#include "shell/day/all_day_view.h"

#include <string>

#include "model/events/cal_event.h"
#include "res/resource.h"
#include "shell/commands/event_commands.h"
#include "shell/commands/occurrence_menu.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

CAllDayView::CAllDayView() : shownDay_(CDateTime::Today()) { font_.CreatePointFont(80, "MS Sans Serif"); }

CShellDocument* CAllDayView::Doc() const { return dynamic_cast<CShellDocument*>(GetDocument()); }

bool CAllDayView::OnCreate(const CREATESTRUCTA& cs) {
  if (!CView::OnCreate(cs)) return false;
  return list_.Create(this, kListId);
}

void CAllDayView::OnInitialUpdate() {
  framework::CClientDC dc(GetSafeHwnd());
  SIZE size{0, 13};
  if (dc) {
    HGDIOBJ old = ::SelectObject(dc, font_);
    ::GetTextExtentPoint32A(dc, "Ay", 2, &size);
    ::SelectObject(dc, old);
  }
  titleHeight_ = 2 + static_cast<int>(size.cy * 1.1);
  RECT rc{0, 0, 0, 0};
  ::GetClientRect(GetSafeHwnd(), &rc);
  OnSize(0, rc.right, rc.bottom);
  // The schedule has shown today already; the strip shows the same day.
  LoadAllDay(shownDay_);
}

void CAllDayView::OnSize(UINT /*type*/, int cx, int cy) {
  if (list_.GetSafeHwnd()) ::MoveWindow(list_.GetSafeHwnd(), 0, titleHeight_, cx, cy - titleHeight_, TRUE);
}

void CAllDayView::LoadAllDay(const CDateTime& date) {
  shownDay_ = CDateTime(date.GetJulianDay(), CDateTime::kFloating);
  list_.Clear();
  listIndex_ = -1;
  CShellDocument* doc = Doc();
  if (!doc) return;
  CCalPage& page = doc->GetCalPage();
  const CDateTime first(1, shownDay_.GetMonth(), shownDay_.GetYear());
  if (page.GetMode() != CCalPage::kMonth || page.GetStart().GetJulianDay() != first.GetJulianDay())
    page.Build(*doc, first, CCalPage::kMonth);
  if (const CCalPage::DayList* list = page.LookupDate(shownDay_))
    for (const COccurrenceRef& ref : *list)
      if (ref.event && ref.event->IsAllDay(ref.date)) list_.AddOccurrence(ref, shownDay_);
}

COccurrenceRef CAllDayView::GetSelectedOccurrence() const {
  const COccurrenceRef* ref = list_.GetOccurrence(list_.GetCurSel());
  return ref ? *ref : COccurrenceRef();
}

void CAllDayView::RedrawNow() {
  ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
  ::UpdateWindow(GetSafeHwnd());
  if (list_.GetSafeHwnd()) {
    ::InvalidateRect(list_.GetSafeHwnd(), nullptr, TRUE);
    ::UpdateWindow(list_.GetSafeHwnd());
  }
}

void CAllDayView::OnUpdate(framework::CView* /*sender*/, LPARAM hint, void* object) {
  switch (hint) {
    case kHintGoToDate:
      LoadAllDay(object ? *static_cast<const CDateTime*>(object) : CDateTime::Today());
      break;
    case kHintReload:
    case kHintListReloaded:
      LoadAllDay(shownDay_);
      break;
    case kHintTypesChanged:
      break;
    case kHintMarkInCalendar: {
      const auto* ref = static_cast<const COccurrenceRef*>(object);
      if (occmenu::CalendarOnly() || !ref || !ref->event || !ref->event->listed) return;
      LoadAllDay(ref->event->nextOccurrence);
      break;
    }
    case kHintDropEvent:
      // The event is freed before the reload comes: drop its lines now.
      list_.DropEvent(static_cast<int>(reinterpret_cast<INT_PTR>(object)));
      return;
    default:
      return;
  }
  RedrawNow();
}

void CAllDayView::OnDraw(HDC dc) {
  RECT rc{0, 0, 0, 0};
  ::GetClientRect(GetSafeHwnd(), &rc);
  rc.bottom = titleHeight_;
  ::DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = ::SelectObject(dc, font_);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, "All Day Events", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SelectObject(dc, old);
}

void CAllDayView::OnSelChange() {
  COccurrenceRef ref = GetSelectedOccurrence();
  if (ref.event)
    if (CShellDocument* doc = Doc()) doc->UpdateAllViews(nullptr, kHintSelectEvent, &ref);
}

void CAllDayView::OnDblClk() {
  COccurrenceRef ref = GetSelectedOccurrence();
  if (!ref.event) return;
  if (IEventCommands* c = GetEventCommands()) c->ModifyEvent(ref);
}

void CAllDayView::OpenMenu() {
  if (menuOpen_) {
    menuOpen_ = false;
    return;
  }
  listIndex_ = list_.GetCurSel();
  COccurrenceRef ref = GetSelectedOccurrence();
  HMENU menu = occmenu::Build(ref.event ? &ref : nullptr, occmenu::Style::kDayViews, occmenu::CalendarOnly());
  POINT at;
  ::GetCursorPos(&at);
  menuOpen_ = true;
  const UINT id = occmenu::Track(menu, at, TPM_RIGHTBUTTON, GetSafeHwnd());
  menuOpen_ = false;
  ::DestroyMenu(menu);
  if (id) OnCommand(id);
}

void CAllDayView::OnCommand(UINT id) {
  if (id == ID_OCC_ADD) {
    if (IEventCommands* c = GetEventCommands()) c->AddAllDayEvent(shownDay_);
    return;
  }
  // A copy: the command may save, and the reload empties the list.
  COccurrenceRef ref = GetSelectedOccurrence();
  if (ref.event) occmenu::Run(id, ref, Doc());
}

bool CAllDayView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (mis && mis->CtlID == kListId) {
        list_.MeasureItem(*mis);
        *result = TRUE;
        return true;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (dis && dis->CtlID == kListId) {
        list_.DrawItem(*dis);
        *result = TRUE;
        return true;
      }
      break;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kListId && lParam) {
        if (HIWORD(wParam) == LBN_SELCHANGE) OnSelChange();
        if (HIWORD(wParam) == LBN_DBLCLK) OnDblClk();
        *result = 0;
        return true;
      }
      if (LOWORD(wParam) >= ID_OCC_ADD && LOWORD(wParam) <= ID_OCC_EXPORT) {
        OnCommand(LOWORD(wParam));
        *result = 0;
        return true;
      }
      break;
    default:
      break;
  }
  return CView::OnWndMsg(message, wParam, lParam, result);
}
