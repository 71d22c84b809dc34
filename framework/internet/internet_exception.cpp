#include <cstdio>

#include "framework/internet/internet.h"

namespace framework {

std::string CInternetException::GetErrorMessage() const {
  char text[1024] = "";
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 GetModuleHandleA("wininet.dll"), m_dwError, 0, text, sizeof text, nullptr);
  std::string message(text, n);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  if (message.empty()) {
    std::snprintf(text, sizeof text, "Internet error %lu.", static_cast<unsigned long>(m_dwError));
    message = text;
  }
  return message;
}

void CInternetException::ReportError(HWND owner) const {
  MessageBoxA(owner, GetErrorMessage().c_str(), "Almacora", MB_OK | MB_ICONEXCLAMATION);
}

void ThrowIfFailed(bool ok) {
  if (ok) return;
  DWORD error = GetLastError();
  if (error == 10060) error = ERROR_INTERNET_TIMEOUT;  // the receive time-out as Wine reports it
  if (error == 0) error = ERROR_INTERNET_INTERNAL_ERROR;
  throw CInternetException(error);
}

}  // namespace framework
