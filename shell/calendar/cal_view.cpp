#include "shell/calendar/cal_view.h"

#include "framework/application.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "res/resource.h"
#include "shell/calendar/cal_preview_view.h"
#include "shell/printing/cal_print_job.h"
#include "shell/printing/print_preview_launch.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

int (*CCalView::layoutModeHook)() = nullptr;

CCalView::CCalView() : start_(CDateTime::Today()) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalView, framework::CView)
  framework::OnCommand<&CCalView::OnFilePrint>(ID_FILE_PRINT),
  framework::OnCommand<&CCalView::OnFilePrintPreview>(ID_FILE_PRINT_PREVIEW),
FRAMEWORK_END_MESSAGE_MAP()

CDateTime CCalView::PrintStart() const {
  if (!m_bPrintWeek) return CDateTime(1, grid_.GetMonth(), grid_.GetYear());
  // The week sheet prints the week it shows; from the month sheet the week
  // page starts on the shown day.
  if (grid_.GetMode() == 1) return grid_.GetWeekStart();
  return CDateTime(grid_.GetDay(), grid_.GetMonth(), grid_.GetYear());
}

bool CCalView::CanPrint() const {
  // Until the first fill the grid has shown no range, so there is no page
  // the user has seen to print.
  if (!grid_.IsFirstFillPending()) return true;
  framework::MessageBox(
      "You may only print the Almacora calendar after it has been shown on-screen.\n"
      "Please view the on-screen calendar and retry printing.",
      MB_OK, "Calendar Printing");
  return false;
}

void CCalView::OnFilePrint() {
  auto* doc = dynamic_cast<CShellDocument*>(GetDocument());
  if (!doc) return;
  m_bPreview = false;
  if (!CanPrint()) return;
  framework::CApplication* app = framework::TheApp();
  // The printer and its settings were chosen in "Print": no print dialog.
  CCalPrintJob job(*doc, PrintStart(), m_bPrintWeek ? CCalPage::kWeek : CCalPage::kMonth,
                   app ? app->GetMainWindow() : nullptr);
  job.SetDirect(true);
  job.Print();
}

void CCalView::OnFilePrintPreview() {
  auto* doc = dynamic_cast<CShellDocument*>(GetDocument());
  if (!doc) return;
  m_bPreview = true;
  if (!CanPrint()) return;
  auto job = std::make_shared<CCalPrintJob>(*doc, PrintStart(), m_bPrintWeek ? CCalPage::kWeek : CCalPage::kMonth,
                                            nullptr);
  job->SetDirect(true);
  job->SetAfterPreview([] { ReopenPrintCommand(); });
  OpenPrintPreview(job, std::make_unique<CCalPreviewView>());
}

bool CCalView::OnCreate(const CREATESTRUCTA& cs) {
  if (!CView::OnCreate(cs)) return false;
  grid_.SetOwnerView(this);
  if (auto* doc = dynamic_cast<CShellDocument*>(GetDocument())) {
    grid_.SetPageSource(doc);
    popup_.SetDocument(doc);
  }
  grid_.SetPopupPlacer(&popup_);
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  if (!grid_.CreateGrid(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rc, GetSafeHwnd(), kGridId))
    return false;
  grid_.SetHighlightStyle(1);
  return true;
}

void CCalView::OnSize(UINT /*type*/, int cx, int cy) {
  if (cx <= 0 || cy <= 0 || !grid_.GetSafeHwnd()) return;
  ::MoveWindow(grid_.GetSafeHwnd(), 0, 0, cx, cy, TRUE);
  if (grid_.IsFirstFillPending()) {
    grid_.GoToDate(start_);
  } else {
    grid_.EnableRedraw(0);
    grid_.SizeCells();
    grid_.EnableRedraw(1);
  }
}

bool CCalView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_ERASEBKGND) {
    *result = 1;
    return true;
  }
  if (message == WM_SYSCOLORCHANGE && grid_.GetSafeHwnd()) {
    // Both sheets take the new button and highlight colours.
    const int shown = grid_.GetCurrentSheet();
    grid_.EnableRedraw(0);
    for (int sheet : {shown, 1 - shown}) {
      grid_.SelectSheet(sheet, 0);
      if (sheet == 0) {
        grid_.SetupMonthSheet();
      } else {
        grid_.SetupWeekSheet();
      }
    }
    grid_.SelectSheet(shown, 0);
    grid_.EnableRedraw(1);
    grid_.Refresh();
  }
  return CView::OnWndMsg(message, wParam, lParam, result);
}

void CCalView::OnInitialUpdate() {}

void CCalView::FillEventTexts() {
  if (grid_.IsFirstFillPending()) {
    grid_.GoToDate(start_);
    return;
  }
  grid_.FillEventTexts();
}

void CCalView::MarkOccurrence(const COccurrenceRef* ref, bool goThere) {
  if (!ref || !ref->event || grid_.IsFirstFillPending()) return;
  if (layoutModeHook && layoutModeHook() == 2) return;
  CCalEvent* event = ref->event;
  // Only an event the list shows for the display mode has a day to mark.
  if (event->disabled || event->deleted || !event->hasNext || event->nextOccurrence.IsEmpty()) return;
  if (auto* doc = dynamic_cast<CShellDocument*>(GetDocument()); doc && doc->IsTypeHidden(event->type)) return;
  // The next occurrence is keyed by its scheduled date; its day in the
  // calendar is that of its actual (possibly moved) start.
  const CDateTime day = event->GetOccurrenceRange(event->nextOccurrence).start;
  const int d = day.GetDay(CDateTime::kAsLocal), m = day.GetMonth(CDateTime::kAsLocal),
            y = day.GetYear(CDateTime::kAsLocal);
  if (goThere) grid_.GoTo(d, m, y);
  grid_.MarkDate(d, m, y);
}

void CCalView::OnUpdate(framework::CView* /*sender*/, LPARAM hint, void* object) {
  switch (hint) {
    case kHintMonthWeek:
      grid_.SetMode(static_cast<int>(reinterpret_cast<INT_PTR>(object)));
      break;
    case kHintTypesChanged:
      grid_.Refresh();
      break;
    case kHintFontsChanged:
      grid_.FontsChanged();
      break;
    case kHintDayChanged:
      grid_.UpdateToday();
      break;
    case kHintGoToDate:
      grid_.GoToDate(object ? *static_cast<const CDateTime*>(object) : CDateTime::Today());
      break;
    case kHintSelectionCleared:
      grid_.ClearMark();
      break;
    case kHintReload:
    case kHintListReloaded:
      if (grid_.IsFirstFillPending()) break;
      grid_.EnableRedraw(0);
      FillEventTexts();
      grid_.EnableRedraw(1);
      grid_.RedrawAll();
      break;
    case kHintListSelection:
    case kHintMarkInCalendar:
      MarkOccurrence(static_cast<const COccurrenceRef*>(object), hint == kHintMarkInCalendar);
      break;
    default:
      break;
  }
}
