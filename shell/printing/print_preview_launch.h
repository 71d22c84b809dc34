// Opening a print preview from a view: always in the main window, under
// the preview tool bar (dialog 186). When it ends, the main window's Print
// command runs again, so "Print" reopens (the frame skips it when the
// preview's own print button closed the preview).
#pragma once

#include <memory>

#include "framework/printing/print_client.h"
#include "framework/printing/print_preview.h"

// False when the preview could not open, after "Print Preview Error"
// ("Print Debug") and the library's command-failed message; without a
// printer only the no-printer message the preparation showed.
bool OpenPrintPreview(std::shared_ptr<framework::CPrintClient> job, std::unique_ptr<framework::CPreviewView> view);
// Posts the main window's Print command (after a preview ended).
void ReopenPrintCommand();
