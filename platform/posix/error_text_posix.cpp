#include "platform/error_text.h"

#include <cstring>

namespace platform {

std::string SystemErrorText(int nativeError) {
  // strerror_r has two forms; strerror is enough on the one thread that
  // shows messages.
  const char* text = std::strerror(nativeError);
  if (text == nullptr || *text == '\0') return "Error " + std::to_string(nativeError);
  return text;
}

}  // namespace platform
