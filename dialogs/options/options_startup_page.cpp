#include "dialogs/options/options_startup_page.h"

#include <commdlg.h>

#include "dialogs/core/options_rules.h"
#include "dialogs/options/options_host.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "platform/paths.h"
#include "res/resource.h"

namespace options {

namespace {
const char kSavedText[] =
    "The current state of the Almacora main window has been saved.\nSave Settings On Exit has been disabled so "
    "these settings will not be overwritten.";
const char kRestoredText[] =
    "Default settings have been restored and will take affect the next time Almacora is started.\nSave Settings "
    "On Exit has been disabled so these settings will not be overwritten.";
}  // namespace

std::string SoundFilePath(const std::string& name) {
  if (name.find('\\') != std::string::npos) return name;
  return platform::ProgramFolder() + name;
}

COptionsStartup::COptionsStartup() : COptionsPage(IDD_OPTIONS_STARTUP, kHelpContext) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(COptionsStartup, COptionsPage)
  framework::OnCommand<&COptionsStartup::OnTest>(IDC_OPT_START_SOUND_TEST),
  framework::OnCommand<&COptionsStartup::OnBrowse>(IDC_OPT_START_SOUND_BROWSE),
  framework::OnCommand<&COptionsStartup::OnSaveCurrent>(IDC_OPT_START_SAVE_CURRENT),
  framework::OnCommand<&COptionsStartup::OnRestoreDefaults>(IDC_OPT_START_RESTORE_DEFAULTS),
FRAMEWORK_END_MESSAGE_MAP()

BOOL COptionsStartup::OnInitDialog() {
  startupIndex = options_rules::StartupModeToIndex(g_Settings.WinStartupMode);
  centered = g_Settings.WinCentered ? 1 : 0;
  saveOnExit = g_Settings.SaveOnExit ? 1 : 0;
  soundFile = g_Settings.SoundFile;
  soundEnabled = g_Settings.SoundEnabled ? 1 : 0;
  splashEnabled = g_Settings.SplashEnabled ? 1 : 0;
  allowMultiple = g_Settings.AllowMultiple ? 1 : 0;
  return COptionsPage::OnInitDialog();
}

void COptionsStartup::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeRadio(dx, IDC_OPT_START_NORMAL, startupIndex);
  framework::ExchangeCheck(dx, IDC_OPT_START_CENTERED, centered);
  framework::ExchangeCheck(dx, IDC_OPT_START_SAVE_ON_EXIT, saveOnExit);
  framework::ExchangeText(dx, IDC_OPT_START_SOUND_FILE, soundFile);
  framework::ExchangeCheck(dx, IDC_OPT_START_SOUND_ENABLED, soundEnabled);
  framework::ExchangeCheck(dx, IDC_OPT_START_SPLASH, splashEnabled);
  framework::ExchangeCheck(dx, IDC_OPT_START_MULTIPLE, allowMultiple);
}

void COptionsStartup::OnOK() {
  g_Settings.WinStartupMode = options_rules::IndexToStartupMode(startupIndex, g_Settings.WinStartupMode);
  g_Settings.WinCentered = centered;
  g_Settings.SaveOnExit = saveOnExit;
  g_Settings.SoundFile = soundFile;
  g_Settings.SoundEnabled = soundEnabled;
  g_Settings.SplashEnabled = splashEnabled;
  g_Settings.AllowMultiple = static_cast<int16_t>(allowMultiple);
}

void COptionsStartup::OnTest() {
  // The whole text, found as start-up finds it.
  if (!OptionsHost().PlaySoundFile(SoundFilePath(ItemText(IDC_OPT_START_SOUND_FILE))))
    framework::MessageBox("Error Playing Sound file.\nSystem beep will be used.", MB_OK, "Error");
}

void COptionsStartup::OnBrowse() {
  std::string path = ItemText(IDC_OPT_START_SOUND_FILE);
  if (OptionsHost().ChooseOpenFile(GetSafeHwnd(), "Select Startup Sound File", "wav",
                                   "Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||",
                                   OFN_HIDEREADONLY | OFN_NOCHANGEDIR, &path))
    SetItemText(IDC_OPT_START_SOUND_FILE, path);
}

// Both buttons store the layout at once and switch saving on exit off in
// the settings too, so neither a Cancel of the sheet nor the exit undoes
// what the message promises.
void COptionsStartup::OnSaveCurrent() {
  SetChecked(IDC_OPT_START_SAVE_ON_EXIT, 0);
  OptionsHost().SaveWindowPlacement();
  g_Settings.SaveOnExit = 0;
  g_Settings.SaveSettings();
  framework::MessageBox(kSavedText, MB_OK | MB_ICONINFORMATION, "Almacora");
}

void COptionsStartup::OnRestoreDefaults() {
  SetChecked(IDC_OPT_START_SAVE_ON_EXIT, 0);
  SetChecked(IDC_OPT_START_CENTERED, 1);
  g_Settings.SetWindowLayoutDefaults();
  g_Settings.SaveOnExit = 0;
  g_Settings.SaveSettings();
  framework::MessageBox(kRestoredText, MB_OK | MB_ICONINFORMATION, "Almacora");
}

}  // namespace options
