// Printer-side helpers shared by list, calendar and event printing: the
// printer's metrics, the printable rectangle of the list or calendar
// margins, fonts of the settings made for the printer, and line heights.
#pragma once

#include <windows.h>

#include "framework/gdi/gdi.h"
#include "model/settings/settings_fonts.h"
#include "shell/core/print_layout.h"

printcore::PrinterMetrics ReadPrinterMetrics(HDC dc);
// With list_margin_* or cal_margin_* and the metric flag of the settings.
printcore::PageRect ListPrintableRect(HDC dc);
printcore::PageRect CalendarPrintableRect(HDC dc);
// A point font (height in tenths of a point) sized for `dc`.
bool CreatePrintFont(framework::CFont& font, const LogFont& settingsFont, HDC dc);
// 1.2 x the height of "Tgyj" in `font`.
int LineHeight(HDC dc, HFONT font);
