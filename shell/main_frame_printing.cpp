// The main frame's printing: the "Print" dialog, kept for the program's
// life, and what its result prints.
#include "framework/printing/app_printer.h"
#include "model/program_settings.h"
#include "shell/cal_frame.h"
#include "shell/cal_print_job.h"
#include "shell/cal_view.h"
#include "shell/core/print_range_list.h"
#include "shell/core/print_settings_rules.h"
#include "shell/list_print_job.h"
#include "shell/main_frame.h"
#include "shell/month_grid_ctrl.h"
#include "shell/print_settings_dlg.h"
#include "shell/shell_document.h"

std::vector<COccurrenceRef> (*CMainFrame::currentListRows)() = nullptr;

void CMainFrame::OnCalendarPrint() {
  CPrintSettingsDlg::listAvailable = currentListRows != nullptr;
  if (!m_pPrintSettings) m_pPrintSettings = std::make_shared<CPrintSettingsDlg>(GetSafeHwnd());
  int result = m_pPrintSettings->DoModal();
  if (result == IDOK || result == IDCANCEL || result < 0) return;
  CarryOutPrint(result);
  g_Settings.SaveSettings();
}

void CMainFrame::CarryOutPrint(int result) {
  using namespace printcore;
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  if (result == kPrintMonth || result == kPrintWeek) {
    const bool week = result == kPrintWeek;
    CDateTime start = CDateTime::Today();
    if (CCalFrame* frame = GetCalFrame()) {
      if (CCalView* view = frame->GetCalView()) {
        CMonthGridCtrl& grid = view->GetGrid();
        start = week ? grid.GetWeekStart() : CDateTime(1, grid.GetMonth(), grid.GetYear());
      }
    }
    CCalPrintJob job(*doc, start, week ? CCalPage::kWeek : CCalPage::kMonth, GetSafeHwnd());
    job.Print();
  }
  if (result == kPrintList) {
    std::vector<COccurrenceRef> entries;
    if (g_Settings.PrintDateRange) {
      entries = BuildRangeList(
          doc->GetPageEvents(),
          [](const std::string& type, void* context) { return static_cast<CShellDocument*>(context)->IsTypeHidden(type) != 0; },
          doc, g_Settings.PrintFromDate, g_Settings.PrintToDate, g_Settings.PrintAcknowledgedList != 0);
    } else if (currentListRows) {
      entries = currentListRows();
    } else {
      return;
    }
    CListPrintJob job(std::move(entries), GetSafeHwnd());
    job.Print();
  }
  // Previews arrive with the print preview; the button stays grey meanwhile.
}
