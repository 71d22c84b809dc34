// CGridView: printing and previewing the list as shown or the date range.
#include <memory>

#include "framework/application.h"
#include "framework/printing/print_preview.h"
#include "model/settings/program_settings.h"
#include "shell/core/print_range_list.h"
#include "shell/event_list/grid_view.h"
#include "shell/printing/list_print_job.h"
#include "shell/printing/print_preview_launch.h"
#include "shell/app/shell_document.h"

std::vector<COccurrenceRef> CGridView::PrintEntries() const {
  const CProgramSettings& s = g_Settings;
  if (!s.PrintDateRange) return rows_;
  CShellDocument* doc = ShellDoc();
  if (!doc) return {};
  return printcore::BuildRangeList(
      doc->GetPageEvents(),
      [](const std::string& type, void* context) { return static_cast<CShellDocument*>(context)->IsTypeHidden(type) != 0; },
      doc, s.PrintFromDate, s.PrintToDate, s.PrintAcknowledgedList != 0);
}

void CGridView::OnFilePrint() {
  previewFromDialog_ = false;
  framework::CApplication* app = framework::TheApp();
  CListPrintJob job(PrintEntries(), app ? app->GetMainWindow() : nullptr);
  job.Print();
}

void CGridView::OnFilePrintPreview() {
  previewFromDialog_ = true;
  auto job = std::make_shared<CListPrintJob>(PrintEntries(), nullptr);
  job->SetAfterPreview([this] {
    if (previewFromDialog_) ReopenPrintCommand();
  });
  OpenPrintPreview(job, std::make_unique<framework::CPreviewView>());
}
