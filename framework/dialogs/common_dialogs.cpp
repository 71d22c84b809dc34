#include "framework/dialogs/common_dialogs.h"

#include <commdlg.h>

#include <cstring>

#include "framework/application.h"

namespace framework {

namespace {
HWND DefaultOwner(HWND owner) {
  if (owner) return owner;
  CApplication* app = TheApp();
  return app && app->GetMainWindow() ? ::GetLastActivePopup(app->GetMainWindow()) : nullptr;
}
}  // namespace

std::string FilterToSystem(const std::string& filter) {
  std::string s = filter;
  for (char& c : s)
    if (c == '|') c = '\0';
  s.push_back('\0');
  return s;
}

CFileDialog::CFileDialog(bool open, const std::string& defaultExtension, const std::string& fileName, DWORD flags,
                         const std::string& filter, HWND owner)
    : open_(open), defaultExtension_(defaultExtension), filter_(FilterToSystem(filter)), flags_(flags),
      owner_(owner), path_(fileName) {}

int CFileDialog::DoModal() {
  char name[MAX_PATH] = "";
  std::strncpy(name, path_.c_str(), sizeof name - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = DefaultOwner(owner_);
  ofn.lpstrFilter = filter_.size() > 1 ? filter_.c_str() : nullptr;
  ofn.lpstrFile = name;
  ofn.nMaxFile = sizeof name;
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  ofn.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  ofn.Flags = flags_ | OFN_EXPLORER;
  BOOL ok = open_ ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
  if (!ok) return IDCANCEL;
  path_ = name;
  return IDOK;
}

CFontDialog::CFontDialog(const LOGFONTA* initial, DWORD flags, HWND owner)
    : hasInitial_(initial != nullptr), flags_(flags), owner_(owner) {
  if (initial) font_ = *initial;
}

int CFontDialog::DoModal() {
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = DefaultOwner(owner_);
  cf.lpLogFont = &font_;
  cf.Flags = flags_ | (hasInitial_ ? CF_INITTOLOGFONTSTRUCT : 0);
  if (!::ChooseFontA(&cf)) return IDCANCEL;
  color_ = cf.rgbColors;
  return IDOK;
}

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, HWND owner)
    : color_(initial), flags_(flags), owner_(owner) {}

int CColorDialog::DoModal() {
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = DefaultOwner(owner_);
  cc.rgbResult = color_;
  cc.lpCustColors = custom;
  cc.Flags = flags_ | CC_RGBINIT;
  if (!::ChooseColorA(&cc)) return IDCANCEL;
  color_ = cc.rgbResult;
  return IDOK;
}

UINT CFindReplaceDialog::GetFindReplaceMessage() {
  static const UINT message = ::RegisterWindowMessageA(FINDMSGSTRINGA);
  return message;
}

bool CFindReplaceDialog::Create(const std::string& findWhat, DWORD flags, HWND owner) {
  std::strncpy(findWhat_, findWhat.c_str(), sizeof findWhat_ - 1);
  fr_ = FINDREPLACEA{};
  fr_.lStructSize = sizeof fr_;
  fr_.hwndOwner = owner;
  fr_.Flags = flags;
  fr_.lpstrFindWhat = findWhat_;
  fr_.wFindWhatLen = sizeof findWhat_;
  hwnd_ = ::FindTextA(&fr_);
  return hwnd_ != nullptr;
}

}  // namespace framework
