#include "framework/gdi/gdi.h"

#include <cstring>

namespace framework {

int PointFontHeight(int tenths, int dpi) { return -::MulDiv(tenths, dpi, 720); }

bool CFont::CreatePointFontIndirect(const LOGFONTA& font, HDC dc) {
  HDC screen = dc ? nullptr : ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(dc ? dc : screen, LOGPIXELSY);
  if (screen) ::ReleaseDC(nullptr, screen);
  LOGFONTA lf = font;
  // lfHeight holds tenths of a point here.
  lf.lfHeight = PointFontHeight(font.lfHeight, dpi);
  Attach(::CreateFontIndirectA(&lf));
  return h_ != nullptr;
}

bool CFont::CreatePointFont(int tenths, const std::string& face, HDC dc) {
  LOGFONTA lf{};
  lf.lfHeight = tenths;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreatePointFontIndirect(lf, dc);
}

}  // namespace framework
