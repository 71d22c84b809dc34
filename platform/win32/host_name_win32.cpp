#include "platform/host_name.h"

#include <windows.h>

namespace platform {

std::string ComputerName() {
  char buf[MAX_COMPUTERNAME_LENGTH + 1] = {0};
  DWORD size = sizeof buf;
  if (!GetComputerNameA(buf, &size) || size == 0) return "localhost";
  return std::string(buf, size);
}

}  // namespace platform
