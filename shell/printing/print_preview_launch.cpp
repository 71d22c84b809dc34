#include "shell/printing/print_preview_launch.h"

#include "framework/application.h"
#include "framework/dialogs/message_box.h"
#include "framework/frame_window.h"
#include "framework/printing/app_printer.h"
#include "res/resource.h"

bool OpenPrintPreview(std::shared_ptr<framework::CPrintClient> job, std::unique_ptr<framework::CPreviewView> view) {
  framework::CApplication* app = framework::TheApp();
  auto* frame = app ? dynamic_cast<framework::CFrameWindow*>(framework::CWindow::FromHandle(app->GetMainWindow()))
                    : nullptr;
  if (frame && framework::DoPrintPreview(IDD_PREVIEW_BAR, *frame, std::move(job), std::move(view))) return true;
  // Without a printer the preparation has said so already; more boxes
  // after it would only bury that one clear message.
  if (!framework::ThePrinter().HasPrinter()) return false;
  framework::MessageBox("Print Preview Error", MB_OK, "Print Debug");
  framework::MessageBox(framework::kCommandFailedMessage, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void ReopenPrintCommand() {
  framework::CApplication* app = framework::TheApp();
  if (app && app->GetMainWindow()) ::PostMessageA(app->GetMainWindow(), WM_COMMAND, MAKEWPARAM(ID_CALENDAR_PRINT, 0), 0);
}
