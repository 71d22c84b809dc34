#include "platform/random_bytes.h"

#include <windows.h>
#include <ntsecapi.h>

namespace platform {

bool RandomBytes(void* buffer, size_t length) {
  char* p = static_cast<char*>(buffer);
  while (length > 0) {
    ULONG chunk = length > 0x10000 ? 0x10000 : static_cast<ULONG>(length);
    if (!RtlGenRandom(p, chunk)) return false;
    p += chunk;
    length -= chunk;
  }
  return true;
}

}  // namespace platform
