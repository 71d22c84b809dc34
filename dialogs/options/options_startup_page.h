// COptionsStartup: the "Startup" page (dialog 147, help 21): start-up mode,
// window centring, save on exit, the start-up sound, splash screen and
// multiple copies, and the two buttons that store or reset the window
// layout at once.
#pragma once

#include <string>

#include "dialogs/options/options_page.h"

namespace options {

class COptionsStartup : public COptionsPage {
 public:
  static constexpr DWORD kHelpContext = 21;
  COptionsStartup();

  // Members the controls exchange (radio index -1: none selected).
  int startupIndex = -1;
  int centered = 0, saveOnExit = 0, soundEnabled = 0, splashEnabled = 0, allowMultiple = 0;
  std::string soundFile;

  void OnOK() override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnTest();
  void OnBrowse();
  void OnSaveCurrent();
  void OnRestoreDefaults();
};

// The file a start-up sound name stands for: a name without a backslash
// lives in the program's folder.
std::string SoundFilePath(const std::string& name);

}  // namespace options
