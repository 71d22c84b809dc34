// CPrintDialog: the system's print dialog over the application's printer.
// The application keeps one built for print set-up (the printer, its paper
// and orientation, no page range); OK hands the chosen device mode and
// names to ThePrinter(), Cancel leaves the printer as it was.
#pragma once

#include <windows.h>

#include <commdlg.h>

namespace framework {

class CPrintDialog {
 public:
  // The flags the application's print set-up dialog is built with.
  static constexpr DWORD kSetupFlags =
      PD_ALLPAGES | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;

  CPrintDialog(bool printSetupOnly, DWORD flags) : setupOnly_(printSetupOnly), flags_(flags) {}

  DWORD GetFlags() const { return flags_; }
  // IDOK or IDCANCEL; IDCANCEL also without a printer (after the library's
  // no-printer message).
  int DoModal(HWND owner);

 private:
  bool setupOnly_;
  DWORD flags_;
};

}  // namespace framework
