#include "shell/printing/cal_print_job.h"

#include "framework/printing/app_printer.h"
#include "framework/printing/print_job.h"
#include "framework/printing/print_preview.h"
#include "model/settings/program_settings.h"
#include "shell/calendar/cal_page_painter.h"
#include "shell/printing/print_metrics.h"

CCalPrintJob::CCalPrintJob(const ICalPageSource& source, const CDateTime& start, short mode, HWND owner)
    : source_(source), start_(start), mode_(mode), owner_(owner) {}

bool CCalPrintJob::Print() {
  framework::CPrintInfo info;
  return framework::RunPrintJob(*this, info, owner_);
}

bool CCalPrintJob::OnPreparePrinting(framework::CPrintInfo& info) {
  info.direct = direct_;
  info.SetMaxPage(1);
  if (framework::ThePrinter().HasPrinter()) framework::ThePrinter().SetOrientation(g_Settings.cal_orientation);
  return DoPreparePrinting(info, owner_);
}

void CCalPrintJob::OnBeginPrinting(HDC dc, framework::CPrintInfo& /*info*/) {
  CDateTime start = start_;
  if (mode_ == CCalPage::kMonth)
    start = CDateTime(1, start_.GetMonth(CDateTime::kAsLocal), start_.GetYear(CDateTime::kAsLocal));
  page_.Build(source_, start, mode_);
  rect_ = CalendarPrintableRect(dc);
}

void CCalPrintJob::OnPrepareDC(HDC dc, framework::CPrintInfo& info) {
  framework::CPrintClient::OnPrepareDC(dc, info);
  ::SetMapMode(dc, MM_TEXT);
  ::SetViewportOrgEx(dc, rect_.left, rect_.top, nullptr);
}

void CCalPrintJob::OnPrint(HDC dc, framework::CPrintInfo& /*info*/) {
  PaintPage(dc, SIZE{rect_.Width(), rect_.Height()});
}

void CCalPrintJob::PaintPage(HDC dc, SIZE size) const {
  RECT r{0, 0, size.cx, size.cy};
  if (mode_ == CCalPage::kWeek)
    calpaint::PaintWeek(page_, dc, r, calpaint::kPrintScheme);
  else
    calpaint::PaintMonth(page_, dc, r, calpaint::kPrintScheme);
}

void CCalPrintJob::OnEndPrintPreview(HDC dc, framework::CPrintInfo& info, framework::CPreviewView& view) {
  framework::CPrintClient::OnEndPrintPreview(dc, info, view);
  if (afterPreview_) afterPreview_();
}
