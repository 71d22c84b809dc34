// CCalPrintJob: one month or week calendar page on paper, through the
// library's print loop: the page model built for the range at the start of
// the job, drawn by the page painters into the calendar margins, with the
// calendar orientation applied to the application's printer first.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/printing/print_client.h"
#include "model/dates/date_time.h"
#include "shell/core/cal_page.h"
#include "shell/core/print_layout.h"

class CCalPrintJob : public framework::CPrintClient {
 public:
  // `mode` CCalPage::kMonth (start: any day of the month) or kWeek (start:
  // the first day of the week shown).
  CCalPrintJob(const ICalPageSource& source, const CDateTime& start, short mode, HWND owner);
  // Without the system's print dialog (the default printer as it is).
  void SetDirect(bool direct) { direct_ = direct; }
  // Runs the job; false when nothing was printed (cancelled, no printer,
  // failure).
  bool Print();
  // Run when a preview of this job has closed (after the frame is back).
  void SetAfterPreview(std::function<void()> after) { afterPreview_ = std::move(after); }

  bool OnPreparePrinting(framework::CPrintInfo& info) override;
  void OnBeginPrinting(HDC dc, framework::CPrintInfo& info) override;
  void OnPrepareDC(HDC dc, framework::CPrintInfo& info) override;
  void OnPrint(HDC dc, framework::CPrintInfo& info) override;
  void OnEndPrintPreview(HDC dc, framework::CPrintInfo& info, framework::CPreviewView& view) override;

  // Draws the page at the device origin into `size` (printing and preview).
  void PaintPage(HDC dc, SIZE size) const;

 private:
  std::function<void()> afterPreview_;
  const ICalPageSource& source_;
  CDateTime start_;
  short mode_;
  HWND owner_;
  bool direct_ = false;
  CCalPage page_;
  printcore::PageRect rect_;
};
