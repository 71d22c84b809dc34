// The name of this computer, as the network knows it.
#pragma once

#include <string>

namespace platform {

// The computer's name (the NetBIOS name on Windows, the host name on POSIX
// up to its first dot); "localhost" when it cannot be read.
std::string ComputerName();

}  // namespace platform
