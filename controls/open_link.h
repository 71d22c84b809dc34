// Opening a link target (a web address, a mail address, a file) the way
// the user's system opens it.
#pragma once

#include <windows.h>

#include <string>

namespace shellcontrols {

// Asks the shell to "open" target with the show command. When that fails
// (32 or less) the browser registered for ".htm" runs with the target as
// one quoted argument; targets holding a quotation mark or a control
// character are never passed that way. Returns the shell's result: more
// than 32 on success, else the first failure's code (also when there is
// no ".htm" association or the target was refused).
INT_PTR OpenLinkTarget(const std::string& target, int show);

// The browser command for a target: the registered command cut before its
// "%1" (and the quotation mark opening it), then the target quoted. Empty
// when the target holds a quotation mark or a control character.
std::string BrowserCommandLine(const std::string& registered, const std::string& target);

// What a failure code of OpenLinkTarget means, for the user.
std::string LinkErrorText(INT_PTR code);

// Hook for tests: runs a fallback command line instead of starting it;
// returns what starting it would (more than 32 on success). Null restores
// the real start.
using RunCommandFn = INT_PTR (*)(const std::string& commandLine, int show);
RunCommandFn SetRunCommandHook(RunCommandFn fn);

}  // namespace shellcontrols
