#include "platform/host_name.h"

#include <unistd.h>

namespace platform {

std::string ComputerName() {
  char buf[256] = {0};
  if (gethostname(buf, sizeof buf - 1) != 0 || buf[0] == '\0') return "localhost";
  std::string name(buf);
  size_t dot = name.find('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace platform
