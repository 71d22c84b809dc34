// F1 in the event editor of the real almacora.exe opens the HTML Help
// viewer on almacora.chm, which the build puts beside the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "program_fixture.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"
// The storage's method, not the Win32 macro of the same name.
#undef CreateFile
#include "storage/calendar_file.h"

using shelltest::Program;

namespace {

HWND WaitFor(DWORD pid, const char* cls, const char* title, DWORD ms = 15000) {
  return shelltest::WaitForWindowOf(
      pid, cls,
      [title](HWND h) {
        char text[128] = "";
        ::GetWindowTextA(h, text, sizeof text);
        return std::string(text) == title;
      },
      ms);
}

}  // namespace

TEST(HelpViewer, F1InTheEventEditorOpensTheHelpFile) {
  // An open calendar, so Add goes straight to the editor.
  ASSERT_EQ(0, StartStorageEngine());
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("almacora_help_" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "help.akv").string();
  std::filesystem::remove(path);
  {
    CCalendarFile calendar;
    ASSERT_EQ(1, calendar.CreateFile(path));
    CEventArray none;
    calendar.Close(&none);
  }
  shelltest::ResetProfile({{"SplashEnabled", 0}, {"NumFiles", 1}, {"WarnHiding", 0}}, {{"DataFiles01", path}});
  Program p;
  ASSERT_TRUE(p.Start());
  HWND main = p.WaitForWindow();
  ASSERT_NE(main, nullptr);
  ::PostMessageA(main, WM_COMMAND, 32777, 0);  // Event > Add
  HWND editor = WaitFor(p.Pid(), "#32770", "Event Edit");
  ASSERT_NE(editor, nullptr);
  // F1 from the keyboard, to the editor in front.
  ::SetForegroundWindow(editor);
  shelltest::PumpFor(300);
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof keys[0]);
  HWND viewer = WaitFor(p.Pid(), "HH Parent", "Almacora Help");
  ASSERT_NE(viewer, nullptr) << "no help viewer";
  shelltest::PumpFor(1500);
  shelltest::Shot shot = shelltest::TakeShot(viewer, "help_viewer_event_edit");
  ASSERT_GT(shot.width, 100);
  // The contents pane on the left: white, with the book titles drawn in
  // its upper part (the topic pane stays empty where the test prefix has
  // no HTML engine).
  EXPECT_EQ(shot.At(shot.width / 6, shot.height * 3 / 4), RGB(255, 255, 255));
  size_t dark = 0;
  for (int y = shot.height / 8; y < shot.height / 3; ++y)
    for (int x = 0; x < shot.width / 3; ++x) {
      const COLORREF c = shot.At(x, y);
      dark += GetRValue(c) < 0x50 && GetGValue(c) < 0x50 && GetBValue(c) < 0x50;
    }
  EXPECT_GT(dark, 100u);
  ::PostMessageA(viewer, WM_CLOSE, 0, 0);
  ::PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
  shelltest::PumpFor(500);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(), 0);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
