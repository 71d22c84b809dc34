#include "dialogs/options/options_host.h"

#include <mmsystem.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/dialogs/common_dialogs.h"

namespace options {

namespace {
COptionsHost g_builtIn;
IOptionsHost* g_host = &g_builtIn;
}  // namespace

IOptionsHost* SetOptionsHost(IOptionsHost* host) {
  IOptionsHost* old = g_host;
  g_host = host ? host : &g_builtIn;
  return old;
}

IOptionsHost& OptionsHost() { return *g_host; }

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

bool COptionsHost::PickFont(HWND owner, LOGFONTA* font, int* pointTenths) {
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
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!::ChooseFontA(&cf)) return false;
  if (drawn == shown.lfFaceName) std::strncpy(shown.lfFaceName, stored.c_str(), LF_FACESIZE - 1);
  shown.lfFaceName[LF_FACESIZE - 1] = '\0';
  *font = shown;
  *pointTenths = cf.iPointSize;
  return true;
}

bool COptionsHost::PickColor(HWND owner, COLORREF* color) {
  framework::CColorDialog dlg(*color, CC_RGBINIT, owner);
  if (dlg.DoModal() != IDOK) return false;
  *color = dlg.GetColor();
  return true;
}

bool COptionsHost::ChooseOpenFile(HWND owner, const std::string& title, const std::string& defaultExtension,
                                  const std::string& filter, DWORD flags, std::string* path) {
  // The buffer holds the whole pre-filled name, however long; a chosen
  // path may be as long as the system allows.
  std::vector<char> name(path->size() + 1 > 32768 ? path->size() + 1 : 32768, '\0');
  path->copy(name.data(), path->size());
  std::string systemFilter = framework::FilterToSystem(filter);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = systemFilter.c_str();
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = defaultExtension.c_str();
  ofn.Flags = flags | OFN_EXPLORER;
  if (!::GetOpenFileNameA(&ofn)) return false;
  *path = name.data();
  return true;
}

bool COptionsHost::PlaySoundFile(const std::string& path) {
  return ::PlaySoundA(path.c_str(), nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME) != FALSE;
}

}  // namespace options
