// The file-or-program action: the system's "open" of a file with its
// arguments and start-up window state.
#pragma once

#include <windows.h>

#include <string>

namespace alarms {

// Opens the file (no folder given); showCommand 1 normal, 2 minimized,
// 3 maximized, anything else runs as 1. Returns the error text of
// RunResultText, empty on success; a file that is not on this computer
// (platform/local_path.h) is not opened and gives its refusal text.
// parent may be null (the worker).
std::string RunAlarmFile(HWND parent, const std::string& file, const std::string& arguments, int showCommand);

}  // namespace alarms
