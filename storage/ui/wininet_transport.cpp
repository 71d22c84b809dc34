#include "storage/ui/wininet_transport.h"

#include <cstdlib>
#include <utility>

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

int ReadWithin(framework::CInternetFile& file, char* buffer, size_t size, uint32_t idleMs, size_t* got) {
  *got = 0;
  return Guard([&] {
    file.SetReceiveTimeout(idleMs);
    const size_t available = file.QueryDataAvailable();
    if (available > 0) *got = file.Read(buffer, available < size ? available : size);
  });
}

class HttpRequest : public IHttpRequest {
 public:
  // The library is given no login and may not answer a 401 itself: it
  // would keep the login in a cache of the whole process and send it to
  // other paths of the server for calendars that have none, and it never
  // sends it with a PUT. The calendar's own login goes as a header of each
  // of its requests instead.
  int Open(const HttpRequestParams& params) {
    return Guard([&] {
      const DWORD flags = params.flags | INTERNET_FLAG_NO_AUTH;
      session_ = std::make_unique<framework::CInternetSession>();
      connection_ = session_->GetHttpConnection(params.host, flags, static_cast<INTERNET_PORT>(params.port),
                                                std::string(), std::string());
      request_ = connection_->OpenRequest(params.verb, params.object, flags);
      if (!params.user.empty())
        request_->AddRequestHeaders("Authorization: Basic " + BasicLogin(params.user, params.password) + "\r\n",
                                    HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
    });
  }
  int Send() override { return Guard([&] { request_->SendRequest(); }); }
  int BeginSend(const std::string& headers, size_t totalLength) override {
    return Guard([&] {
      request_->AddRequestHeaders(headers, HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
      request_->SendRequestEx(static_cast<DWORD>(totalLength));
    });
  }
  int Write(const std::string& piece) override {
    return Guard([&] { request_->Write(piece.data(), piece.size()); });
  }
  int EndSend() override { return Guard([&] { request_->EndRequest(); }); }
  int Status() override {
    DWORD status = 0;
    Guard([&] { status = request_->QueryStatusCode(); });
    return static_cast<int>(status);
  }
  std::string Location() override { return request_->QueryHeader(HTTP_QUERY_LOCATION); }
  int64_t ContentLength() override {
    const std::string text = request_->QueryHeader(HTTP_QUERY_CONTENT_LENGTH);
    if (text.empty()) return -1;
    char* end = nullptr;
    const long long n = std::strtoll(text.c_str(), &end, 10);
    return n >= 0 && end != text.c_str() ? n : -1;
  }
  int Read(char* buffer, size_t size, uint32_t idleMs, size_t* got) override {
    return ReadWithin(*request_, buffer, size, idleMs, got);
  }

 private:
  std::unique_ptr<framework::CInternetSession> session_;
  std::unique_ptr<framework::CHttpConnection> connection_;
  std::unique_ptr<framework::CHttpFile> request_;
};

class FtpFile : public IFtpFile {
 public:
  explicit FtpFile(std::unique_ptr<framework::CInternetFile> file) : file_(std::move(file)) {}
  int Read(char* buffer, size_t size, uint32_t idleMs, size_t* got) override {
    return ReadWithin(*file_, buffer, size, idleMs, got);
  }
  int Write(const std::string& bytes) override { return Guard([&] { file_->Write(bytes.data(), bytes.size()); }); }
  int Close() override {
    // WinINet finishes a transfer when the handle closes and keeps the
    // server's answer to it: a server out of space refuses an upload only
    // then (552), after taking every byte.
    file_->Close();
    const DWORD code = framework::LastResponseCode();
    return code >= 400 ? ERROR_INTERNET_EXTENDED_ERROR : 0;
  }

 private:
  std::unique_ptr<framework::CInternetFile> file_;
};

class FtpConnection : public IFtpConnection {
 public:
  int Open(const std::string& host, int port, const std::string& user, const std::string& password) {
    return Guard([&] {
      session_ = std::make_unique<framework::CInternetSession>();
      connection_ = session_->GetFtpConnection(host, user, password, static_cast<INTERNET_PORT>(port));
    });
  }
  std::unique_ptr<IFtpFile> OpenFile(const std::string& path, bool forWriting, int* error) override {
    std::unique_ptr<framework::CInternetFile> file;
    *error = Guard([&] { file = connection_->OpenFile(path, forWriting ? GENERIC_WRITE : GENERIC_READ); });
    if (!file) return nullptr;
    return std::make_unique<FtpFile>(std::move(file));
  }
  bool FindFile(const std::string& path, int* error) override {
    bool found = false;
    framework::CFtpFileFind finder(*connection_);
    *error = Guard([&] { found = finder.FindFile(path, INTERNET_FLAG_RELOAD); });
    return found;
  }

 private:
  std::unique_ptr<framework::CInternetSession> session_;
  std::unique_ptr<framework::CFtpConnection> connection_;
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
