#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace platform {

namespace {

// Version 2.2, started once for the whole process on first use and left
// running until the process ends.
int Started() {
  static const int result = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  return result;
}

SOCKET Raw(SocketHandle s) { return static_cast<SOCKET>(s); }

int LastSocketError() {
  int e = WSAGetLastError();
  return e == 0 ? kSocketInvalid : e;
}

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = htonl(address);
  return sa;
}

// One socket in one set never meets FD_SETSIZE here: the Windows set is
// a list of handles, not a bit map.
int Wait(SocketHandle socket, bool write, int timeoutMs, bool watchErrors) {
  if (socket == kNoSocket) return kSocketBadHandle;
  fd_set set, errors;
  FD_ZERO(&set);
  FD_ZERO(&errors);
  FD_SET(Raw(socket), &set);
  FD_SET(Raw(socket), &errors);
  timeval tv;
  if (timeoutMs < 0) timeoutMs = 0;
  tv.tv_sec = timeoutMs / 1000;
  tv.tv_usec = (timeoutMs % 1000) * 1000;
  int n = select(0, write ? nullptr : &set, write ? &set : nullptr, watchErrors ? &errors : nullptr, &tv);
  if (n == SOCKET_ERROR) return LastSocketError();
  if (n == 0) return kSocketTimedOut;
  return kSocketOk;
}

}  // namespace

int ResolveIPv4(const std::string& host, uint32_t* address) {
  if (int rc = Started()) return rc;
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
  if (int rc = Started()) return rc;
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return LastSocketError();
  u_long on = 1;
  if (ioctlsocket(s, FIONBIO, &on) != 0) {
    int rc = LastSocketError();
    closesocket(s);
    return rc;
  }
  *socket = static_cast<SocketHandle>(s);
  return kSocketOk;
}

int BindSocket(SocketHandle socket, uint32_t address, uint16_t port) {
  sockaddr_in sa = MakeAddress(address, port);
  if (::bind(Raw(socket), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) return LastSocketError();
  return kSocketOk;
}

int ConnectSocket(SocketHandle socket, uint32_t address, uint16_t port, int timeoutMs) {
  sockaddr_in sa = MakeAddress(address, port);
  if (::connect(Raw(socket), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return kSocketOk;
  int e = WSAGetLastError();
  if (e != WSAEWOULDBLOCK) return e == 0 ? kSocketInvalid : e;
  // A failed connect shows in the error set, not the write set.
  int rc = Wait(socket, true, timeoutMs, true);
  if (rc != kSocketOk) return rc;
  int err = 0;
  int len = sizeof err;
  if (getsockopt(Raw(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) != 0)
    return LastSocketError();
  return err;
}

int ListenSocket(SocketHandle socket, int backlog) {
  if (::listen(Raw(socket), backlog) != 0) return LastSocketError();
  return kSocketOk;
}

int LocalPort(SocketHandle socket, uint16_t* port) {
  sockaddr_in sa{};
  int len = sizeof sa;
  if (getsockname(Raw(socket), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return LastSocketError();
  *port = ntohs(sa.sin_port);
  return kSocketOk;
}

int AcceptSocket(SocketHandle listener, int timeoutMs, SocketHandle* accepted) {
  *accepted = kNoSocket;
  int rc = WaitReadable(listener, timeoutMs);
  if (rc != kSocketOk) return rc;
  SOCKET s = ::accept(Raw(listener), nullptr, nullptr);
  if (s == INVALID_SOCKET) return LastSocketError();
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
  *accepted = static_cast<SocketHandle>(s);
  return kSocketOk;
}

int WaitReadable(SocketHandle socket, int timeoutMs) { return Wait(socket, false, timeoutMs, false); }
int WaitWritable(SocketHandle socket, int timeoutMs) { return Wait(socket, true, timeoutMs, false); }

int ReceiveSome(SocketHandle socket, void* buffer, size_t length, size_t* received) {
  *received = 0;
  int chunk = length > 0x40000000 ? 0x40000000 : static_cast<int>(length);
  int n = ::recv(Raw(socket), static_cast<char*>(buffer), chunk, 0);
  if (n == SOCKET_ERROR) return LastSocketError();
  *received = static_cast<size_t>(n);
  return kSocketOk;
}

int SendSome(SocketHandle socket, const void* data, size_t length, size_t* sent) {
  *sent = 0;
  int chunk = length > 0x40000000 ? 0x40000000 : static_cast<int>(length);
  int n = ::send(Raw(socket), static_cast<const char*>(data), chunk, 0);
  if (n == SOCKET_ERROR) return LastSocketError();
  *sent = static_cast<size_t>(n);
  return kSocketOk;
}

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket) closesocket(Raw(socket));
}

void ShutdownSocket(SocketHandle socket) {
  if (socket != kNoSocket) shutdown(Raw(socket), SD_BOTH);
}

std::string LocalHostName() {
  char name[256] = {};
  if (Started() != 0 || gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

}  // namespace platform
