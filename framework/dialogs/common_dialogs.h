// The system's common dialogs: open/save file, font, colour (modal) and
// find (modeless, reporting through the registered message
// "commdlg_FindReplace").
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

namespace framework {

class CFileDialog {
 public:
  // `filter` is in the "Text|*.txt|All Files (*.*)|*.*||" form.
  CFileDialog(bool open, const std::string& defaultExtension, const std::string& fileName, DWORD flags,
              const std::string& filter, HWND owner = nullptr);
  std::string title;
  std::string initialFolder;
  // IDOK or IDCANCEL.
  int DoModal();
  const std::string& GetPathName() const { return path_; }

 private:
  bool open_;
  std::string defaultExtension_;
  std::string filter_;
  DWORD flags_;
  HWND owner_;
  std::string path_;
};

class CFontDialog {
 public:
  explicit CFontDialog(const LOGFONTA* initial = nullptr, DWORD flags = CF_SCREENFONTS, HWND owner = nullptr);
  int DoModal();
  const LOGFONTA& GetLogFont() const { return font_; }
  COLORREF GetColor() const { return color_; }

 private:
  LOGFONTA font_{};
  bool hasInitial_;
  DWORD flags_;
  HWND owner_;
  COLORREF color_ = 0;
};

class CColorDialog {
 public:
  explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, HWND owner = nullptr);
  int DoModal();
  COLORREF GetColor() const { return color_; }

 private:
  COLORREF color_;
  DWORD flags_;
  HWND owner_;
};

class CFindReplaceDialog {
 public:
  // The id of "commdlg_FindReplace" the owner receives.
  static UINT GetFindReplaceMessage();
  // Opens the modeless find dialog owned by `owner`; false when it failed.
  bool Create(const std::string& findWhat, DWORD flags, HWND owner);
  HWND GetSafeHwnd() const { return hwnd_; }
  // Reads a notification's FINDREPLACE.
  static const FINDREPLACEA* FromLParam(LPARAM lParam) { return reinterpret_cast<const FINDREPLACEA*>(lParam); }

 private:
  FINDREPLACEA fr_{};
  char findWhat_[256] = "";
  HWND hwnd_ = nullptr;
};

// The "a|b||" filter form with NULs for the system.
std::string FilterToSystem(const std::string& filter);

}  // namespace framework
