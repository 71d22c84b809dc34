// What the event model asks of the application shell: font objects for the
// calendar fonts, task-bar flashing and error boxes. The shell implements
// IShellServices and registers it in ModelServices (model_services.h) at
// start-up; tests register a fake. The model never creates windows itself.
#pragma once

#include <string>

struct LogFont;

class IShellServices {
 public:
  // An opaque font object of the shell (an HFONT on Windows).
  using FontHandle = void*;
  // An opaque top-level window (an HWND on Windows).
  using WindowHandle = void*;

  virtual ~IShellServices() = default;

  // Makes a font from a description whose height is in tenths of a point
  // (the class library's point-font creation). Null when it fails.
  virtual FontHandle CreatePointFont(const LogFont& font) = 0;
  // Releases a font made by CreatePointFont; null is ignored.
  virtual void DeleteFont(FontHandle font) = 0;

  // Flashes the window's task-bar button `count` times (FlashWindowEx with
  // FLASHW_TRAY, a FLASHWINFO sized by sizeof). False when the platform has
  // no such call; the caller then flashes the window once itself.
  virtual bool FlashWindowInTaskbar(WindowHandle window, unsigned count) = 0;

  // A modal message box with the exclamation icon and an OK button.
  virtual void ShowError(const std::string& text) = 0;
};
