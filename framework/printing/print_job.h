// The print command loop: prepare, DC, begin, the pages, end.
#pragma once

#include <windows.h>

#include "framework/printing/print_client.h"

namespace framework {

// Runs one print job for `client`:
//  1. OnPreparePrinting (false: return false, nothing else happens);
//  2. the printer DC from the application's printer (none: the no-printer
//     message, false);
//  3. OnBeginPrinting; StartDoc (failure: the print-failed message, stop);
//  4. for each page from minPage while continuePrinting and up to maxPage:
//     OnPrepareDC, StartPage, OnPrint, EndPage (<= 0: AbortDoc, stop);
//  5. EndDoc; then OnEndPrinting in every case once OnBeginPrinting ran.
// True when every page was printed and the document ended.
bool RunPrintJob(CPrintClient& client, CPrintInfo& info, HWND owner);

}  // namespace framework
