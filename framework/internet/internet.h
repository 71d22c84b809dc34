// The Internet classes over WinINet (ANSI): a session, HTTP and FTP
// connections, an HTTP request, an FTP or HTTP file and an FTP directory
// search. Every failure throws CInternetException with the WinINet error
// number; ReportError shows the standard box with the system's text.
// Each object closes its handle when it is destroyed. Blocking calls, as
// WinINet makes them; callers bound them with time-outs, and may run them
// on a worker and close the session from another thread to give one up.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <memory>
#include <string>

namespace framework {

class CInternetException {
 public:
  explicit CInternetException(DWORD error) : m_dwError(error) {}
  DWORD m_dwError;
  // The system's text for the error (wininet.dll's messages), or
  // "Internet error %d." when it has none.
  std::string GetErrorMessage() const;
  // The standard error box, titled with the program's name.
  void ReportError(HWND owner = nullptr) const;
};

// Throws CInternetException with GetLastError() (10060 is read as 12002,
// the time-out it is) unless ok.
void ThrowIfFailed(bool ok);

constexpr DWORD kStepTimeoutMs = 30000;

// The code (such as 226 or 552) of the last answer an FTP server gave this
// thread, 0 when the library holds none.
DWORD LastResponseCode();

class CInternetHandle {
 public:
  CInternetHandle() = default;
  explicit CInternetHandle(HINTERNET h) : handle_(h) {}
  virtual ~CInternetHandle() { Close(); }
  CInternetHandle(const CInternetHandle&) = delete;
  CInternetHandle& operator=(const CInternetHandle&) = delete;
  // Safe from another thread than the one using the handle: a blocking
  // call on it (or on a handle opened in it) then fails.
  void Close();
  // Lets go of a handle that closed with its session, without closing it
  // again (its number may belong to another handle by now).
  void Forget() { handle_ = nullptr; }
  HINTERNET Handle() const { return handle_; }
  void SetReceiveTimeout(DWORD ms);
  // Connect, send and receive each at most kStepTimeoutMs.
  void SetStepTimeouts();

 protected:
  HINTERNET handle_ = nullptr;
};

class CHttpConnection;
class CFtpConnection;

// One session: agent "Almacora", the system's access type, context 1;
// it, its connections and requests wait at most kStepTimeoutMs at each of
// connect, send and receive.
class CInternetSession : public CInternetHandle {
 public:
  CInternetSession();
  std::unique_ptr<CHttpConnection> GetHttpConnection(const std::string& server, DWORD flags, INTERNET_PORT port,
                                                     const std::string& user, const std::string& password);
  // Active mode (not passive).
  std::unique_ptr<CFtpConnection> GetFtpConnection(const std::string& server, const std::string& user,
                                                   const std::string& password, INTERNET_PORT port);
};

// An HTTP request, or an FTP file opened for reading or writing.
class CInternetFile : public CInternetHandle {
 public:
  explicit CInternetFile(HINTERNET h) : CInternetHandle(h) {}
  // 0 at the end.
  size_t Read(void* buffer, size_t size);
  // Waits (within the receive time-out) until data is there; the bytes
  // that can be read at once, 0 at the end. A read of no more than that
  // does not wait for a slow server to fill the buffer.
  size_t QueryDataAvailable();
  void Write(const void* data, size_t size);
};

class CHttpFile : public CInternetFile {
 public:
  explicit CHttpFile(HINTERNET h) : CInternetFile(h) {}
  void SendRequest();
  void SendRequestEx(DWORD totalLength);
  void EndRequest();
  void AddRequestHeaders(const std::string& headers, DWORD flags);
  DWORD QueryStatusCode();
  // A response header's text, empty when absent (or over 1 MB).
  std::string QueryHeader(DWORD info);
  // The size the header's text would take, 0 when absent.
  size_t QueryHeaderSize(DWORD info);
};

class CHttpConnection : public CInternetHandle {
 public:
  explicit CHttpConnection(HINTERNET h) : CInternetHandle(h) {}
  std::unique_ptr<CHttpFile> OpenRequest(const std::string& verb, const std::string& object, DWORD flags);
};

class CFtpConnection : public CInternetHandle {
 public:
  explicit CFtpConnection(HINTERNET h) : CInternetHandle(h) {}
  // Binary, context 1.
  std::unique_ptr<CInternetFile> OpenFile(const std::string& path, DWORD access);
};

// A directory search on an FTP connection.
class CFtpFileFind : public CInternetHandle {
 public:
  explicit CFtpFileFind(CFtpConnection& connection) : connection_(connection) {}
  // Whether a file matches; throws on errors other than "none found" (no
  // entry, or the server's 550). A listing refused in any other way is an
  // error: it says nothing of whether the file is there.
  bool FindFile(const std::string& path, DWORD flags);

 private:
  CFtpConnection& connection_;
};

}  // namespace framework
