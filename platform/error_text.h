// The system's own text for an error number, as message boxes show it when
// a file cannot be opened.
#pragma once

#include <string>

namespace platform {

// The text the system gives for its error number (LastNativeFileError()),
// without a trailing line break. A number the system does not know gives a
// text that still names the number; never empty.
std::string SystemErrorText(int nativeError);

}  // namespace platform
