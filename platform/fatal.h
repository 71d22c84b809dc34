// The end of the road for unrecoverable internal errors: a message box and
// the end of the process, and the one place tests replace both.
#pragma once

namespace platform {

// Called instead of the box and the exit. A hook that returns makes
// FatalExit return to its caller, which must then back out of whatever it
// was doing without touching the broken state.
using FatalHook = void (*)(const char* message, int exit_code);

// Installs a hook (null restores the real path) and returns the old one.
FatalHook SetFatalHook(FatalHook hook);

// Shows message in a box without owner window (default caption), then
// ends the process with exit_code; with a hook installed only calls it.
void FatalExit(const char* message, int exit_code);

// A message box without owner window that does not end the process (on
// the POSIX side the text goes to stderr). Also replaceable, for tests.
using MessageHook = void (*)(const char* message);
MessageHook SetMessageHook(MessageHook hook);
void ShowErrorMessage(const char* message);

// Ends the process at once with exit_code (no hook, no box). On the POSIX
// side the parent sees only the low 8 bits of the code.
[[noreturn]] void EndProcess(int exit_code);

}  // namespace platform
