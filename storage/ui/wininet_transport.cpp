#include "storage/ui/wininet_transport.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

#include "framework/blocking_wait.h"
#include "framework/internet/internet.h"
#include "platform/tick.h"

using framework::CInternetException;

namespace {

// Runs `body`, turning the framework's exceptions into error numbers.
template <typename Body>
int Guard(Body body) {
  try {
    body();
    return 0;
  } catch (const CInternetException& e) {
    return static_cast<int>(e.m_dwError);
  }
}

// "user:password" in Base64, for a Basic Authorization header.
std::string BasicLogin(const std::string& user, const std::string& password) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::string plain = user + ":" + password;
  std::string out;
  for (size_t i = 0; i < plain.size(); i += 3) {
    const size_t n = plain.size() - i < 3 ? plain.size() - i : 3;
    uint32_t v = 0;
    for (size_t k = 0; k < 3; ++k) v = v << 8 | (k < n ? static_cast<unsigned char>(plain[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

// The tick by which the transfer now running must end (0: none); window
// thread only, as every transfer.
ULONGLONG g_deadline = 0;

// What the calls of one transfer share with the worker threads that make
// them: the session and every handle opened in it. A call the user gave
// up goes on alone on its worker and holds this until it ends.
struct Link {
  std::unique_ptr<framework::CInternetSession> session;
  std::unique_ptr<framework::CHttpConnection> http;
  std::unique_ptr<framework::CHttpFile> request;
  std::unique_ptr<framework::CFtpConnection> ftp;
  std::unique_ptr<framework::CInternetFile> file;
  std::atomic<bool> abandoned{false};
  bool timedOut = false;  // abandoned at the deadline, not by the user

  ~Link() {
    // Closing the session closed the others with it.
    if (!abandoned) return;
    for (framework::CInternetHandle* h : {static_cast<framework::CInternetHandle*>(file.get()),
                                          static_cast<framework::CInternetHandle*>(ftp.get()),
                                          static_cast<framework::CInternetHandle*>(request.get()),
                                          static_cast<framework::CInternetHandle*>(http.get())})
      if (h) h->Forget();
  }
};

// Runs `body` on a worker while the window thread keeps pumping (see
// framework/blocking_wait.h). The error number; 12017 when the user
// cancelled, at once: the session is closed so that the blocking call
// ends as soon as the library lets it, and the link is dead from then on.
// The same, 12002, when the transfer's deadline passes first: a server
// that keeps a call waiting by dripping its answer gets no more time than
// one that sends nothing.
int Run(const std::shared_ptr<Link>& link, std::function<void(Link&)> body) {
  if (link->abandoned) return link->timedOut ? ERROR_INTERNET_TIMEOUT : ERROR_INTERNET_OPERATION_CANCELLED;
  auto error = std::make_shared<int>(0);
  const bool done = framework::WaitForCall([link, body, error] { *error = Guard([&] { body(*link); }); },
                                           [&link] {
                                             link->abandoned = true;
                                             if (link->session) link->session->Close();
                                           },
                                           g_deadline);
  if (done) return *error;
  link->timedOut = framework::TimedOut();
  return link->timedOut ? ERROR_INTERNET_TIMEOUT : ERROR_INTERNET_OPERATION_CANCELLED;
}

// A new link with its session (opening one does not touch the network).
int NewLink(std::shared_ptr<Link>* link) {
  *link = std::make_shared<Link>();
  return Guard([&] { (*link)->session = std::make_unique<framework::CInternetSession>(); });
}

// Reads from the HTTP request, else the FTP file.
int ReadWithin(const std::shared_ptr<Link>& link, bool http, char* buffer, size_t size, uint32_t idleMs,
               size_t* got) {
  *got = 0;
  // The worker reads into its own buffer: this one may be gone when a
  // cancelled read ends.
  auto bytes = std::make_shared<std::string>();
  const int error = Run(link, [http, size, idleMs, bytes](Link& l) {
    framework::CInternetFile& file = http ? *l.request : *l.file;
    file.SetReceiveTimeout(idleMs);
    const size_t available = file.QueryDataAvailable();
    if (available == 0) return;
    bytes->resize(available < size ? available : size);
    bytes->resize(file.Read(&(*bytes)[0], bytes->size()));
  });
  if (error != 0) return error;
  std::memcpy(buffer, bytes->data(), bytes->size());
  *got = bytes->size();
  return 0;
}

class HttpRequest : public IHttpRequest {
 public:
  // The library is given no login and may not answer a 401 itself: it
  // would keep the login in a cache of the whole process and send it to
  // other paths of the server for calendars that have none, and it never
  // sends it with a PUT. The calendar's own login goes as a header of each
  // of its requests instead.
  int Open(const HttpRequestParams& params) {
    if (const int error = NewLink(&link_)) return error;
    return Run(link_, [params](Link& l) {
      const DWORD flags = params.flags | INTERNET_FLAG_NO_AUTH;
      l.http = l.session->GetHttpConnection(params.host, flags, static_cast<INTERNET_PORT>(params.port),
                                            std::string(), std::string());
      l.request = l.http->OpenRequest(params.verb, params.object, flags);
      if (!params.user.empty())
        l.request->AddRequestHeaders("Authorization: Basic " + BasicLogin(params.user, params.password) + "\r\n",
                                     HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
    });
  }
  int Send() override {
    return Run(link_, [](Link& l) { l.request->SendRequest(); });
  }
  int BeginSend(const std::string& headers, size_t totalLength) override {
    return Run(link_, [headers, totalLength](Link& l) {
      l.request->AddRequestHeaders(headers, HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
      l.request->SendRequestEx(static_cast<DWORD>(totalLength));
    });
  }
  int Write(const std::string& piece) override {
    return Run(link_, [piece](Link& l) { l.request->Write(piece.data(), piece.size()); });
  }
  int EndSend() override {
    return Run(link_, [](Link& l) { l.request->EndRequest(); });
  }
  // The answers below are at hand once a send is over: no wait.
  int Status() override {
    DWORD status = 0;
    if (!link_->abandoned) Guard([&] { status = link_->request->QueryStatusCode(); });
    return static_cast<int>(status);
  }
  std::string Location() override {
    return link_->abandoned ? std::string() : link_->request->QueryHeader(HTTP_QUERY_LOCATION);
  }
  size_t HeaderBytes() override {
    return link_->abandoned ? 0 : link_->request->QueryHeaderSize(HTTP_QUERY_RAW_HEADERS_CRLF);
  }
  int64_t ContentLength() override {
    const std::string text = link_->abandoned ? std::string() : link_->request->QueryHeader(HTTP_QUERY_CONTENT_LENGTH);
    if (text.empty()) return -1;
    char* end = nullptr;
    const long long n = std::strtoll(text.c_str(), &end, 10);
    return n >= 0 && end != text.c_str() ? n : -1;
  }
  int Read(char* buffer, size_t size, uint32_t idleMs, size_t* got) override {
    return ReadWithin(link_, true, buffer, size, idleMs, got);
  }

 private:
  std::shared_ptr<Link> link_;
};

class FtpFile : public IFtpFile {
 public:
  explicit FtpFile(std::shared_ptr<Link> link) : link_(std::move(link)) {}
  // Closing a transfer waits for the server's answer to it.
  ~FtpFile() override {
    if (!link_->abandoned && link_->file) Run(link_, [](Link& l) { l.file.reset(); });
  }
  int Read(char* buffer, size_t size, uint32_t idleMs, size_t* got) override {
    return ReadWithin(link_, false, buffer, size, idleMs, got);
  }
  int Write(const std::string& bytes) override {
    return Run(link_, [bytes](Link& l) { l.file->Write(bytes.data(), bytes.size()); });
  }
  int Close() override {
    // WinINet finishes a transfer when the handle closes and keeps the
    // server's answer to it (for the thread that closed it): a server out
    // of space refuses an upload only then (552), after taking every byte.
    auto code = std::make_shared<DWORD>(0);
    const int error = Run(link_, [code](Link& l) {
      l.file.reset();
      *code = framework::LastResponseCode();
    });
    if (error != 0) return error;
    return *code >= 400 ? ERROR_INTERNET_EXTENDED_ERROR : 0;
  }

 private:
  std::shared_ptr<Link> link_;
};

class FtpConnection : public IFtpConnection {
 public:
  // An FTP connection's end is a message to the server as well.
  ~FtpConnection() override {
    if (link_ && !link_->abandoned && link_->ftp) Run(link_, [](Link& l) { l.ftp.reset(); });
  }
  int Open(const std::string& host, int port, const std::string& user, const std::string& password) {
    if (const int error = NewLink(&link_)) return error;
    return Run(link_, [host, port, user, password](Link& l) {
      l.ftp = l.session->GetFtpConnection(host, user, password, static_cast<INTERNET_PORT>(port));
    });
  }
  std::unique_ptr<IFtpFile> OpenFile(const std::string& path, bool forWriting, int* error) override {
    *error = Run(link_, [path, forWriting](Link& l) {
      l.file = l.ftp->OpenFile(path, forWriting ? GENERIC_WRITE : GENERIC_READ);
    });
    if (*error != 0) return nullptr;
    return std::make_unique<FtpFile>(link_);
  }
  bool FindFile(const std::string& path, int* error) override {
    auto found = std::make_shared<bool>(false);
    *error = Run(link_, [path, found](Link& l) {
      framework::CFtpFileFind finder(*l.ftp);
      try {
        *found = finder.FindFile(path, INTERNET_FLAG_RELOAD);
      } catch (...) {
        if (l.abandoned) finder.Forget();
        throw;
      }
      if (l.abandoned) finder.Forget();
    });
    return *error == 0 && *found;
  }

 private:
  std::shared_ptr<Link> link_;
};

}  // namespace

std::unique_ptr<IHttpRequest> CWinInetTransport::OpenHttp(const HttpRequestParams& params, int* error) {
  auto request = std::make_unique<HttpRequest>();
  *error = request->Open(params);
  if (*error != 0) return nullptr;
  return request;
}

std::unique_ptr<IFtpConnection> CWinInetTransport::OpenFtp(const std::string& host, int port,
                                                           const std::string& user, const std::string& password,
                                                           int* error) {
  auto connection = std::make_unique<FtpConnection>();
  *error = connection->Open(host, port, user, password);
  if (*error != 0) return nullptr;
  return connection;
}

std::string CWinInetTransport::ErrorText(int error) {
  return CInternetException(static_cast<DWORD>(error)).GetErrorMessage();
}

uint64_t CWinInetTransport::NowMs() { return platform::TickMs(); }

void CWinInetTransport::SetDeadline(uint64_t atMs) { g_deadline = atMs; }

bool CWinInetTransport::Cancelled() {
  const framework::CCancelScope* scope = framework::CCancelScope::Current();
  return scope != nullptr && scope->Cancelled();
}
