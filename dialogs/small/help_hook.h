// The help topic of a dialog: the application installs the function that
// shows a context topic; until it does (and in tests that install a
// recorder) nothing is shown.
#pragma once

#include <windows.h>

namespace dialogs {

using HelpTopicFn = void (*)(DWORD context);

// Installs `fn` (null removes it) and returns the one it replaces.
HelpTopicFn SetHelpTopicHook(HelpTopicFn fn);

// Shows topic `context` through the installed function; nothing without one.
void ShowHelpTopic(DWORD context);

}  // namespace dialogs
