// The POSIX side's ANSI code page is Windows-1252.
#include "platform/code_page.h"

namespace platform {

std::string AnsiToUtf8(const std::string& ansi) { return Windows1252ToUtf8(ansi); }

std::string Utf8ToAnsi(const std::string& utf8) {
  return Utf8ToWindows1252(ReadableUtf8(utf8));
}

}  // namespace platform
