// Shared by window tests that run the program's main window inside the test
// process: quiet settings over a scratch profile, then the window itself.
#pragma once

#include <windows.h>

#include <memory>

#include "model/program_settings.h"
#include "platform/profile_store.h"
#include "shell/almacora_app.h"
#include "shell/main_frame.h"

namespace shelltest {

// Points g_Settings at a scratch profile named `scratch`, loads it and turns
// off what would stand in a test's way: the splash, the exit question, sound,
// the first-run wizards and every calendar file. The caller keeps the store
// alive until it sets the profile back to null.
inline std::unique_ptr<platform::ProfileStore> QuietSettings(const char* scratch) {
  auto store = std::make_unique<platform::ProfileStore>(platform::ProfileStore::ScratchLocation(scratch));
  g_Settings.SetProfile(store.get());
  g_Settings.LoadSettings();
  g_Settings.SplashEnabled = 0;
  g_Settings.WarnExit = 0;
  g_Settings.SoundEnabled = 0;
  g_Settings.FirstRun35 = 0;
  g_Settings.FirstRun50 = 0;
  g_Settings.DataFilePaths.clear();
  g_Settings.DataFileEnabled.clear();
  return store;
}

// Starts `app`'s main window in this process; its frame, or null when the
// start failed.
inline CMainFrame* StartMainWindow(CAlmacoraApp& app) {
  app.SetInstanceHandle(::GetModuleHandleA(nullptr));
  if (!app.StartMainWindow()) return nullptr;
  return CMainFrame::Get();
}

}  // namespace shelltest
