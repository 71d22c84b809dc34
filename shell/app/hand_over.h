// The hand-over between two instances: a starting instance finds the
// running one (the window class "AlmacoraClass") and gives it its command
// line in a WM_COPYDATA; the running one checks what it got.
#pragma once

#include <windows.h>

#include <string>

// The command line trimmed of blanks on both sides.
std::string TrimmedCommandLine(const std::string& line);
// True when the line starts with "/webcal" in any letter case.
bool IsWebcalLine(const std::string& trimmed);

// What a starting instance sends for a calendar-file line: surrounding
// quotes removed; a path with a folder part that is not absolute made
// absolute against `currentFolder` (which ends in a backslash); a bare
// name left bare (the receiving program looks it up in its own folder).
std::string HandOverPath(const std::string& trimmed, const std::string& currentFolder);

// Sends `text` with its NUL to `target` as WM_COPYDATA (dwData 0), giving
// up on a hung window. True when it was delivered.
bool SendCommandLine(HWND target, const std::string& text);

// The text of a received WM_COPYDATA, or false when it is not ours: dwData
// must be 0 and a NUL must end the text within cbData.
bool ReadHandedOverText(const COPYDATASTRUCT* data, std::string* text);

// Step "/webcal": asks every main window of ours whether it opened the
// calendar search; the first that answers 1 gets the line. True when one
// took it.
bool HandOverToSearchOwner(const std::string& untrimmedLine);

// Makes a main window visible, restored, active and foreground (flashing
// it once when the system refuses the foreground).
void BringWindowToFront(HWND hwnd);
