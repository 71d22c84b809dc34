// The one message-box call of the program, and the wait cursor.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// A modal message box owned by the main window's last active pop-up (no
// owner before there is a main window). The caption defaults to the
// application's title. Returns the button pressed (IDOK, IDYES ...).
int MessageBox(const std::string& text, UINT type = MB_OK, const std::string& caption = std::string());

// The application's title for message boxes ("Almacora" once the shell
// has set it).
void SetMessageBoxTitle(const std::string& title);
const std::string& GetMessageBoxTitle();

// Shows the hourglass for the life of the object.
class CWaitCursor {
 public:
  CWaitCursor() : old_(::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
  ~CWaitCursor() { ::SetCursor(old_); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  HCURSOR old_;
};

}  // namespace framework
