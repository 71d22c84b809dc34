// Writes screenshots as PNG without an image library: stored (uncompressed)
// deflate blocks keep the writer a page long.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// Writes `pixels` (row by row, top first, `width` * `height` of them) as a
// 24-bit PNG. False when the file cannot be written whole.
bool WritePng(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels);

// The artifacts folder (created on demand) joined with `name`.
std::string ArtifactPath(const std::string& name);

}  // namespace wintest
