#include "dialogs/options/screen_font_pick.h"

#include <commdlg.h>

#include <cstring>
#include <string>

namespace options {

namespace {
// The face the system draws `font` with: a stored face it does not have
// (a substituted one) is drawn with another, which is what its font
// dialog lists.
std::string DrawnFace(const LOGFONTA& font) {
  HFONT made = ::CreateFontIndirectA(&font);
  if (!made) return font.lfFaceName;
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, made);
  char face[LF_FACESIZE] = "";
  const int n = ::GetTextFaceA(dc, sizeof face, face);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  ::DeleteObject(made);
  return n > 0 ? std::string(face) : std::string(font.lfFaceName);
}
}  // namespace

bool PickScreenFont(HWND owner, LOGFONTA* font, int* pointTenths, COLORREF* color) {
  // The dialog opens on the face, style and size it is given only when it
  // lists that face: given one the system substitutes, it would open on
  // its first face and size, and a change of size alone would change the
  // face. It is given the face the font is drawn with; when the user keeps
  // that face, the stored name stays as it was.
  const std::string stored = font->lfFaceName, drawn = DrawnFace(*font);
  LOGFONTA shown = *font;
  std::strncpy(shown.lfFaceName, drawn.c_str(), LF_FACESIZE - 1);
  shown.lfFaceName[LF_FACESIZE - 1] = '\0';
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner;
  cf.lpLogFont = &shown;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | (color ? CF_EFFECTS : 0);
  cf.rgbColors = color ? *color : 0;
  if (!::ChooseFontA(&cf)) return false;
  if (drawn == shown.lfFaceName) std::strncpy(shown.lfFaceName, stored.c_str(), LF_FACESIZE - 1);
  shown.lfFaceName[LF_FACESIZE - 1] = '\0';
  *font = shown;
  *pointTenths = cf.iPointSize;
  if (color) *color = cf.rgbColors;
  return true;
}

}  // namespace options
