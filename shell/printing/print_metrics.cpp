#include "shell/printing/print_metrics.h"

#include <cstring>

#include "model/settings/program_settings.h"

printcore::PrinterMetrics ReadPrinterMetrics(HDC dc) {
  printcore::PrinterMetrics m;
  m.logPixelsX = ::GetDeviceCaps(dc, LOGPIXELSX);
  m.logPixelsY = ::GetDeviceCaps(dc, LOGPIXELSY);
  m.offsetX = ::GetDeviceCaps(dc, PHYSICALOFFSETX);
  m.offsetY = ::GetDeviceCaps(dc, PHYSICALOFFSETY);
  m.physicalWidth = ::GetDeviceCaps(dc, PHYSICALWIDTH);
  m.physicalHeight = ::GetDeviceCaps(dc, PHYSICALHEIGHT);
  m.horzRes = ::GetDeviceCaps(dc, HORZRES);
  m.vertRes = ::GetDeviceCaps(dc, VERTRES);
  return m;
}

printcore::PageRect ListPrintableRect(HDC dc) {
  const CProgramSettings& s = g_Settings;
  printcore::Margins m{s.list_margin_left, s.list_margin_top, s.list_margin_right, s.list_margin_bottom};
  return printcore::PrintableRect(ReadPrinterMetrics(dc), m, s.Metric != 0);
}

printcore::PageRect CalendarPrintableRect(HDC dc) {
  const CProgramSettings& s = g_Settings;
  printcore::Margins m{s.cal_margin_left, s.cal_margin_top, s.cal_margin_right, s.cal_margin_bottom};
  return printcore::PrintableRect(ReadPrinterMetrics(dc), m, s.Metric != 0);
}

bool CreatePrintFont(framework::CFont& font, const LogFont& settingsFont, HDC dc) {
  LOGFONTA lf{};
  std::memcpy(&lf, &settingsFont, sizeof lf);
  return font.CreatePointFontIndirect(lf, dc);
}

int LineHeight(HDC dc, HFONT font) {
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32A(dc, "Tgyj", 4, &size);
  ::SelectObject(dc, old);
  return static_cast<int>(size.cy * 1.2);
}
