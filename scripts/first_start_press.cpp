// Used by scripts/run without a display of its own: walks almacora.exe's
// first-start wizard through as a person taking its proposals would (Next,
// then Finish; a message box by its default button) and returns once the
// main window is shown with no dialog left in front of it, so that the
// picture taken next shows the main window. Exit 0 then, 1 after a minute
// without it; either way it then creates the file its argument names, for
// the script waiting on it. Built and run under Wine by scripts/run only.
#include <windows.h>

#include <prsht.h>

#include <cstring>

namespace {

constexpr int kNextButton = 0x3024, kFinishButton = 0x3025;

struct Found {
  HWND main = nullptr;
  HWND dialog = nullptr;
};

BOOL CALLBACK Look(HWND h, LPARAM param) {
  auto* f = reinterpret_cast<Found*>(param);
  if (!::IsWindowVisible(h)) return TRUE;
  char cls[64] = "";
  ::GetClassNameA(h, cls, sizeof cls);
  if (std::strcmp(cls, "AlmacoraClass") == 0) f->main = h;
  if (std::strcmp(cls, "#32770") == 0 && !f->dialog) f->dialog = h;
  return TRUE;
}

void PressOn(HWND dialog) {
  if (HWND next = ::GetDlgItem(dialog, kNextButton)) {
    HWND finish = ::GetDlgItem(dialog, kFinishButton);
    const bool last = (finish && ::IsWindowVisible(finish) && ::IsWindowEnabled(finish)) ||
                      !::IsWindowEnabled(next);
    ::PostMessageA(dialog, PSM_PRESSBUTTON, last ? PSBTN_FINISH : PSBTN_NEXT, 0);
    return;
  }
  const LRESULT def = ::SendMessageA(dialog, DM_GETDEFID, 0, 0);
  const WPARAM id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
  ::PostMessageA(dialog, WM_COMMAND, id, 0);
}

int Press() {
  int quiet = 0;  // looks in a row with the main window and no dialog
  for (int i = 0; i < 600; ++i) {
    Found f;
    ::EnumWindows(&Look, reinterpret_cast<LPARAM>(&f));
    if (f.dialog) {
      quiet = 0;
      PressOn(f.dialog);
    } else if (f.main && ++quiet >= 10) {
      return 0;
    }
    ::Sleep(100);
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int result = Press();
  if (argc > 1) {
    HANDLE done = ::CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (done != INVALID_HANDLE_VALUE) ::CloseHandle(done);
  }
  return result;
}
