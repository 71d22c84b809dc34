#include "platform/socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace platform {

namespace {

// errno as the Windows Sockets number of the same meaning.
int FromErrno(int e) {
  switch (e) {
    case 0: return kSocketOk;
    case EINTR: return kSocketInterrupted;
    case EBADF: return kSocketBadHandle;
    case EMFILE:
    case ENFILE: return kSocketTooManyOpen;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EINPROGRESS: return kSocketWouldBlock;
    case ENOTSOCK: return kSocketNotSocket;
    case EMSGSIZE: return kSocketMessageSize;
    case EADDRINUSE: return kSocketAddressInUse;
    case EADDRNOTAVAIL: return kSocketAddressNotAvailable;
    case ENETDOWN: return kSocketNetworkDown;
    case ENETUNREACH: return kSocketNetworkUnreachable;
    case ECONNABORTED: return kSocketConnectionAborted;
    case ECONNRESET:
    case EPIPE: return kSocketConnectionReset;
    case ENOBUFS:
    case ENOMEM: return kSocketNoBuffers;
    case ENOTCONN: return kSocketNotConnected;
    case ETIMEDOUT: return kSocketTimedOut;
    case ECONNREFUSED: return kSocketConnectionRefused;
    case EHOSTUNREACH: return kSocketHostUnreachable;
    default: return kSocketInvalid;
  }
}

int LastSocketError() { return FromErrno(errno); }

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = htonl(address);
  return sa;
}

int Wait(SocketHandle socket, short events, int timeoutMs) {
  if (socket < 0) return kSocketBadHandle;
  pollfd pfd{};
  pfd.fd = static_cast<int>(socket);
  pfd.events = events;
  for (;;) {
    int n = poll(&pfd, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (n > 0) {
      if (pfd.revents & POLLNVAL) return kSocketBadHandle;
      return kSocketOk;  // an error or hang-up shows on the next call
    }
    if (n == 0) return kSocketTimedOut;
    if (errno != EINTR) return LastSocketError();
  }
}

}  // namespace

int ResolveIPv4(const std::string& host, uint32_t* address) {
  in_addr a{};
  if (inet_pton(AF_INET, host.c_str(), &a) == 1) {
    *address = ntohl(a.s_addr);
    return kSocketOk;
  }
  if (host.empty()) return kSocketInvalid;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return kSocketInvalid;
  *address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  freeaddrinfo(found);
  return kSocketOk;
}

int OpenTcpSocket(SocketHandle* socket) {
  *socket = kNoSocket;
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return LastSocketError();
  *socket = fd;
  return kSocketOk;
}

int BindSocket(SocketHandle socket, uint32_t address, uint16_t port) {
  sockaddr_in sa = MakeAddress(address, port);
  if (::bind(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
    return LastSocketError();
  return kSocketOk;
}

int ConnectSocket(SocketHandle socket, uint32_t address, uint16_t port, int timeoutMs) {
  sockaddr_in sa = MakeAddress(address, port);
  if (::connect(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0)
    return kSocketOk;
  if (errno != EINPROGRESS && errno != EINTR) return LastSocketError();
  int rc = WaitWritable(socket, timeoutMs);
  if (rc != kSocketOk) return rc;
  int err = 0;
  socklen_t len = sizeof err;
  if (getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_ERROR, &err, &len) != 0)
    return LastSocketError();
  return FromErrno(err);
}

int ListenSocket(SocketHandle socket, int backlog) {
  if (::listen(static_cast<int>(socket), backlog) != 0) return LastSocketError();
  return kSocketOk;
}

int LocalPort(SocketHandle socket, uint16_t* port) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (getsockname(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&sa), &len) != 0)
    return LastSocketError();
  *port = ntohs(sa.sin_port);
  return kSocketOk;
}

int AcceptSocket(SocketHandle listener, int timeoutMs, SocketHandle* accepted) {
  *accepted = kNoSocket;
  int rc = WaitReadable(listener, timeoutMs);
  if (rc != kSocketOk) return rc;
  int fd = ::accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) return LastSocketError();
  *accepted = fd;
  return kSocketOk;
}

int WaitReadable(SocketHandle socket, int timeoutMs) { return Wait(socket, POLLIN, timeoutMs); }
int WaitWritable(SocketHandle socket, int timeoutMs) { return Wait(socket, POLLOUT, timeoutMs); }

int ReceiveSome(SocketHandle socket, void* buffer, size_t length, size_t* received) {
  *received = 0;
  for (;;) {
    ssize_t n = ::recv(static_cast<int>(socket), buffer, length, 0);
    if (n >= 0) {
      *received = static_cast<size_t>(n);
      return kSocketOk;
    }
    if (errno != EINTR) return LastSocketError();
  }
}

int SendSome(SocketHandle socket, const void* data, size_t length, size_t* sent) {
  *sent = 0;
  for (;;) {
    ssize_t n = ::send(static_cast<int>(socket), data, length, MSG_NOSIGNAL);
    if (n >= 0) {
      *sent = static_cast<size_t>(n);
      return kSocketOk;
    }
    if (errno != EINTR) return LastSocketError();
  }
}

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket) ::close(static_cast<int>(socket));
}

void ShutdownSocket(SocketHandle socket) {
  if (socket != kNoSocket) ::shutdown(static_cast<int>(socket), SHUT_RDWR);
}

std::string LocalHostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

}  // namespace platform
