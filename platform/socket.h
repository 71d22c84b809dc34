// TCP sockets for the mail client and its test servers: IPv4 only, every
// socket non-blocking underneath, every wait bounded by a limit.
//
// Every call returns 0 on success or a Windows Sockets error number, on
// both sides (the POSIX side translates errno), so callers and their users
// see one set of codes: 10060 timed out, 10061 refused, 10054 reset or
// closed by the peer, 10022 bad argument or unknown host. The Win32 side
// starts the socket library once, on first use. The POSIX side waits with
// poll, so no descriptor number is too large to wait on, and never raises
// SIGPIPE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using SocketHandle = std::intptr_t;
constexpr SocketHandle kNoSocket = -1;

// The Windows Sockets numbers this layer reports.
enum SocketError : int {
  kSocketOk = 0,
  kSocketInterrupted = 10004,
  kSocketBadHandle = 10009,
  kSocketTooManyOpen = 10024,
  kSocketWouldBlock = 10035,
  kSocketNotSocket = 10038,
  kSocketMessageSize = 10040,   // also: a reply longer than its reader allows
  kSocketInvalid = 10022,       // bad argument, or a host name that does not resolve
  kSocketAddressInUse = 10048,
  kSocketAddressNotAvailable = 10049,
  kSocketNetworkDown = 10050,
  kSocketNetworkUnreachable = 10051,
  kSocketConnectionAborted = 10053,
  kSocketConnectionReset = 10054,  // also: the peer closed the connection
  kSocketNoBuffers = 10055,
  kSocketNotConnected = 10057,
  kSocketTimedOut = 10060,
  kSocketConnectionRefused = 10061,
  kSocketHostUnreachable = 10065,
};

// A dotted IPv4 address is taken as it is, without a look-up; anything else
// is looked up as a host name. *address gets the four bytes in host order
// (127.0.0.1 is 0x7F000001). kSocketInvalid when it cannot be resolved.
int ResolveIPv4(const std::string& host, uint32_t* address);

// A new TCP socket. *socket is kNoSocket on failure.
int OpenTcpSocket(SocketHandle* socket);

// Binds to a local address and port (0 = any free port).
int BindSocket(SocketHandle socket, uint32_t address, uint16_t port);

// Connects, waiting at most timeoutMs: kSocketTimedOut when the limit
// passes, kSocketConnectionRefused, kSocketNetworkUnreachable ...
int ConnectSocket(SocketHandle socket, uint32_t address, uint16_t port, int timeoutMs);

// A listening socket (tests' servers): listen with the given backlog; the
// bound port is read with LocalPort.
int ListenSocket(SocketHandle socket, int backlog);
int LocalPort(SocketHandle socket, uint16_t* port);

// Waits at most timeoutMs for a connection and accepts it: kSocketTimedOut.
int AcceptSocket(SocketHandle listener, int timeoutMs, SocketHandle* accepted);

// Waits at most timeoutMs (0 = just look) until data or an end of stream
// can be read, or until a send would not block: kSocketTimedOut.
int WaitReadable(SocketHandle socket, int timeoutMs);
int WaitWritable(SocketHandle socket, int timeoutMs);

// One receive of what is there, at most length bytes: *received 0 with
// result 0 means the peer closed its side; kSocketWouldBlock when nothing
// is there yet.
int ReceiveSome(SocketHandle socket, void* buffer, size_t length, size_t* received);

// One send of what fits now: kSocketWouldBlock when nothing fits.
int SendSome(SocketHandle socket, const void* data, size_t length, size_t* sent);

// Sends all bytes, continuing short sends. Fails with kSocketTimedOut when
// no byte could be sent for timeoutMs.
int SendAll(SocketHandle socket, const void* data, size_t length, int timeoutMs);

// Closes the socket; kNoSocket is a no-op.
void CloseSocket(SocketHandle socket);

// Ends both directions without closing: a wait on the socket in another
// thread wakes, and its reads see the end of the stream. kNoSocket is a
// no-op.
void ShutdownSocket(SocketHandle socket);

// The name of this machine as the network knows it (gethostname), or
// "localhost" when it cannot be read.
std::string LocalHostName();

}  // namespace platform
