// The application's printer: the device mode (DEVMODE) and device names
// (DEVNAMES) every job starts from, taken from the default printer on first
// use and changed by the print and page set-up dialogs or by the program
// (orientation). One per process, reached through ThePrinter().
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// The library's message when a job finds no printer.
extern const char kNoPrinterMessage[];
// The message when the printer refuses to start a document.
extern const char kPrintFailedMessage[];

class CAppPrinter {
 public:
  CAppPrinter() = default;
  ~CAppPrinter();
  CAppPrinter(const CAppPrinter&) = delete;
  CAppPrinter& operator=(const CAppPrinter&) = delete;

  // Loads the default printer's settings unless some are kept. False when
  // the system has no printer (or the test seam says so).
  bool EnsureDefaults();
  bool HasPrinter() { return EnsureDefaults(); }
  // The kept handles (still owned here), null without a printer; for the
  // hDevMode/hDevNames of the system's print and page set-up dialogs.
  HGLOBAL DevMode() { EnsureDefaults(); return devMode_; }
  HGLOBAL DevNames() { EnsureDefaults(); return devNames_; }
  // Copies of the kept handles for a print or page set-up dialog, which
  // may change (or reallocate) them even when it is cancelled: after OK the
  // dialog's handles go to Select, after Cancel to Discard. Null without a
  // printer.
  HGLOBAL CopyDevMode() { return Copy(DevMode()); }
  HGLOBAL CopyDevNames() { return Copy(DevNames()); }
  // Takes over the handles a dialog returned on OK, freeing the kept ones
  // they replace; either may be null (kept as is).
  void Select(HGLOBAL devMode, HGLOBAL devNames);
  // Frees what a cancelled dialog returned.
  static void Discard(HGLOBAL devMode, HGLOBAL devNames);
  // The printer's name, empty without a printer.
  std::string Name();
  // DMORIENT_PORTRAIT (1) or DMORIENT_LANDSCAPE (2) into the device mode
  // with its field flag; any other value counts as portrait. False without
  // a printer.
  bool SetOrientation(int orientation);
  // The kept orientation, 0 without a printer.
  int Orientation();
  // A DC of the printer with the kept device mode, owned by the caller
  // (DeleteDC); null without a printer or when the driver refuses.
  HDC CreateDC();
  // Forgets the kept settings (the next use reloads the default printer).
  void Reset();

 private:
  static HGLOBAL Copy(HGLOBAL handle);
  HGLOBAL devMode_ = nullptr;
  HGLOBAL devNames_ = nullptr;
};

CAppPrinter& ThePrinter();

// Test seams of printing: a file every document is written to
// (DOCINFO.lpszOutput), a page whose EndPage reports failure, and a
// system without printers. Empty/0/false in the program.
struct PrintSeams {
  std::string outputFile;
  UINT failEndPageOn = 0;
  bool noPrinter = false;
};
PrintSeams& ThePrintSeams();

}  // namespace framework
