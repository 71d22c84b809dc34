// The main frame's calendar views: the window tree of the client area, the
// three layouts of the main splitter, the bar's keyboard move and the
// clipboard month picture.
#include "framework/cmd_ui.h"
#include "framework/docview/view.h"
#include "framework/gdi/gdi.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/frame/almacora_splitter.h"
#include "shell/calendar/cal_frame.h"
#include "shell/calendar/cal_page_painter.h"
#include "shell/calendar/cal_view.h"
#include "shell/core/cal_geometry.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

namespace {
constexpr int kListMinimum = 40;

int LayoutModeOfMainFrame() {
  CMainFrame* frame = CMainFrame::Get();
  return frame ? frame->GetLayoutMode() : 0;
}
}  // namespace

bool CMainFrame::OnCreateClient(const CREATESTRUCTA& /*cs*/, framework::CCreateContext* context) {
  if (!context || !context->newView) return true;
  CCalView::layoutModeHook = &LayoutModeOfMainFrame;
  auto* splitter = new CAlmacoraSplitter;
  if (!splitter->CreateStatic(GetSafeHwnd(), 2, 1, WS_CHILD | WS_VISIBLE, framework::kIdPaneFirst)) {
    delete splitter;
    return false;
  }
  m_pSplitter = splitter;
  framework::CView* list = context->newView();
  if (!list || !splitter->CreateView(0, 0, list, SIZE{0, g_Settings.GridSizeY}, context)) return false;
  if (!splitter->CreateView(1, 0, new CCalFrame, SIZE{0, 0}, context)) return false;
  splitter->SetRowInfo(0, g_Settings.GridSizeY, kListMinimum);
  SetActiveView(dynamic_cast<framework::CView*>(list));
  return true;
}


int CMainFrame::GetLayoutMode() const { return m_pSplitter ? m_pSplitter->GetLayoutMode() : -1; }

CCalFrame* CMainFrame::GetCalFrame() const {
  return m_pSplitter ? dynamic_cast<CCalFrame*>(m_pSplitter->GetPaneObject(1, 0)) : nullptr;
}

void CMainFrame::OnViewCalendarAndList() {
  if (!m_pSplitter) return;
  int list = 0, calendar = 0, minimum = 0;
  m_pSplitter->GetRowInfo(0, &list, &minimum);
  m_pSplitter->GetRowInfo(1, &calendar, &minimum);
  if (list > 0 && calendar > 0) {
    g_Settings.LastListSize = list;
    return;
  }
  RECT rc;
  ::GetClientRect(m_pSplitter->GetSafeHwnd(), &rc);
  const int h = rc.bottom;
  if (h - kListMinimum < g_Settings.LastListSize) g_Settings.LastListSize = h / 2;
  m_pSplitter->SetRowInfo(0, g_Settings.LastListSize, kListMinimum);
  m_pSplitter->RecalcLayout();
  m_pSplitter->UpdateLayoutMode();
}

void CMainFrame::OnViewListOnly() {
  if (!m_pSplitter) return;
  int list = 0, calendar = 0, minimum = 0;
  m_pSplitter->GetRowInfo(0, &list, &minimum);
  m_pSplitter->GetRowInfo(1, &calendar, &minimum);
  if (calendar == 0) return;
  if (list > 0) g_Settings.LastListSize = list;
  // The list takes both rows: nothing is left for the calendar, whose row
  // collapses to its bar.
  m_pSplitter->SetRowInfo(0, list + calendar, kListMinimum);
  m_pSplitter->RecalcLayout();
  m_pSplitter->UpdateLayoutMode();
}

void CMainFrame::OnViewCalendarOnly() {
  if (!m_pSplitter) return;
  int list = 0, calendar = 0, minimum = 0;
  m_pSplitter->GetRowInfo(0, &list, &minimum);
  m_pSplitter->GetRowInfo(1, &calendar, &minimum);
  if (list == 0) return;
  if (calendar > 0) g_Settings.LastListSize = list;
  if (CShellDocument* doc = GetShellDocument()) doc->UpdateAllViews(nullptr, kHintSelectionCleared);
  m_pSplitter->SetRowInfo(0, 0, kListMinimum);
  m_pSplitter->RecalcLayout();
  m_pSplitter->UpdateLayoutMode();
}

void CMainFrame::OnViewResize() {
  if (m_pSplitter) m_pSplitter->DoKeyboardSplit();
}

void CMainFrame::OnUpdateCalendarAndList(framework::CCmdUI* ui) { ui->SetCheck(GetLayoutMode() == 0); }
void CMainFrame::OnUpdateListOnly(framework::CCmdUI* ui) { ui->SetCheck(GetLayoutMode() == 1); }
void CMainFrame::OnUpdateCalendarOnly(framework::CCmdUI* ui) { ui->SetCheck(GetLayoutMode() == 2); }
void CMainFrame::OnUpdateToday(framework::CCmdUI* ui) { ui->Enable(GetLayoutMode() != 1); }

LRESULT CMainFrame::OnMonthPicture(WPARAM wParam, LPARAM lParam) {
  const int month = LOWORD(wParam);
  const int year = HIWORD(wParam);
  // Years outside the calendar's range would be read as two-digit years.
  if (month < 1 || month > 12 || year < calgeom::kFirstYear || year > calgeom::kLastYear) return 0;
  const CDateTime first(1, month, year);
  if (first.GetJulianDay() == 0) return 0;
  CCalPage page;
  if (CShellDocument* doc = GetShellDocument()) page.Build(*doc, first, CCalPage::kMonth);
  framework::CClientDC screen(nullptr);
  framework::CBitmap bitmap;
  if (!bitmap.CreateCompatibleBitmap(screen, m_nPictureWidth, m_nPictureHeight)) return 0;
  {
    framework::CMemoryDC mem(screen);
    mem.Select(bitmap);
    calpaint::PaintMonth(page, mem, RECT{0, 0, m_nPictureWidth, m_nPictureHeight}, calpaint::kPictureScheme);
  }
  if (!::OpenClipboard(GetSafeHwnd())) return 0;
  bool placed = ::EmptyClipboard() && ::SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  ::CloseClipboard();
  if (!placed) return 0;
  bitmap.Detach();  // the clipboard owns it now
  if (lParam) ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_MONTHPICTURE, 0, 0);
  return 1;
}
