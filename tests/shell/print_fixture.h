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

}  // namespace printtest
