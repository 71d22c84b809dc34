// CPrintEvent: prints one occurrence on the application's printer without a
// print dialog: its labelled fields on page 1, then its notes over as many
// pages as they need (continuations start at the top margin, no labels).
// The window itself (dialog 374) only says "Printing Event..." meanwhile.
//
// Fonts come from PrintListHeadingFont (labels) and PrintListItemFont
// (values, notes); margins and orientation are the list's. Texts are drawn
// without prefix processing, so "&" prints as itself.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/dialogs/dialog.h"
#include "framework/gdi/gdi.h"
#include "framework/printing/print_client.h"
#include "model/events/occurrence_ref.h"
#include "shell/core/print_layout.h"

class CPrintEvent : public framework::CDialog, public framework::CPrintClient {
 public:
  explicit CPrintEvent(HWND parent);

  void SetOccurrence(const COccurrenceRef& occurrence) { occurrence_ = occurrence; }
  // Shows the window, prints, hides it. False when nothing was printed:
  // no printer (after the library's message), a failed document start or
  // page end (the document is aborted).
  bool PrintLoop();
  // Pages the last job printed.
  UINT PagesPrinted() const { return pagesPrinted_; }

  bool OnPreparePrinting(framework::CPrintInfo& info) override;
  void OnBeginPrinting(HDC dc, framework::CPrintInfo& info) override;
  void OnPrepareDC(HDC dc, framework::CPrintInfo& info) override;
  void OnPrint(HDC dc, framework::CPrintInfo& info) override;
  void OnEndPrinting(HDC dc, framework::CPrintInfo& info) override;

 private:
  void PrintFields(HDC dc);
  void PrintNotes(HDC dc, size_t first, size_t count, int top);

  HWND parentHwnd_;
  COccurrenceRef occurrence_;
  printcore::EventFields fields_;
  std::string notes_;
  framework::CFont labelFont_, valueFont_;
  printcore::PageRect rect_;
  int labelHeight_ = 0, valueHeight_ = 0;
  printcore::EventPage page_;
  std::vector<std::string> noteLines_;
  size_t firstPageLines_ = 0, linesPerPage_ = 0;
  UINT pagesPrinted_ = 0;
};
