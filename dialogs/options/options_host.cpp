#include "dialogs/options/options_host.h"

#include <mmsystem.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/options/screen_font_pick.h"
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

bool COptionsHost::PickFont(HWND owner, LOGFONTA* font, int* pointTenths) {
  return PickScreenFont(owner, font, pointTenths, nullptr);
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
