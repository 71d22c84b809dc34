#include "framework/internet/internet.h"

namespace framework {

namespace {
constexpr DWORD_PTR kContext = 1;
}

DWORD LastResponseCode() {
  DWORD error = 0;
  char text[1024] = "";
  DWORD size = sizeof text - 1;
  if (!InternetGetLastResponseInfoA(&error, text, &size) || size < 3) return 0;
  DWORD code = 0;
  for (int i = 0; i < 3; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    code = code * 10 + static_cast<DWORD>(text[i] - '0');
  }
  return code;
}

void CInternetHandle::Close() {
  HINTERNET h = InterlockedExchangePointer(&handle_, nullptr);
  if (h) InternetCloseHandle(h);
}

void CInternetHandle::SetReceiveTimeout(DWORD ms) {
  InternetSetOptionA(handle_, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

void CInternetHandle::SetStepTimeouts() {
  // A server that never answers may not hold a request longer than this at
  // any one step; the library's own waits are longer.
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD ms = kStepTimeoutMs;
    InternetSetOptionA(handle_, option, &ms, sizeof ms);
  }
}

CInternetSession::CInternetSession() {
  handle_ = InternetOpenA("Almacora", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  ThrowIfFailed(handle_ != nullptr);
  SetStepTimeouts();
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const std::string& server, DWORD flags,
                                                                     INTERNET_PORT port, const std::string& user,
                                                                     const std::string& password) {
  HINTERNET h = InternetConnectA(handle_, server.c_str(), port, user.empty() ? nullptr : user.c_str(),
                                 user.empty() ? nullptr : password.c_str(), INTERNET_SERVICE_HTTP, flags, kContext);
  ThrowIfFailed(h != nullptr);
  auto connection = std::make_unique<CHttpConnection>(h);
  connection->SetStepTimeouts();
  return connection;
}

std::unique_ptr<CFtpConnection> CInternetSession::GetFtpConnection(const std::string& server,
                                                                   const std::string& user,
                                                                   const std::string& password,
                                                                   INTERNET_PORT port) {
  HINTERNET h = InternetConnectA(handle_, server.c_str(), port, user.empty() ? nullptr : user.c_str(),
                                 user.empty() ? nullptr : password.c_str(), INTERNET_SERVICE_FTP, 0, kContext);
  ThrowIfFailed(h != nullptr);
  return std::make_unique<CFtpConnection>(h);
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const std::string& verb, const std::string& object,
                                                        DWORD flags) {
  HINTERNET h = HttpOpenRequestA(handle_, verb.c_str(), object.c_str(), nullptr, nullptr, nullptr, flags, kContext);
  ThrowIfFailed(h != nullptr);
  auto request = std::make_unique<CHttpFile>(h);
  request->SetStepTimeouts();
  return request;
}

std::unique_ptr<CInternetFile> CFtpConnection::OpenFile(const std::string& path, DWORD access) {
  HINTERNET h = FtpOpenFileA(handle_, path.c_str(), access, FTP_TRANSFER_TYPE_BINARY, kContext);
  ThrowIfFailed(h != nullptr);
  return std::make_unique<CInternetFile>(h);
}

bool CFtpFileFind::FindFile(const std::string& path, DWORD flags) {
  Close();
  WIN32_FIND_DATAA data;
  handle_ = FtpFindFirstFileA(connection_.Handle(), path.c_str(), &data, flags, kContext);
  if (handle_ != nullptr) return true;
  const DWORD error = GetLastError();
  // Some libraries end a search that matched nothing with no error at all.
  if (error == 0 || error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND) return false;
  if (error == ERROR_INTERNET_EXTENDED_ERROR && LastResponseCode() == 550) return false;
  SetLastError(error);
  ThrowIfFailed(false);
  return false;
}

size_t CInternetFile::Read(void* buffer, size_t size) {
  DWORD got = 0;
  ThrowIfFailed(InternetReadFile(handle_, buffer, static_cast<DWORD>(size), &got) != FALSE);
  return got;
}

size_t CInternetFile::QueryDataAvailable() {
  DWORD available = 0;
  ThrowIfFailed(InternetQueryDataAvailable(handle_, &available, 0, 0) != FALSE);
  return available;
}

void CInternetFile::Write(const void* data, size_t size) {
  DWORD written = 0;
  ThrowIfFailed(InternetWriteFile(handle_, data, static_cast<DWORD>(size), &written) != FALSE);
  if (written != size) throw CInternetException(ERROR_INTERNET_CONNECTION_ABORTED);
}

void CHttpFile::SendRequest() { ThrowIfFailed(HttpSendRequestA(handle_, nullptr, 0, nullptr, 0) != FALSE); }

void CHttpFile::SendRequestEx(DWORD totalLength) {
  INTERNET_BUFFERSA buffers = {};
  buffers.dwStructSize = sizeof buffers;
  buffers.dwBufferTotal = totalLength;
  ThrowIfFailed(HttpSendRequestExA(handle_, &buffers, nullptr, HSR_INITIATE | HSR_SYNC, kContext) != FALSE);
}

void CHttpFile::EndRequest() { ThrowIfFailed(HttpEndRequestA(handle_, nullptr, HSR_SYNC, kContext) != FALSE); }

void CHttpFile::AddRequestHeaders(const std::string& headers, DWORD flags) {
  ThrowIfFailed(HttpAddRequestHeadersA(handle_, headers.c_str(), static_cast<DWORD>(headers.size()), flags) !=
                FALSE);
}

DWORD CHttpFile::QueryStatusCode() {
  DWORD status = 0, size = sizeof status;
  ThrowIfFailed(HttpQueryInfoA(handle_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) !=
                FALSE);
  return status;
}

std::string CHttpFile::QueryHeader(DWORD info) {
  DWORD size = 0;
  HttpQueryInfoA(handle_, info, nullptr, &size, nullptr);
  if (size == 0 || size > (1u << 20)) return std::string();
  std::string text(size, '\0');
  if (!HttpQueryInfoA(handle_, info, &text[0], &size, nullptr)) return std::string();
  text.resize(size);
  return text;
}

size_t CHttpFile::QueryHeaderSize(DWORD info) {
  DWORD size = 0;
  HttpQueryInfoA(handle_, info, nullptr, &size, nullptr);
  return size;
}

}  // namespace framework
