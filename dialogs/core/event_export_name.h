// The file name the "Export Event" save dialog proposes for one event.
#pragma once

#include <cstddef>
#include <string>

namespace dialogcore {

// The event's name without the characters a file name cannot hold (\ / : *
// ? < > | " and control characters), followed by ".ics", and cut so that it
// fits a name buffer of `bufferSize` bytes with its terminator (the name
// is cut, the extension kept).
std::string ExportFileName(const std::string& eventName, size_t bufferSize = 260);

}  // namespace dialogcore
