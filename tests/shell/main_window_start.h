// Shared by window tests that run the program's main window inside the test
// process: quiet settings over a scratch profile, then the window itself.
#pragma once

#include <windows.h>

#include <memory>

#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"

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

// Starts a new `app`'s main window shown at 800 x 600 in the screen's top
// left corner, the size the tests that click or read pixels compute their
// points for; its frame, or null when the start failed.
inline CMainFrame* StartShownMainWindow(std::unique_ptr<CAlmacoraApp>& app) {
  app = std::make_unique<CAlmacoraApp>();
  CMainFrame* frame = StartMainWindow(*app);
  if (!frame) return nullptr;
  ::SetCursorPos(2000, 2000);  // no day pop-up from a pointer left over the calendar
  ::ShowWindow(frame->GetSafeHwnd(), SW_SHOWNORMAL);
  ::MoveWindow(frame->GetSafeHwnd(), 0, 0, 800, 600, TRUE);
  return frame;
}

// Destroys the window (when one started), forgets it and drops what its end
// left queued, so that nothing of it reaches the next test.
inline void CloseMainWindow(CMainFrame*& frame) {
  if (frame) frame->DestroyWindow();
  frame = nullptr;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// Ends what QuietSettings and StartShownMainWindow began: the window, the
// application, then the scratch profile (when there is one).
inline void EndMainWindow(CMainFrame*& frame, std::unique_ptr<CAlmacoraApp>& app,
                          std::unique_ptr<platform::ProfileStore>& store) {
  CloseMainWindow(frame);
  app.reset();
  if (store) store->Clear();
  g_Settings.SetProfile(nullptr);
}

// The menu bar's state of a command once the frame has updated its menus as
// for opening each of them.
inline UINT MenuState(CMainFrame& frame, UINT id) {
  HMENU bar = ::GetMenu(frame.GetSafeHwnd());
  frame.SendMsg(WM_INITMENU, reinterpret_cast<WPARAM>(bar));
  for (int i = 0; i < ::GetMenuItemCount(bar); ++i)
    if (HMENU sub = ::GetSubMenu(bar, i)) frame.SendMsg(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), i);
  return ::GetMenuState(bar, id, MF_BYCOMMAND);
}

}  // namespace shelltest
