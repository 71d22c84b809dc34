// Print jobs of the shell tests: each job goes to a PostScript file in the
// artifacts folder (the library's output seam) and is read back with the
// PostScript renderer, started as a Unix program from under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace printtest {

// Sends every following job to artifacts/<name>.ps (deleted first) and
// returns that path.
std::string PrintTo(const std::string& name);
// Stops sending jobs to a file.
void StopPrintingToFile();
// The number of pages of a PostScript job ("%%Page:" marks).
int Pages(const std::string& psPath);
// The job's text as the renderer's text device reads it.
std::string Text(const std::string& psPath);

// One page rendered at 100 dpi; also kept as artifacts/<pngName>.png.
struct Page {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // True when some pixel of the rectangle is darker than light grey.
  bool HasInk(int left, int top, int right, int bottom) const;
};
Page Render(const std::string& psPath, int page, const std::string& pngName);

// Chooses the report type (its printcore index) in the "Print" dialog as a
// click on the list does.
void SelectType(HWND dlg, int type);

// What the calendar page tests look for on paper: the lines' and headings'
// band and the one event type's ink.
constexpr COLORREF kBand = 0xA00000;
constexpr COLORREF kTypeColour = RGB(0xFF, 0, 0);
// Sets g_Settings for reading calendar pages back: lines and headings in
// kBand, 2 units wide; the one type "Birthday" printed in kTypeColour;
// weeks from Sunday; metric units and 1-inch margins.
void BandedCalendarSettings();

// True when each channel is within 2 of the other colour's (what rendering
// at another resolution may move).
bool Near(COLORREF a, COLORREF b);
// The bounding box of the pixels near `colour`; right is -1 when none is.
RECT InkOf(const Page& page, COLORREF colour);

}  // namespace printtest
