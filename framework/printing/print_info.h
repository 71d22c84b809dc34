// The record of one print job or preview: how it was started, the pages it
// covers, the page being printed and whether the job goes on.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

struct CPrintInfo {
  static constexpr UINT kUnknownPageCount = 0xFFFF;

  bool direct = false;   // no print dialog (the default printer as it is)
  bool preview = false;  // pages go to the preview, not to paper
  UINT minPage = 1;
  // The last page; kUnknownPageCount until the client knows. With an unknown
  // count the client's OnPrepareDC clears continuePrinting when done.
  UINT maxPage = kUnknownPageCount;
  UINT currentPage = 1;
  bool continuePrinting = true;
  RECT drawRect{};  // the printable page in device pixels, set per page
  std::string docName = "Almacora";

  void SetMaxPage(UINT last) { maxPage = last; }
};

}  // namespace framework
