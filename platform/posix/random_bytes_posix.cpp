#include "platform/random_bytes.h"

#include <cerrno>
#include <sys/random.h>

namespace platform {

bool RandomBytes(void* buffer, size_t length) {
  char* p = static_cast<char*>(buffer);
  while (length > 0) {
    ssize_t n = getrandom(p, length, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace platform
