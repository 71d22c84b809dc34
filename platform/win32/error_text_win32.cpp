#include "platform/error_text.h"

#include <windows.h>

namespace platform {

std::string SystemErrorText(int nativeError) {
  char buffer[512] = {0};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 static_cast<DWORD>(nativeError), 0, buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) return "Error " + std::to_string(nativeError);
  return text;
}

}  // namespace platform
