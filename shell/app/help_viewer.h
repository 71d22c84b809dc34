// Where the HTML Help viewer opens: owned by the window that asked for help
// (the active dialog or sheet of this thread, else the main window), so the
// asking dialog stays in front of the disabled main window and usable while
// the topic is read, and placed beside that dialog where the screen has room.
#pragma once

#include <windows.h>

namespace helpviewer {

// The active top-level window of this thread when it is enabled and is not
// a help viewer, else `mainWindow`.
HWND AskingWindow(HWND mainWindow);

// Moves `viewer` off `owner` (to its right, else its left, within the
// owner's monitor work area) when the two overlap and `owner` is not
// `mainWindow`; nothing otherwise. Where the full viewer has no room
// beside the owner its contents pane is hidden first.
void PlaceBeside(HWND viewer, HWND owner, HWND mainWindow);

// Restores `viewer` when minimized and makes it the foreground window, so a
// second request for help shows the open viewer rather than nothing.
void BringToFront(HWND viewer);

}  // namespace helpviewer
