#include "framework/printing/print_dialog.h"

#include "framework/dialogs/message_box.h"
#include "framework/printing/app_printer.h"

namespace framework {

int CPrintDialog::DoModal(HWND owner) {
  CAppPrinter& printer = ThePrinter();
  if (!printer.HasPrinter()) {
    MessageBox(kNoPrinterMessage, MB_OK | MB_ICONEXCLAMATION);
    return IDCANCEL;
  }
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  pd.hDevMode = printer.CopyDevMode();
  pd.hDevNames = printer.CopyDevNames();
  pd.Flags = flags_ | (setupOnly_ ? PD_PRINTSETUP : 0);
  pd.nCopies = 1;
  if (!::PrintDlgA(&pd)) {
    // The dialog may have changed its copies even so: they go.
    CAppPrinter::Discard(pd.hDevMode, pd.hDevNames);
    return IDCANCEL;
  }
  printer.Select(pd.hDevMode, pd.hDevNames);
  return IDOK;
}

}  // namespace framework
