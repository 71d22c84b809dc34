#include "dialogs/core/event_export_name.h"

#include <cstring>

namespace dialogcore {

std::string ExportFileName(const std::string& eventName, size_t bufferSize) {
  static const char kExtension[] = ".ics";
  std::string base;
  for (char c : eventName) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::strchr("\\/:*?<>|\"", c)) continue;
    base.push_back(c);
  }
  const size_t room = bufferSize > sizeof kExtension ? bufferSize - sizeof kExtension : 0;
  if (base.size() > room) base.resize(room);
  return base + kExtension;
}

}  // namespace dialogcore
