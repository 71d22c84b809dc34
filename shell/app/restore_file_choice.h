// The files Restore Data works on: the backups chosen (an open dialog
// allowing several) and, for each, the target (a save dialog). The common
// dialogs answer unless a test installs its own choices.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct RestoreFileChoice {
  // True with the chosen backup paths in the dialog's order.
  std::function<bool(HWND owner, std::vector<std::string>* backups)> chooseBackups;
  // True with the target path; false when cancelled.
  std::function<bool(HWND owner, const std::string& proposed, std::string* target)> chooseTarget;
};

// The installed choices (empty members: the common dialogs).
RestoreFileChoice& RestoreFileChoices();

// The paths an OFN_ALLOWMULTISELECT | OFN_EXPLORER buffer holds: one full
// path, or the folder followed by file names, each ended by a NUL and the
// list by a second one.
std::vector<std::string> SplitMultiSelect(const char* buffer, size_t size);
