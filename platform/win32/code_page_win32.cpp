// The system's ANSI code page through UTF-16.
#include <windows.h>

#include <string>

#include "platform/code_page.h"

namespace platform {

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n, nullptr, nullptr);
  return text;
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi) { return FromWide(CP_UTF8, ToWide(CP_ACP, ansi)); }

std::string Utf8ToAnsi(const std::string& utf8) {
  return FromWide(CP_ACP, ToWide(CP_UTF8, ReadableUtf8(utf8)));
}

}  // namespace platform
