// What the sharing dialogs ask of the shell: a help topic (Help buttons and
// F1) and the Internet calendar search (the subscribe dialog's Search).
// The shell installs both at start; without them nothing happens.
#pragma once

#include <windows.h>

struct SharingHooks {
  void (*showHelp)(DWORD context) = nullptr;
  void (*calendarSearch)() = nullptr;
};

SharingHooks& GetSharingHooks();
void ShowSharingHelp(DWORD context);
