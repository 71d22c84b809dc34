#include "framework/printing/print_job.h"

#include <commdlg.h>

#include "framework/dialogs/message_box.h"
#include "framework/printing/app_printer.h"

namespace framework {

bool CPrintClient::OnPreparePrinting(CPrintInfo& info) { return DoPreparePrinting(info, nullptr); }

void CPrintClient::OnPrepareDC(HDC /*dc*/, CPrintInfo& info) {
  if (info.maxPage == CPrintInfo::kUnknownPageCount) info.continuePrinting = info.currentPage == 1;
}

bool CPrintClient::DoPreparePrinting(CPrintInfo& info, HWND owner) {
  CAppPrinter& printer = ThePrinter();
  if (!printer.HasPrinter()) {
    MessageBox(kNoPrinterMessage, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (info.direct || info.preview) return true;
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  pd.hDevMode = printer.CopyDevMode();
  pd.hDevNames = printer.CopyDevNames();
  pd.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION;
  pd.nMinPage = static_cast<WORD>(info.minPage);
  pd.nMaxPage = static_cast<WORD>(info.maxPage);
  pd.nFromPage = pd.nMinPage;
  pd.nToPage = pd.nMaxPage;
  pd.nCopies = 1;
  if (info.maxPage == CPrintInfo::kUnknownPageCount) pd.Flags |= PD_NOPAGENUMS;
  if (!::PrintDlgA(&pd)) {
    // The dialog may have changed its copies even so: they go.
    CAppPrinter::Discard(pd.hDevMode, pd.hDevNames);
    return false;
  }
  printer.Select(pd.hDevMode, pd.hDevNames);
  if (pd.Flags & PD_PAGENUMS) {
    info.minPage = pd.nFromPage;
    info.maxPage = pd.nToPage;
  }
  return true;
}

bool RunPrintJob(CPrintClient& client, CPrintInfo& info, HWND owner) {
  (void)owner;
  if (!client.OnPreparePrinting(info)) return false;
  HDC dc = ThePrinter().CreateDC();
  if (!dc) {
    MessageBox(kNoPrinterMessage, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  client.OnBeginPrinting(dc, info);

  const PrintSeams& seams = ThePrintSeams();
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = info.docName.c_str();
  if (!seams.outputFile.empty()) doc.lpszOutput = seams.outputFile.c_str();
  bool ok = ::StartDocA(dc, &doc) > 0;
  if (!ok) {
    MessageBox(kPrintFailedMessage, MB_OK | MB_ICONEXCLAMATION);
  } else {
    for (info.currentPage = info.minPage; info.currentPage <= info.maxPage; ++info.currentPage) {
      info.continuePrinting = true;
      client.OnPrepareDC(dc, info);
      if (!info.continuePrinting) break;
      info.drawRect = RECT{0, 0, ::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES)};
      if (::StartPage(dc) <= 0) {
        ok = false;
        break;
      }
      client.OnPrint(dc, info);
      int ended = ::EndPage(dc);
      if (seams.failEndPageOn == info.currentPage) ended = -1;
      if (ended <= 0) {
        ok = false;
        break;
      }
    }
    if (ok)
      ok = ::EndDoc(dc) > 0;
    else
      ::AbortDoc(dc);
  }
  client.OnEndPrinting(dc, info);
  ::DeleteDC(dc);
  return ok;
}

}  // namespace framework
