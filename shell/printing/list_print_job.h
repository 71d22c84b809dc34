// CListPrintJob: the event list on paper, through the library's print
// loop: a heading row naming the shown columns (Name, Day, Date, Days Left,
// Time, Age, Type, each by its print_* flag and width), then the entries,
// as many rows per page as fit (at least one). The entries are the list's
// rows as shown or the date-range list (shell/core/print_range_list.h);
// the list view or the main frame hands them over. Margins, fonts and
// orientation are the list's settings; texts print without prefix
// processing, so "&" prints as itself.
#pragma once

#include <windows.h>

#include <functional>

#include <vector>

#include "framework/gdi/gdi.h"
#include "framework/printing/print_client.h"
#include "model/events/occurrence_ref.h"
#include "shell/core/print_layout.h"

class CListPrintJob : public framework::CPrintClient {
 public:
  CListPrintJob(std::vector<COccurrenceRef> entries, HWND owner);
  // Without the system's print dialog (the default printer as it is).
  void SetDirect(bool direct) { direct_ = direct; }
  bool Print();
  // Run when a preview of this job has closed (after the frame is back).
  void SetAfterPreview(std::function<void()> after) { afterPreview_ = std::move(after); }
  int RowsPerPage() const { return rowsPerPage_; }

  bool OnPreparePrinting(framework::CPrintInfo& info) override;
  void OnBeginPrinting(HDC dc, framework::CPrintInfo& info) override;
  void OnPrepareDC(HDC dc, framework::CPrintInfo& info) override;
  void OnPrint(HDC dc, framework::CPrintInfo& info) override;
  void OnEndPrintPreview(HDC dc, framework::CPrintInfo& info, framework::CPreviewView& view) override;
  void OnEndPrinting(HDC dc, framework::CPrintInfo& info) override;

 private:
  std::function<void()> afterPreview_;
  std::vector<COccurrenceRef> entries_;
  HWND owner_;
  bool direct_ = false;
  framework::CFont headingFont_, textFont_;
  printcore::PageRect rect_;
  std::vector<printcore::ListColumn> columns_;
  int headingHeight_ = 0, rowHeight_ = 0, rowsPerPage_ = 1;
};
