// The main frame's printing: the "Print" dialog, kept for the program's
// life, what its result prints or previews, the preview's print button and
// the print set-up dialog.
#include "framework/printing/app_printer.h"
#include "framework/printing/print_preview.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/calendar/cal_frame.h"
#include "shell/calendar/cal_view.h"
#include "shell/core/print_settings_rules.h"
#include "shell/event_list/grid_view.h"
#include "shell/frame/main_frame.h"
#include "shell/printing/print_settings_dlg.h"
#include "shell/app/shell_document.h"

CGridView* CMainFrame::GetListView() const {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return nullptr;
  for (framework::CView* view : doc->GetViews())
    if (auto* list = dynamic_cast<CGridView*>(view)) return list;
  return nullptr;
}

void CMainFrame::OnCalendarPrint() {
  // A preview closed by its own print button: that button prints, the
  // dialog stays shut this once.
  if (!m_bPreviewPrint) {
    CPrintSettingsDlg::listAvailable = GetListView() != nullptr;
    CPrintSettingsDlg::previewAvailable = true;
    if (!m_pPrintSettings) m_pPrintSettings = std::make_shared<CPrintSettingsDlg>(GetSafeHwnd());
    const int result = m_pPrintSettings->DoModal();
    CarryOutPrint(result);
  }
  m_bPreviewPrint = false;
  g_Settings.SaveSettings();
}

void CMainFrame::CarryOutPrint(int result) {
  using namespace printcore;
  switch (result) {
    case kPrintMonth: PrintCalendar(false, ID_FILE_PRINT); break;
    case kPreviewMonth: PrintCalendar(false, ID_FILE_PRINT_PREVIEW); break;
    case kPrintWeek: PrintCalendar(true, ID_FILE_PRINT); break;
    case kPreviewWeek: PrintCalendar(true, ID_FILE_PRINT_PREVIEW); break;
    case kPrintList: PrintList(ID_FILE_PRINT); break;
    case kPreviewList: PrintList(ID_FILE_PRINT_PREVIEW); break;
    default: break;  // Close, Cancel or no dialog: nothing prints
  }
}

void CMainFrame::PrintCalendar(bool week, UINT command) {
  CCalFrame* frame = GetCalFrame();
  CCalView* view = frame ? frame->GetCalView() : nullptr;
  if (!view || !view->GetSafeHwnd()) return;
  view->SetPrintWeek(week);
  view->SendMsg(WM_COMMAND, MAKEWPARAM(command, 0));
}

void CMainFrame::PrintList(UINT command) {
  if (CGridView* list = GetListView(); list && list->GetSafeHwnd()) list->SendMsg(WM_COMMAND, MAKEWPARAM(command, 0));
}

void CMainFrame::OnPreviewPrint() {
  m_bPreviewPrint = true;
  SendMsg(WM_COMMAND, MAKEWPARAM(ID_PREVIEW_CLOSE, 0));
  const int type = m_pPrintSettings ? m_pPrintSettings->GetReportType() : printcore::kMonthCalendar;
  if (type == printcore::kMonthCalendar)
    PrintCalendar(false, ID_FILE_PRINT);
  else if (type == printcore::kWeekCalendar)
    PrintCalendar(true, ID_FILE_PRINT);
  else
    PrintList(ID_FILE_PRINT);
}

void CMainFrame::OnFilePrintSetup() {
  if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp()))
    app->GetPrintSetupDialog().DoModal(GetSafeHwnd());
}
