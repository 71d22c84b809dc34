// POSIX side of the fatal path: no message boxes here, so the text goes to
// standard error; the exit skips static destructors like ExitProcess does.
#include "platform/fatal.h"

#include <cstdio>
#include <unistd.h>

namespace platform {

void ShowSystemMessageBox(const char* message) {
  std::fputs(message, stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void EndProcess(int exit_code) {
  std::fflush(nullptr);
  _exit(exit_code);
}

}  // namespace platform
