#include "framework/printing/app_printer.h"

#include <commdlg.h>

#include <cstring>

namespace framework {

const char kNoPrinterMessage[] =
    "No printers are installed. To install a printer, open the Printers folder and add one.";
const char kPrintFailedMessage[] = "The document could not be printed.";

CAppPrinter::~CAppPrinter() { Reset(); }

void CAppPrinter::Reset() {
  if (devMode_) ::GlobalFree(devMode_);
  if (devNames_) ::GlobalFree(devNames_);
  devMode_ = devNames_ = nullptr;
}

bool CAppPrinter::EnsureDefaults() {
  if (ThePrintSeams().noPrinter) return false;
  if (devNames_) return true;
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT;
  if (!::PrintDlgA(&pd)) return false;
  // Nothing is kept yet: the default printer's handles become ours.
  devMode_ = pd.hDevMode;
  devNames_ = pd.hDevNames;
  return devNames_ != nullptr;
}

void CAppPrinter::Select(HGLOBAL devMode, HGLOBAL devNames) {
  if (devMode && devMode != devMode_) {
    if (devMode_) ::GlobalFree(devMode_);
    devMode_ = devMode;
  }
  if (devNames && devNames != devNames_) {
    if (devNames_) ::GlobalFree(devNames_);
    devNames_ = devNames;
  }
}

void CAppPrinter::Discard(HGLOBAL devMode, HGLOBAL devNames) {
  if (devMode) ::GlobalFree(devMode);
  if (devNames) ::GlobalFree(devNames);
}

HGLOBAL CAppPrinter::Copy(HGLOBAL handle) {
  if (!handle) return nullptr;
  const SIZE_T size = ::GlobalSize(handle);
  HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  void* from = ::GlobalLock(handle);
  void* to = ::GlobalLock(copy);
  if (from && to) std::memcpy(to, from, size);
  if (to) ::GlobalUnlock(copy);
  if (from) ::GlobalUnlock(handle);
  if (!from || !to) {
    ::GlobalFree(copy);
    return nullptr;
  }
  return copy;
}

std::string CAppPrinter::Name() {
  if (!EnsureDefaults()) return std::string();
  auto* names = static_cast<DEVNAMES*>(::GlobalLock(devNames_));
  if (!names) return std::string();
  std::string name = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
  ::GlobalUnlock(devNames_);
  return name;
}

bool CAppPrinter::SetOrientation(int orientation) {
  if (!EnsureDefaults() || !devMode_) return false;
  auto* mode = static_cast<DEVMODEA*>(::GlobalLock(devMode_));
  if (!mode) return false;
  mode->dmOrientation = static_cast<short>(orientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
  mode->dmFields |= DM_ORIENTATION;
  ::GlobalUnlock(devMode_);
  return true;
}

int CAppPrinter::Orientation() {
  if (!EnsureDefaults() || !devMode_) return 0;
  auto* mode = static_cast<DEVMODEA*>(::GlobalLock(devMode_));
  if (!mode) return 0;
  int orientation = mode->dmOrientation;
  ::GlobalUnlock(devMode_);
  return orientation;
}

HDC CAppPrinter::CreateDC() {
  if (!EnsureDefaults()) return nullptr;
  auto* names = static_cast<DEVNAMES*>(::GlobalLock(devNames_));
  if (!names) return nullptr;
  const char* base = reinterpret_cast<const char*>(names);
  std::string driver = base + names->wDriverOffset;
  std::string device = base + names->wDeviceOffset;
  std::string output = base + names->wOutputOffset;
  ::GlobalUnlock(devNames_);
  auto* mode = devMode_ ? static_cast<DEVMODEA*>(::GlobalLock(devMode_)) : nullptr;
  HDC dc = ::CreateDCA(driver.empty() ? nullptr : driver.c_str(), device.c_str(),
                       output.empty() ? nullptr : output.c_str(), mode);
  if (mode) ::GlobalUnlock(devMode_);
  return dc;
}

CAppPrinter& ThePrinter() {
  static CAppPrinter printer;
  return printer;
}

PrintSeams& ThePrintSeams() {
  static PrintSeams seams;
  return seams;
}

}  // namespace framework
