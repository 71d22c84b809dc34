#include "platform/socket.h"
#include "platform/tick.h"

namespace platform {

int SendAll(SocketHandle socket, const void* data, size_t length, int timeoutMs) {
  const char* p = static_cast<const char*>(data);
  uint64_t lastProgress = TickMs();
  while (length > 0) {
    size_t sent = 0;
    int rc = SendSome(socket, p, length, &sent);
    if (rc == kSocketOk && sent > 0) {
      p += sent;
      length -= sent;
      lastProgress = TickMs();
      continue;
    }
    if (rc != kSocketOk && rc != kSocketWouldBlock) return rc;
    // The limit counts from the last byte that went out, so a slow but
    // live peer is served while one that stopped reading is given up on.
    uint64_t waited = TickMs() - lastProgress;
    if (waited >= static_cast<uint64_t>(timeoutMs)) return kSocketTimedOut;
    rc = WaitWritable(socket, timeoutMs - static_cast<int>(waited));
    if (rc != kSocketOk) return rc;
  }
  return kSocketOk;
}

}  // namespace platform
