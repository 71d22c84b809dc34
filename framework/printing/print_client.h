// What a print job asks of the window that prints: the steps of the print
// command loop (print_job.h), each with a default that suits a one-page
// picture. Views and the one-event print window implement it.
#pragma once

#include <windows.h>

#include "framework/printing/print_info.h"

namespace framework {

class CPreviewView;

class CPrintClient {
 public:
  virtual ~CPrintClient() = default;

  // Before the printer DC exists: set the page range, run the print dialog
  // (DoPreparePrinting). False ends the job quietly.
  virtual bool OnPreparePrinting(CPrintInfo& info);
  // Once the DC exists: fonts, page count.
  virtual void OnBeginPrinting(HDC /*dc*/, CPrintInfo& /*info*/) {}
  // Before each page; with an unknown page count the default prints page 1
  // only.
  virtual void OnPrepareDC(HDC dc, CPrintInfo& info);
  // Draws info.currentPage.
  virtual void OnPrint(HDC /*dc*/, CPrintInfo& /*info*/) {}
  // Always after OnBeginPrinting, whatever became of the job.
  virtual void OnEndPrinting(HDC /*dc*/, CPrintInfo& /*info*/) {}
  // When a preview closes (after OnEndPrinting); the default puts the
  // frame back as it was (view.RestoreFrame()).
  virtual void OnEndPrintPreview(HDC dc, CPrintInfo& info, CPreviewView& view);

 protected:
  // The print dialog unless info.direct or info.preview; afterwards the
  // application's printer holds the choice. False when cancelled, or when
  // there is no printer (after the no-printer message).
  bool DoPreparePrinting(CPrintInfo& info, HWND owner);
};

}  // namespace framework
