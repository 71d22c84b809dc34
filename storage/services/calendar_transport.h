// What the Internet calendar transfers ask of the network: HTTP requests
// and FTP connections, one round at a time. The window side implements it
// over WinINet (storage/ui); host tests script a fake. Everything that
// decides (status codes, redirects, logins, limits, resends) lives in
// storage/sharing, above this interface, so it is the same in both trees.
//
// Errors are WinINet error numbers (12002 time-out, 12014/12015 FTP login
// refused, 12017 cancelled by the user, 12032 send the request again); 0 is
// success. Implementations map what their library reports onto these
// numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One HTTP request as the transfers open it.
struct HttpRequestParams {
  std::string host;
  int port = 80;
  bool secure = false;
  std::string user;      // empty: no login is sent
  std::string password;
  std::string verb;      // "GET", "PUT" or "HEAD"
  std::string object;    // path and query
  uint32_t flags = 0;    // the connection and request flags
};

class IHttpRequest {
 public:
  virtual ~IHttpRequest() = default;
  // GET and HEAD: sends the request without headers or body.
  virtual int Send() = 0;
  // PUT: the headers (added and replacing), then the body in pieces.
  virtual int BeginSend(const std::string& headers, size_t totalLength) = 0;
  virtual int Write(const std::string& piece) = 0;
  virtual int EndSend() = 0;
  // After a send: the status code (0 when none came).
  virtual int Status() = 0;
  // The Location header, empty when absent.
  virtual std::string Location() = 0;
  // The size of the answer's status line and headers as they came (0 when
  // the transport cannot say).
  virtual size_t HeaderBytes() { return 0; }
  // The announced body length, -1 when not announced.
  virtual int64_t ContentLength() = 0;
  // Reads up to `size` bytes of the body into `buffer`, waiting at most
  // `idleMs` for the first of them (12002 when none came). *got 0 is the
  // end of the body.
  virtual int Read(char* buffer, size_t size, uint32_t idleMs, size_t* got) = 0;
};

class IFtpFile {
 public:
  virtual ~IFtpFile() = default;
  // As IHttpRequest::Read.
  virtual int Read(char* buffer, size_t size, uint32_t idleMs, size_t* got) = 0;
  virtual int Write(const std::string& bytes) = 0;
  // Ends the transfer; an upload is whole only when this answers 0.
  virtual int Close() = 0;
};

class IFtpConnection {
 public:
  virtual ~IFtpConnection() = default;
  // Opens the path (relative to the login folder) in binary mode.
  virtual std::unique_ptr<IFtpFile> OpenFile(const std::string& path, bool forWriting, int* error) = 0;
  // A directory search for the path, reloading from the server: whether a
  // file was found (*error 0), or the error.
  virtual bool FindFile(const std::string& path, int* error) = 0;
};

class ICalendarTransport {
 public:
  virtual ~ICalendarTransport() = default;
  // Connection and request together; null with *error set on failure.
  virtual std::unique_ptr<IHttpRequest> OpenHttp(const HttpRequestParams& params, int* error) = 0;
  // An FTP connection in active mode; null with *error set on failure
  // (12014 or 12015 when the login was refused).
  virtual std::unique_ptr<IFtpConnection> OpenFtp(const std::string& host, int port, const std::string& user,
                                                  const std::string& password, int* error) = 0;
  // The system's text for an error number (the standard error box's).
  virtual std::string ErrorText(int error) = 0;
  // A monotonic millisecond clock for the transfer limits.
  virtual uint64_t NowMs() = 0;
  // The NowMs at which the transfer now running must have ended (0: no
  // limit): a call still waiting on the server then gives up and answers
  // 12002, however much the server keeps sending.
  virtual void SetDeadline(uint64_t atMs) { (void)atMs; }
  // Whether the user cancelled the transfers now running (from the window
  // that shows their progress): every call answers 12017 until that window
  // is done with them.
  virtual bool Cancelled() { return false; }
};

constexpr int kTransferCancelled = 12017;
